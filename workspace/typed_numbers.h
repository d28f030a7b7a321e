// Numbers the user types into the workspace (a FID, coordinates), read
// strictly: the whole text (blanks around it aside) must be the number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace altimar::workspace {

// A whole number that fits 32 bits: "12", "-1"; not "11,4", "abc", "1e3" or
// "99999999999".
std::optional<std::int32_t> TypedWholeNumber(const std::string& text);
// A finite decimal number with "." as the separator: "11.4", "-0.5".
std::optional<double> TypedDecimal(const std::string& text);

}  // namespace altimar::workspace
