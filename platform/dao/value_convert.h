// Conversion of assigned values and Seek keys to a field's type, by DAO's
// rules: numbers round half to even into whole-number fields, true values
// of a Boolean are -1, texts of numbers become numbers and back.
#pragma once

#include <optional>
#include <string_view>

#include "platform/dao/dao.h"

namespace altimar::dao {

const char* TypeName(DataType type);

// A number written as text ("12", " -3.5 ", "1e3"); nullopt for anything
// else, including "", "nan" and "inf". Whole numbers stay whole.
std::optional<Value> ParseNumber(std::string_view text);

// The value as the field stores it; throws DaoError naming the field when
// the type cannot hold it.
Value ConvertForField(const FieldDef& field, const Value& value);

// A Seek key compared with the field's column: texts for Text and Memo,
// numbers otherwise, without rounding (2.5 must stay between 2 and 3).
// Null or a text that is no number for a numeric field throws DaoError.
Value ConvertSeekKey(const FieldDef& field, const Value& key);

}  // namespace altimar::dao
