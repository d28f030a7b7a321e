// Filling the height grid straight from a height function over a lon/lat
// window (batch runs over a DEM or the embedded terrain). Sampling through
// the globe's view fills the same grid by other means.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace altimar::contour {

class Contour;

struct GridWindow {
  double west = 0, south = 0, east = 0, north = 0;
};

using HeightFunction = std::function<std::optional<double>(double lon, double lat)>;

inline constexpr int kMinGridSide = 2;
inline constexpr int kMaxGridSide = 999;

// Puts cols x rows nodes evenly over the window, both edges included
// (column 0 west, row 0 south), and stores their heights; nodes without data
// hold the no-data height. Sets GridCols, GridRows and GridReady. Returns an
// error text (and changes nothing) for sizes outside 2..999 or a window that
// is not west < east, south < north.
std::string FillGrid(Contour& c, const GridWindow& window, int cols, int rows,
                     const HeightFunction& heightAt);

}  // namespace altimar::contour
