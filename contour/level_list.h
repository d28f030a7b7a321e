// Reading the comma-separated level list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/leading_number.h"

namespace altimar::contour {

// The number a piece of the list starts with (0 when there is none).
using runtime::LeadingNumber;

// The list split at every comma; empty pieces count, so "a,,b" has three
// and a trailing comma adds an empty last piece. An empty list has none.
std::vector<std::string_view> SplitLevelList(std::string_view list);

}  // namespace altimar::contour
