#include "data/fast_select_key.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "data/attribute_database.h"

namespace altimar::data {
namespace {

bool IsNumeric(dao::DataType type) {
  return type == dao::DataType::Byte || type == dao::DataType::Integer ||
         type == dao::DataType::Long || type == dao::DataType::Double;
}

std::string_view Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<double> WholeTextNumber(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

char Folded(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Texts as the table's NOCASE order has them: ASCII letters folded to lower
// case, then byte by byte, a shorter text before a longer one it begins.
int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Folded(a[i]));
    const auto y = static_cast<unsigned char>(Folded(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename T>
int Order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// -1, 0, 1; none when the two cannot be compared.
std::optional<int> Compare(const dao::Value& a, const dao::Value& b) {
  if (const auto* s = std::get_if<std::string>(&a)) {
    const auto* t = std::get_if<std::string>(&b);
    if (!t) return std::nullopt;
    return CompareText(*s, *t);
  }
  if (dao::IsNull(a) || dao::IsNull(b) || std::holds_alternative<std::string>(b)) {
    return std::nullopt;
  }
  const auto* i = std::get_if<std::int64_t>(&a);
  const auto* j = std::get_if<std::int64_t>(&b);
  if (i && j) return Order(*i, *j);
  const double x = i ? static_cast<double>(*i) : std::get<double>(a);
  const double y = j ? static_cast<double>(*j) : std::get<double>(b);
  if (std::isnan(x) || std::isnan(y)) return std::nullopt;
  return Order(x, y);
}

}  // namespace

bool KeyAllowed(std::string_view typeWord, int keyAscii) {
  if (keyAscii < 32) return true;
  std::string_view allowed;
  if (typeWord == "integer" || typeWord == "double") {
    allowed = "0123456789-";
  } else if (typeWord == "float") {
    allowed = "0123456789-.";
  } else {
    return true;
  }
  return keyAscii < 128 && allowed.find(static_cast<char>(keyAscii)) != std::string_view::npos;
}

std::optional<dao::Value> SearchValue(std::string_view text, dao::DataType type) {
  if (IsNumeric(type)) {
    const auto number = WholeTextNumber(text);
    if (!number) return std::nullopt;
    return dao::Value(*number);
  }
  if (type == dao::DataType::Boolean) {
    dao::Value v = AttributeDatabase::ColumnValue(std::string(text), type, 0);
    if (dao::IsNull(v)) return std::nullopt;
    return v;
  }
  return dao::Value(std::string(text));
}

std::string UnfitValueText(std::string_view text, const std::string& column,
                           const std::string& typeWord, dao::DataType type) {
  const std::string value = "'" + std::string(text) + "'";
  const std::string field = "the field " + column + " (" + typeWord + ")";
  if (type == dao::DataType::Boolean)
    return value + " is not a yes/no value: " + field + " takes T, Y, F, N or a number.";
  return value + " is not a number: " + field + " holds numbers.";
}

bool Satisfies(const dao::Value& value, dao::Comparison comparison, const dao::Value& key) {
  const auto order = Compare(value, key);
  if (!order) return false;
  switch (comparison) {
    case dao::Comparison::Equal:
      return *order == 0;
    case dao::Comparison::Greater:
      return *order > 0;
    case dao::Comparison::Less:
      return *order < 0;
    case dao::Comparison::GreaterOrEqual:
      return *order >= 0;
    case dao::Comparison::LessOrEqual:
      return *order <= 0;
  }
  return false;
}

}  // namespace altimar::data
