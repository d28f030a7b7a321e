#include "platform/earth/analytic_terrain.h"

#include <algorithm>
#include <cmath>

namespace altimar::earth {

AnalyticTerrain AnalyticTerrain::Plane(double base, double perLon, double perLat) {
  return AnalyticTerrain([=](double lon, double lat) -> std::optional<double> {
    return base + perLon * lon + perLat * lat;
  });
}

AnalyticTerrain AnalyticTerrain::Cone(double lon0, double lat0, double peak, double slope,
                                      double floor) {
  return AnalyticTerrain([=](double lon, double lat) -> std::optional<double> {
    return std::max(floor, peak - slope * std::hypot(lon - lon0, lat - lat0));
  });
}

}  // namespace altimar::earth
