// The value fast select searches for, and how a row's value compares with
// it. Values compare as the attribute table orders them: numbers as
// numbers, texts without regard to the case of ASCII letters (as the
// table's index and Seek compare them), Null with nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/dao/dao.h"

namespace altimar::data {

// Whether a key typed into the value box is taken for a column of the given
// type word: "integer" and "double" take digits and "-", "float" also ".",
// other types anything. Control keys (below 32: Backspace, Enter, ...)
// always pass.
bool KeyAllowed(std::string_view typeWord, int keyAscii);

// The search value for a column of the given type: the text itself for a
// text column; for a numeric column the number the whole text spells
// (blanks around it and one leading "+" allowed); for a yes/no column what
// the import takes (T, Y, F, N, numbers). None when the text does not fit.
std::optional<dao::Value> SearchValue(std::string_view text, dao::DataType type);

// Why a text does not fit a column of the given type, for a message.
std::string UnfitValueText(std::string_view text, const std::string& column,
                           const std::string& typeWord, dao::DataType type);

// Whether `value` satisfies `value <comparison> key`. Null, and a value not
// of the key's kind (text against number), satisfy nothing.
bool Satisfies(const dao::Value& value, dao::Comparison comparison, const dao::Value& key);

// Whether the index search for this comparison lands on the last row that
// satisfies it in the index's order ("<" and "<=") rather than the first.
inline bool SeeksFromTheEnd(dao::Comparison c) {
  return c == dao::Comparison::Less || c == dao::Comparison::LessOrEqual;
}

}  // namespace altimar::data
