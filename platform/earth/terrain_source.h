// Where the globe's ground comes from: a height in metres at a longitude and
// latitude (degrees, WGS84), or no data.
#pragma once

#include <optional>

namespace altimar::earth {

class TerrainSource {
 public:
  virtual ~TerrainSource() = default;
  virtual std::optional<double> HeightAt(double lon, double lat) const = 0;
  // No height is further than this from sea level (bounds the globe's ray casting).
  virtual double MaxAbsHeight() const { return 9000.0; }
};

}  // namespace altimar::earth
