#include "contour/level_list.h"


namespace altimar::contour {

std::vector<std::string_view> SplitLevelList(std::string_view list) {
  std::vector<std::string_view> pieces;
  if (list.empty()) return pieces;  // an empty list has no pieces at all
  std::size_t from = 0;
  for (;;) {
    const std::size_t comma = list.find(',', from);
    if (comma == std::string_view::npos) {
      pieces.push_back(list.substr(from));
      return pieces;
    }
    pieces.push_back(list.substr(from, comma - from));
    from = comma + 1;
  }
}

}  // namespace altimar::contour
