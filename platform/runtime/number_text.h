// Decimal text of numbers as the program writes them into documents: a fixed
// number of significant digits, general form, "." as the separator always.
#pragma once

#include <cstddef>
#include <string>

namespace altimar::runtime {

// Longest text FormatGeneral15 can produce ("-1.23456789012345e-308").
inline constexpr std::size_t kMaxNumberText = 32;

// Writes v like printf("%.15g") into out (at least kMaxNumberText bytes) and
// returns the length. Exact: equals std::to_chars(general, 15) for every
// double; a fast path covers the plain decimal range.
std::size_t FormatGeneral15(double v, char* out);

// The same as a string.
std::string General15(double v);

// Single-precision value with up to 7 significant digits ("%.7g").
std::string General7(float v);

}  // namespace altimar::runtime
