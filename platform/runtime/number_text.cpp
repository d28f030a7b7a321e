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

// Powers of ten 10^-4 .. 10^18, exact in long double up to 10^27.
const long double kPow10[] = {1e-4L, 1e-3L, 1e-2L, 1e-1L, 1e0L,  1e1L,  1e2L,  1e3L,
                              1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L,
                              1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L};
long double Pow10(int e) { return kPow10[e + 4]; }

// Decimal exponent of a in [1e-4, 1e15): the e with 10^e <= a < 10^(e+1),
// possibly off by one right at a power of ten (the caller checks).
int DecimalExponent(double a) {
  int e = -4;
  while (e < 14 && static_cast<long double>(a) >= Pow10(e + 1)) ++e;
  return e;
}

}  // namespace

std::size_t FormatGeneral15(double v, char* out) {
  const double a = std::fabs(v);
  // Outside the plain decimal range (or zero, NaN, infinities) the library
  // writes the text; it is exact but about ten times slower.
  if (!(a >= 1e-4 && a < 1e15)) return Slow(v, out);

  int e = DecimalExponent(a);
  // 15 significant digits as an integer: a * 10^(14 - e). In long double the
  // product is off by far less than 1e-3, so unless the fraction sits near a
  // half the rounding is decided correctly.
  const long double scaled = static_cast<long double>(a) * Pow10(kDigits - 1 - e);
  const long double whole = std::floor(scaled);
  const long double frac = scaled - whole;
  if (frac > 0.499L && frac < 0.501L) return Slow(v, out);
  std::uint64_t digits = static_cast<std::uint64_t>(whole) + (frac > 0.5L ? 1 : 0);
  if (digits == kHigh) {
    digits = kLow;
    ++e;
  } else if (digits < kLow || digits > kHigh) {
    return Slow(v, out);
  }
  if (e >= kDigits) return Slow(v, out);

  char d[kDigits];
  for (int k = kDigits - 1; k >= 0; --k) {
    d[k] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
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
