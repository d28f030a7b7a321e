#include <string>

#include "platform/dao/dao.h"
#include "platform/runtime/number_text.h"

namespace altimar::dao {

std::string ValueText(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) return runtime::General15(*d);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

Comparison ParseComparison(std::string_view text) {
  if (text == "=") return Comparison::Equal;
  if (text == ">") return Comparison::Greater;
  if (text == "<") return Comparison::Less;
  if (text == ">=") return Comparison::GreaterOrEqual;
  if (text == "<=") return Comparison::LessOrEqual;
  throw DaoError("Seek: '" + std::string(text) + "' is not a comparison (=, >, <, >=, <=).");
}

}  // namespace altimar::dao
