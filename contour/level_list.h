// Reading the comma-separated level list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace altimar::contour {

// The number a piece of the list starts with: leading blanks skipped, then
// the longest run that forms a decimal number (sign, digits, "." and
// fraction, exponent), "." always the separator; no number gives 0. A number
// too large for a double gives an infinity (the caller refuses it); one too
// small gives 0.
double LeadingNumber(std::string_view piece);

// The list split at every comma; empty pieces count, so "a,,b" has three
// and a trailing comma adds an empty last piece. An empty list has none.
std::vector<std::string_view> SplitLevelList(std::string_view list);

}  // namespace altimar::contour
