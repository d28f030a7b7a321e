// Text helpers for building SQL: identifier quoting and the case rules of
// SQLite's own names and NOCASE collation (ASCII letters only).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace altimar::dao {

// "name" with embedded double quotes doubled: any text becomes one plain
// identifier, never SQL.
std::string QuoteIdentifier(std::string_view name);

// Lower-cases ASCII letters only, as SQLite compares names and NOCASE texts.
std::string FoldCase(std::string_view text);
bool EqualNoCase(std::string_view a, std::string_view b);

// Characters (UTF-8 code points) in text; a stray byte counts as one.
std::size_t CharacterCount(std::string_view text);

}  // namespace altimar::dao
