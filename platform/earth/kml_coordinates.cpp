#include "platform/earth/kml_coordinates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace altimar::earth {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool EndsPiece(const char* p, const char* end) { return p == end || *p == ',' || IsBlank(*p); }

constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                             1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Reads the number at p, which runs to the next ',' or blank or the end.
// Returns the position after it, or nullptr when that piece is not a number.
// Plain decimals ("11.3560498208613", "-4", ".5") of at most 19 digits whose
// value fits 2^53 and whose power of ten is exact take one correctly
// rounded division, so the result is the same double std::from_chars gives;
// anything else (exponents, long digit strings, "inf") goes to
// std::from_chars.
inline const char* ReadNumber(const char* p, const char* end, double& out) {
  const char* start = p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  // Digits past the 19th wrap m; such numbers are left to from_chars.
  std::uint64_t m = 0;
  const char* whole = p;
  for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
  std::ptrdiff_t digits = p - whole, fraction = 0;
  if (p < end && *p == '.') {
    const char* f = ++p;
    for (; p < end && static_cast<unsigned>(*p - '0') < 10; ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
    fraction = p - f;
    digits += fraction;
  }
  if (digits > 0 && digits <= 19 && m <= (1ull << 53) && fraction <= 22 && EndsPiece(p, end)) {
    double v = static_cast<double>(m);
    if (fraction > 0) v /= kPow10[fraction];
    out = negative ? -v : v;
    return p;
  }
  const char* e = start;
  while (!EndsPiece(e, end)) ++e;
  const char* b = start < e && *start == '+' ? start + 1 : start;
  const auto r = std::from_chars(b, e, out);
  return r.ec == std::errc() && r.ptr == e ? e : nullptr;
}

}  // namespace

void ParseCoordinates(std::string_view text, std::vector<StoredPoint>& out) {
  const char* p = text.data();
  const char* const end = p + text.size();
  for (;;) {
    while (p < end && IsBlank(*p)) ++p;
    if (p == end) break;
    double v[3] = {0, 0, 0};
    int n = 0;
    bool ok = true;
    for (;;) {
      const char* after = ReadNumber(p, end, v[n]);
      if (!after) {
        ok = false;
        break;
      }
      ++n;
      p = after;
      if (p == end || *p != ',') break;
      if (n == 3) break;  // what follows the third number is ignored
      ++p;
    }
    while (p < end && !IsBlank(*p)) ++p;  // the rest of the tuple
    if (ok && n >= 2 && v[0] >= -360 && v[0] <= 360 && v[1] >= -90 && v[1] <= 90 &&
        std::isfinite(v[2]))
      out.push_back(StoredPoint::From(v[0], v[1], std::clamp(v[2], -1e30, 1e30)));
  }
}

}  // namespace altimar::earth
