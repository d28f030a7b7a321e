// Analytic surfaces for tests: heights given by a formula.
#pragma once

#include <functional>

#include "platform/earth/terrain_source.h"

namespace altimar::earth {

class AnalyticTerrain final : public TerrainSource {
 public:
  using Formula = std::function<std::optional<double>(double lon, double lat)>;
  explicit AnalyticTerrain(Formula f) : f_(std::move(f)) {}
  std::optional<double> HeightAt(double lon, double lat) const override { return f_(lon, lat); }

  // h = base + perLon * lon + perLat * lat.
  static AnalyticTerrain Plane(double base, double perLon, double perLat);
  // A cone: peak metres at (lon, lat), falling by slope metres per degree of
  // distance (in the lon/lat plane) down to floor.
  static AnalyticTerrain Cone(double lon, double lat, double peak, double slope, double floor);

 private:
  Formula f_;
};

}  // namespace altimar::earth
