#include "data/column_names.h"

#include <algorithm>

namespace altimar::data {
namespace {
char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool SameColumnName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Fold(x) == Fold(y); });
}

std::vector<std::string> UniqueColumnNames(const std::vector<std::string>& names,
                                           const std::vector<std::string>& reserved) {
  std::vector<std::string> taken = reserved, out;
  auto isTaken = [&](const std::string& n) {
    return std::any_of(taken.begin(), taken.end(),
                       [&](const std::string& t) { return SameColumnName(t, n); });
  };
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i].empty() ? "Field" + std::to_string(i + 1) : names[i];
    if (isTaken(name)) {
      std::string candidate;
      for (int k = 2;; ++k) {
        candidate = name + "_" + std::to_string(k);
        if (!isTaken(candidate)) break;
      }
      name = candidate;
    }
    taken.push_back(name);
    out.push_back(name);
  }
  return out;
}

}  // namespace altimar::data
