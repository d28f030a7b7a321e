#include "platform/runtime/leading_number.h"

#include <charconv>
#include <cmath>

namespace altimar::runtime {
namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

std::optional<double> LeadingNumberIfAny(std::string_view s) {
  std::size_t p = 0;
  while (p < s.size() && (s[p] == ' ' || s[p] == '\t')) ++p;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) negative = s[p++] == '-';
  const std::size_t mantissa = p;
  std::size_t digits = 0;
  while (p < s.size() && IsDigit(s[p])) ++p, ++digits;
  if (p < s.size() && s[p] == '.') {
    ++p;
    while (p < s.size() && IsDigit(s[p])) ++p, ++digits;
  }
  if (digits == 0) return std::nullopt;
  std::size_t end = p;
  bool negativeExponent = false;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) negativeExponent = s[q++] == '-';
    if (q < s.size() && IsDigit(s[q])) {
      while (q < s.size() && IsDigit(s[q])) ++q;
      end = q;
    } else {
      negativeExponent = false;  // "1e" or "1e+" ends before the e
    }
  }
  double value = 0.0;
  const char* first = s.data() + mantissa;
  const char* last = s.data() + end;
  auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    value = negativeExponent ? 0.0 : HUGE_VAL;
  } else if (r.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

double LeadingNumber(std::string_view s) {
  return LeadingNumberIfAny(s).value_or(0.0);
}

}  // namespace altimar::runtime
