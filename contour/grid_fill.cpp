#include "contour/grid_fill.h"

#include <cmath>

#include "contour/contour.h"

namespace altimar::contour {

std::string FillGrid(Contour& c, const GridWindow& w, int cols, int rows,
                     const HeightFunction& heightAt) {
  if (cols < kMinGridSide || cols > kMaxGridSide || rows < kMinGridSide || rows > kMaxGridSide)
    return "the grid must have 2 to 999 columns and rows";
  if (!(w.west < w.east && w.south < w.north && std::isfinite(w.west) && std::isfinite(w.east) &&
        std::isfinite(w.south) && std::isfinite(w.north)))
    return "the window must have west < east and south < north";
  c.GridCols = cols;
  c.GridRows = rows;
  for (int i = 0; i < cols; ++i) c.LonAxis[static_cast<std::size_t>(i)] = w.west + (w.east - w.west) * i / (cols - 1);
  for (int j = 0; j < rows; ++j) c.LatAxis[static_cast<std::size_t>(j)] = w.south + (w.north - w.south) * j / (rows - 1);
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < cols; ++i) {
      const auto h = heightAt(c.LonAxis[static_cast<std::size_t>(i)], c.LatAxis[static_cast<std::size_t>(j)]);
      // Only finite heights below the no-data threshold are heights.
      c.Heights(i, j) = (h && std::isfinite(*h) && *h < kNoDataThreshold) ? *h : kNoDataHeight;
    }
  }
  c.GridReady = true;
  return {};
}

}  // namespace altimar::contour
