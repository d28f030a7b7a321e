// The globe's picture: the terrain seen from the camera (hypsometric colours
// with hillshade, the sea blue, sky above the horizon) and the visible places
// over it. The ground is draped on the sphere at the focus point's height,
// the way the program looks at it (from above); heights come from a raster
// over the visible ground that is kept until the camera moves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/earth/features.h"
#include "platform/earth/geometry.h"
#include "platform/win/font.h"
#include "platform/win/surface.h"

namespace altimar::earth {

struct ScreenPoint {
  double x, y;  // pixels
};

class Renderer {
 public:
  // heights: the ground (already exaggerated), or nullptr for a flat Earth at 0 m.
  // fonts: for the labels of points (none: no labels).
  void Render(const ViewFrame& frame, double groundHeight, const HeightField* heights,
              const std::vector<std::shared_ptr<Feature>>& documents, win::Surface& out,
              win::FontEngine* fonts = nullptr);
  // Where a ground point appears in a view of the given size, if it does.
  static std::optional<ScreenPoint> Project(const ViewFrame& frame, double groundHeight,
                                            double lat, double lon, int width, int height);

 private:
  struct Raster {
    double west = 0, south = 0, east = 0, north = 0;
    int n = 0;
    std::vector<float> h;
    std::vector<float> rgb;  // shaded colour of each cell, three floats
    void Shade();
    Vec3 eye;
    int width = 0, height = 0;
    bool flat = true;
    double Sample(double lon, double lat) const;
  };
  void Terrain(const ViewFrame& frame, double groundHeight, const HeightField* heights, win::Surface& out);
  void Places(const ViewFrame& frame, double groundHeight, const Feature& f, win::Surface& out);
  Raster raster_;
  win::FontEngine* fonts_ = nullptr;
};

}  // namespace altimar::earth
