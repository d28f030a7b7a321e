// Column names as the database compares them: without regard to case
// (ASCII letters, as SQLite folds them).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace altimar::data {

bool SameColumnName(std::string_view a, std::string_view b);

// The names made unique in order (an empty name becomes "Field" and its
// number from 1; a name equal to one of `reserved` or an earlier name gets
// "_2", "_3", ...).
std::vector<std::string> UniqueColumnNames(const std::vector<std::string>& names,
                                           const std::vector<std::string>& reserved);

}  // namespace altimar::data
