// Distances of the shapefile library.
#pragma once

namespace altimar::shapefile {

// The sphere the library measures on: 12734885.637 m across.
inline constexpr double kSphereRadius = 12734885.637 / 2;

// The great-circle distance in metres between two points given as
// longitude and latitude in degrees.
double SphericalDist(double lon1, double lat1, double lon2, double lat2);

}  // namespace altimar::shapefile
