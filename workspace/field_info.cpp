#include "workspace/field_info.h"

#include <string_view>

namespace altimar::workspace {

namespace {
std::string_view TrimBlanks(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}
}  // namespace

FieldInfo ParseFieldInfo(const std::string& description,
                         std::vector<std::array<std::string, 6>>& attrDef) {
  FieldInfo info;
  std::string_view rest = TrimBlanks(description);
  for (std::size_t end; (end = rest.find("\r\n")) != std::string_view::npos;) {
    const std::string_view line = TrimBlanks(rest.substr(0, end));
    rest.remove_prefix(end + 2);
    const auto row = static_cast<std::size_t>(info.lines++);
    if (row >= attrDef.size()) continue;
    attrDef[row] = {};
    std::size_t column = 0, start = 0;
    for (;;) {
      const std::size_t blank = line.find(' ', start);
      if (column < attrDef[row].size())
        attrDef[row][column++] = std::string(line.substr(start, blank - start));
      if (blank == std::string_view::npos) break;
      start = blank + 1;
    }
    info.count = info.lines;
  }
  for (auto& row : attrDef) row[4] = row[5] = "1";
  return info;
}

}  // namespace altimar::workspace
