#include "platform/runtime/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace altimar::runtime {
namespace {

constexpr int kDigits = 15;
constexpr std::uint64_t kLow = 100000000000000ULL;    // 10^14
constexpr std::uint64_t kHigh = 1000000000000000ULL;  // 10^15

std::size_t Slow(double v, char* out) {
  auto r = std::to_chars(out, out + kMaxNumberText, v, std::chars_format::general, kDigits);
  return static_cast<std::size_t>(r.ptr - out);
}

constexpr std::uint64_t kPow10[19] = {1ULL,
                                     10ULL,
                                     100ULL,
                                     1000ULL,
                                     10000ULL,
                                     100000ULL,
                                     1000000ULL,
                                     10000000ULL,
                                     100000000ULL,
                                     1000000000ULL,
                                     10000000000ULL,
                                     100000000000ULL,
                                     1000000000000ULL,
                                     10000000000000ULL,
                                     100000000000000ULL,
                                     1000000000000000ULL,
                                     10000000000000000ULL,
                                     100000000000000000ULL,
                                     1000000000000000000ULL};

const char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline void PutPair(char* p, std::uint32_t pair) { std::memcpy(p, kPairs + 2 * pair, 2); }

__extension__ using U128 = unsigned __int128;  // GCC and clang both have it

// The 15 significant digits of m * 2^-shift * 10^k, rounded to nearest, as an
// integer. Returns false on an exact tie (left to the library, whose rule
// for ties is the reference).
bool ScaledDigits(std::uint64_t m, int shift, int k, std::uint64_t& digits) {
  const U128 p = static_cast<U128>(m) * kPow10[k];
  const U128 whole = p >> shift;
  const U128 rem = p - (whole << shift);
  const U128 half = static_cast<U128>(1) << (shift - 1);
  if (rem == half) return false;
  digits = static_cast<std::uint64_t>(whole) + (rem > half ? 1 : 0);
  return true;
}

}  // namespace

std::size_t FormatGeneral15(double v, char* out) {
  const double a = std::fabs(v);
  // Outside the plain decimal range (or zero, NaN, infinities) the library
  // writes the text; it is exact but several times slower.
  if (!(a >= 1e-4 && a < 1e15)) return Slow(v, out);

  // a = m * 2^-shift exactly, with m the 53-bit significand.
  std::uint64_t bits;
  std::memcpy(&bits, &a, sizeof bits);
  const int e2 = static_cast<int>(bits >> 52) - 1075;  // a = m * 2^e2
  const std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
  const int shift = -e2;  // 1e-4 <= a < 1e15 keeps this within 3..66

  // Decimal exponent: an estimate from the binary one, corrected once.
  int e = ((e2 + 52) * 1233) >> 12;  // floor(log10(2^(e2+52))), may be one low
  std::uint64_t digits = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int k = kDigits - 1 - e;
    if (k < 0 || k > 18) return Slow(v, out);
    if (!ScaledDigits(m, shift, k, digits)) return Slow(v, out);
    if (digits >= kHigh && digits != kHigh) {
      ++e;  // the estimate was one low
      continue;
    }
    break;
  }
  if (digits == kHigh) {  // rounding carried into a new digit
    digits = kLow;
    ++e;
  }
  if (digits < kLow || digits >= kHigh || e >= kDigits || e < -4) return Slow(v, out);

  // 15 digits as 7 + 8, each half in short independent steps.
  char d[16];
  const auto hi = static_cast<std::uint32_t>(digits / 100000000ULL);
  const auto lo = static_cast<std::uint32_t>(digits % 100000000ULL);
  d[0] = static_cast<char>('0' + hi / 1000000);
  PutPair(d + 1, hi / 10000 % 100);
  PutPair(d + 3, hi / 100 % 100);
  PutPair(d + 5, hi % 100);
  const std::uint32_t loHigh = lo / 10000, loLow = lo % 10000;
  PutPair(d + 7, loHigh / 100);
  PutPair(d + 9, loHigh % 100);
  PutPair(d + 11, loLow / 100);
  PutPair(d + 13, loLow % 100);
  int last = kDigits - 1;  // last significant digit to keep
  while (last > 0 && d[last] == '0') --last;

  char* p = out;
  if (v < 0) *p++ = '-';
  if (e >= 0) {
    const int intDigits = e + 1;
    std::memcpy(p, d, static_cast<std::size_t>(intDigits));
    p += intDigits;
    if (last >= intDigits) {
      *p++ = '.';
      const int n = last - intDigits + 1;
      std::memcpy(p, d + intDigits, static_cast<std::size_t>(n));
      p += n;
    }
  } else {
    *p++ = '0';
    *p++ = '.';
    for (int z = -1; z > e; --z) *p++ = '0';
    std::memcpy(p, d, static_cast<std::size_t>(last + 1));
    p += last + 1;
  }
  return static_cast<std::size_t>(p - out);
}

std::string General15(double v) {
  char buf[kMaxNumberText];
  return std::string(buf, FormatGeneral15(v, buf));
}

std::string General7(float v) {
  char buf[kMaxNumberText];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7);
  return std::string(buf, r.ptr);
}

}  // namespace altimar::runtime
