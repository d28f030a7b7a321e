// The number a text starts with, as the program reads numbers typed in
// lists and fields: leading blanks and tabs skipped, then the longest run
// that forms a decimal number (sign, digits, "." and fraction, exponent),
// "." always the separator. A number too large for a double gives an
// infinity (callers refuse it); one too small gives 0.
#pragma once

#include <optional>
#include <string_view>

namespace altimar::runtime {

// Nothing when the text does not start with a number.
std::optional<double> LeadingNumberIfAny(std::string_view text);
// 0 when the text does not start with a number.
double LeadingNumber(std::string_view text);

}  // namespace altimar::runtime
