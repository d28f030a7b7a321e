// The three ways of building the level list, and the height range scan they
// share.
#include <cmath>
#include <vector>

#include "contour/contour.h"
#include "contour/level_list.h"

namespace altimar::contour {

using runtime::MaxOf;
using runtime::MinOf;
using runtime::ToInteger;

void Contour::ScanHeightRange(Integer& lo, Integer& hi) {
  lo = 9999;
  hi = 0;
  for (Long i = 0; i < GridCols; ++i) {
    for (Long j = 0; j < GridRows; ++j) {
      const double h = Heights(i, j);
      // No-data nodes (and NaN) are not heights: they would drag the range
      // to the Integer limits. Heights beyond those limits saturate.
      if (h < kNoDataThreshold) {
        lo = ToInteger(MinOf(lo, h));
        hi = ToInteger(MaxOf(hi, h));
      }
      desktop_.DoEvents();
    }
  }
}

bool Contour::LevelsByCount() {
  const int n = NumLevels;
  if (n > kArraySize) return false;
  Integer lo, hi;
  ScanHeightRange(lo, hi);
  const std::int64_t range = static_cast<std::int64_t>(hi) - lo;
  for (int k = 1; k <= n; ++k)
    Levels[static_cast<std::size_t>(k - 1)] =
        std::floor(static_cast<double>(range * k) / static_cast<double>(n)) + lo;
  // A negative count draws nothing, like a count of 0.
  if (NumLevels < 0) NumLevels = 0;
  return true;
}

bool Contour::LevelsByInterval() {
  Integer lo, hi;
  ScanHeightRange(lo, hi);
  const std::int64_t d = LevelInterval;
  std::array<double, kArraySize> walk;
  walk[0] = lo;
  int k = 1;
  // Walk up from lo until a level passes hi; K is the index of that level.
  while (!(walk[static_cast<std::size_t>(k - 1)] > hi)) {
    if (k > kMaxIndex) return false;  // the walk would need more than 1001 entries
    walk[static_cast<std::size_t>(k)] = static_cast<double>(d * k + lo);
    ++k;
  }
  const int K = k - 1;
  Levels = walk;
  // A grid with no heights at all scans to lo 9999 > hi 0: K is 0 there,
  // and the count must not go negative.
  NumLevels = static_cast<Integer>(K > 0 ? K - 1 : 0);
  return true;
}

bool Contour::LevelsFromList() {
  const auto pieces = SplitLevelList(LevelList);
  if (pieces.size() > static_cast<std::size_t>(kArraySize)) return false;
  std::array<double, kArraySize> read{};
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    read[k] = LeadingNumber(pieces[k]);
    if (!std::isfinite(read[k])) return false;
  }
  for (std::size_t k = 0; k < pieces.size(); ++k) Levels[k] = read[k];
  NumLevels = static_cast<Integer>(pieces.size());
  return true;
}

bool Contour::BuildLevels() {
  switch (LevelMode) {
    case kLevelsByCount:
      if (LevelsByCount()) return true;
      ShowMessage("Too many contour levels: at most 1001.\r\nChoose a smaller number.");
      return false;
    case kLevelsByInterval:
      if (LevelsByInterval()) return true;
      ShowMessage("Too many contour levels: at most 1001.\r\nChoose a larger interval.");
      return false;
    case kLevelsFromList:
      if (LevelsFromList()) return true;
      ShowMessage(
          "The level list cannot be used: at most 1001 levels, each a number in range.\r\n"
          "Correct the list and try again.");
      return false;
    default:
      return true;
  }
}

}  // namespace altimar::contour
