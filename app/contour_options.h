// The settings of `altimar contour`, and reading them from their texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "contour/contour_defaults.h"
#include "contour/grid_fill.h"

namespace altimar::app {

// The level settings as the contour module keeps them; what --levels leaves
// out stays as the contour dialog sets it.
struct LevelSetting {
  int mode = contour::kContourDefaults.dialogLevelMode;          // 0 count, 1 interval, 2 list
  int count = contour::kContourDefaults.numLevels;               // mode 0
  int interval = contour::kContourDefaults.dialogLevelInterval;  // mode 1
  std::string list;                                              // mode 2, as typed
};

struct ContourOptions {
  std::optional<std::string> dem;
  std::optional<contour::GridWindow> window;
  std::optional<int> cols, rows;
  std::optional<LevelSetting> levels;
  bool labels = false;
  std::optional<float> width;
  std::optional<int> opacity;
  std::optional<std::int32_t> lowColor, highColor;  // Win32 colour values
  std::string dir = ".";
  std::optional<std::uint64_t> seed;
  // The camera over the globe; any of them (or no DEM) samples the view.
  std::optional<double> lat, lon, range, tilt, azimuth;
  int sampling = 0;  // 0 screen, 1 fly over
  std::optional<std::string> screenshot;  // PNG of the screen after the run
  bool HasCamera() const { return lat || lon || range || tilt || azimuth; }
};

// Each parser returns an error text, empty on success.
std::string ParseLevels(const std::string& text, LevelSetting& out);
std::string ParseWindow(const std::string& text, contour::GridWindow& out);
// "#RRGGBB" (the # may be left out) to red + 256 green + 65536 blue.
std::string ParseColor(const std::string& text, std::int32_t& out);

}  // namespace altimar::app
