#include "platform/dao/value_convert.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/dao/sql_text.h"

namespace altimar::dao {

namespace {

std::string_view Trim(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

std::string Describe(const Value& v) {
  if (std::holds_alternative<std::string>(v)) return "the text '" + std::get<std::string>(v) + "'";
  return ValueText(v);
}

[[noreturn]] void CannotHold(const FieldDef& field, const Value& v, const char* why) {
  throw DaoError("Field '" + field.name + "' (" + TypeName(field.type) + ") cannot hold " +
                 Describe(v) + ": " + why + ".");
}

// The value as a number, or a DaoError for a text that is none.
Value Numeric(const FieldDef& field, const Value& v) {
  if (const auto* text = std::get_if<std::string>(&v)) {
    if (field.type == DataType::Boolean) {
      if (EqualNoCase(Trim(*text), "true")) return std::int64_t{-1};
      if (EqualNoCase(Trim(*text), "false")) return std::int64_t{0};
    }
    auto number = ParseNumber(*text);
    if (!number) CannotHold(field, v, "it is not a number");
    return *number;
  }
  return v;
}

std::int64_t WholeInRange(const FieldDef& field, const Value& original, const Value& number,
                          std::int64_t lo, std::int64_t hi) {
  if (const auto* i = std::get_if<std::int64_t>(&number)) {
    if (*i < lo || *i > hi) CannotHold(field, original, "out of range");
    return *i;
  }
  // Default rounding mode: half to even, as DAO rounds into whole fields.
  const double r = std::nearbyint(std::get<double>(number));
  if (!(r >= static_cast<double>(lo) && r <= static_cast<double>(hi))) {
    CannotHold(field, original, "out of range");
  }
  return static_cast<std::int64_t>(r);
}

}  // namespace

const char* TypeName(DataType type) {
  switch (type) {
    case DataType::Boolean: return "Boolean";
    case DataType::Byte: return "Byte";
    case DataType::Integer: return "Integer";
    case DataType::Long: return "Long";
    case DataType::Double: return "Double";
    case DataType::Text: return "Text";
    case DataType::Memo: return "Memo";
  }
  return "unknown type";
}

std::optional<Value> ParseNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return std::nullopt;
  const char* first = text.data();
  const char* last = first + text.size();
  std::int64_t whole = 0;
  if (auto r = std::from_chars(first, last, whole); r.ec == std::errc() && r.ptr == last) {
    return whole;
  }
  double real = 0;
  if (auto r = std::from_chars(first, last, real); r.ec == std::errc() && r.ptr == last &&
                                                     std::isfinite(real)) {
    return real;
  }
  return std::nullopt;
}

Value ConvertForField(const FieldDef& field, const Value& value) {
  if (IsNull(value)) return value;
  switch (field.type) {
    case DataType::Boolean: {
      const Value n = Numeric(field, value);
      const bool isTrue = std::holds_alternative<std::int64_t>(n) ? std::get<std::int64_t>(n) != 0
                                                                   : std::get<double>(n) != 0;
      return std::int64_t{isTrue ? -1 : 0};
    }
    case DataType::Byte: return WholeInRange(field, value, Numeric(field, value), 0, 255);
    case DataType::Integer:
      return WholeInRange(field, value, Numeric(field, value), -32768, 32767);
    case DataType::Long:
      return WholeInRange(field, value, Numeric(field, value),
                          std::numeric_limits<std::int32_t>::min(),
                          std::numeric_limits<std::int32_t>::max());
    case DataType::Double: {
      const Value n = Numeric(field, value);
      if (const auto* i = std::get_if<std::int64_t>(&n)) return static_cast<double>(*i);
      // SQLite would store NaN as Null without a word.
      if (std::isnan(std::get<double>(n))) CannotHold(field, value, "it is not a number");
      return n;
    }
    case DataType::Text:
    case DataType::Memo: {
      std::string text = ValueText(value);
      if (field.type == DataType::Text) {
        const std::size_t size = field.size > 0 ? static_cast<std::size_t>(field.size) : 255;
        const std::size_t length = CharacterCount(text);
        if (length > size) {
          throw DaoError("Field '" + field.name + "' is too small for the value: " +
                         std::to_string(length) + " characters, the field holds " +
                         std::to_string(size) + ".");
        }
      }
      return text;
    }
  }
  throw DaoError("Field '" + field.name + "' has an unknown type.");
}

Value ConvertSeekKey(const FieldDef& field, const Value& key) {
  if (IsNull(key)) throw DaoError("Seek on index of field '" + field.name + "': the key is Null.");
  switch (field.type) {
    case DataType::Text:
    case DataType::Memo: return ValueText(key);
    case DataType::Boolean: return ConvertForField(field, key);
    case DataType::Byte:
    case DataType::Integer:
    case DataType::Long:
    case DataType::Double: {
      const Value n = Numeric(field, key);
      if (const auto* d = std::get_if<double>(&n); d && std::isnan(*d)) {
        CannotHold(field, key, "it is not a number");
      }
      return n;
    }
  }
  throw DaoError("Field '" + field.name + "' has an unknown type.");
}

}  // namespace altimar::dao
