#include "platform/shapefile/spherical_dist.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace altimar::shapefile {

double SphericalDist(double lon1, double lat1, double lon2, double lat2) {
  constexpr double rad = std::numbers::pi / 180.0;
  const double p1 = lat1 * rad, p2 = lat2 * rad;
  const double dp = (lat2 - lat1) * rad, dl = (lon2 - lon1) * rad;
  // Haversine: well conditioned for short distances, which are the common ones.
  const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                   std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * kSphereRadius * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

}  // namespace altimar::shapefile
