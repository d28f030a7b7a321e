#include "contour/level_list.h"

#include <charconv>
#include <cmath>

namespace altimar::contour {
namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double LeadingNumber(std::string_view s) {
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
  if (digits == 0) return 0.0;
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

std::vector<std::string_view> SplitLevelList(std::string_view list) {
  std::vector<std::string_view> pieces;
  if (list.empty()) return pieces;  // an empty list has no pieces at all
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    if (comma == std::string_view::npos) {
      pieces.push_back(list.substr(from));
      return pieces;
    }
    pieces.push_back(list.substr(from, comma - from));
    from = comma + 1;
  }
}

}  // namespace altimar::contour
