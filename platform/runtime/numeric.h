// Numeric conventions the program relies on: 16-bit Integer, round to nearest
// with halves to even, and the two comparison helpers of the level code.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace altimar::runtime {

using Integer = std::int16_t;  // 16-bit signed
using Long = std::int32_t;     // 32-bit signed

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
inline double RoundHalfEven(double v) { return std::nearbyint(v); }

// Clamps v into [lo, hi]; NaN goes to lo so that nothing downstream sees it.
inline double ClampFinite(double v, double lo, double hi) {
  if (!(v >= lo)) return lo;
  return v > hi ? hi : v;
}

// Nearest 16-bit Integer, halves to even; out-of-range values saturate
// instead of overflowing.
inline Integer ToInteger(double v) {
  return static_cast<Integer>(RoundHalfEven(ClampFinite(v, -32768.0, 32767.0)));
}

// Nearest 32-bit Long, halves to even, saturating.
inline Long ToLong(double v) {
  return static_cast<Long>(RoundHalfEven(ClampFinite(v, -2147483648.0, 2147483647.0)));
}

// MinOf(a, b): b when a >= b, else a.  MaxOf(a, b): a when a >= b, else b.
// Kept as written: with NaN they do not agree with std::min / std::max.
inline double MinOf(double a, double b) { return a >= b ? b : a; }
inline double MaxOf(double a, double b) { return a >= b ? a : b; }

}  // namespace altimar::runtime
