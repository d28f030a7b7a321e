#include "workspace/typed_numbers.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace altimar::workspace {

namespace {
std::string_view Trimmed(const std::string& text) {
  std::string_view s(text);
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}
}  // namespace

std::optional<std::int32_t> TypedWholeNumber(const std::string& text) {
  const std::string_view s = Trimmed(text);
  std::int32_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) return std::nullopt;
  return v;
}

std::optional<double> TypedDecimal(const std::string& text) {
  const std::string_view s = Trimmed(text);
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v))
    return std::nullopt;
  return v;
}

}  // namespace altimar::workspace
