#include <gtest/gtest.h>

#include "platform/earth/analytic_terrain.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::testing {
namespace {

using earth::ProceduralTerrain;

TEST(ProceduralTerrain, HasLandAndMountainsWhereTheProgramFliesAndSeaElsewhere) {
  EXPECT_GT(ProceduralTerrain::Height(11.0, 48.0), 300);
  EXPECT_GT(ProceduralTerrain::Height(105.0, 48.0), 300);
  EXPECT_GT(ProceduralTerrain::Height(-100.0, 20.52), 300);
  EXPECT_LT(ProceduralTerrain::Height(100.0, 10.0), -1000);
}

TEST(ProceduralTerrain, IsDeterministicContinuousAndWithinItsRange) {
  double lo = 1e9, hi = -1e9;
  int land = 0, n = 0;
  for (double lat = -89; lat <= 89; lat += 2.5)
    for (double lon = -180; lon < 180; lon += 2.5) {
      const double h = ProceduralTerrain::Height(lon, lat);
      ASSERT_EQ(h, ProceduralTerrain::Height(lon, lat));
      lo = std::min(lo, h);
      hi = std::max(hi, h);
      land += h > 0;
      ++n;
    }
  EXPECT_GE(lo, -4000);
  EXPECT_LE(hi, 4800);
  EXPECT_GT(land, n / 5) << "continents";
  EXPECT_LT(land, n * 4 / 5) << "and oceans";
  // No cliffs from one metre to the next.
  for (double lon = 11.2; lon < 11.6; lon += 0.01)
    EXPECT_LT(std::abs(ProceduralTerrain::Height(lon, 47.3) -
                       ProceduralTerrain::Height(lon + 1e-5, 47.3)),
              20);
}

TEST(ProceduralTerrain, TheAlpineWindowHasRealRelief) {
  double lo = 1e9, hi = -1e9;
  for (double lat = 47.15; lat <= 47.45; lat += 0.003)
    for (double lon = 11.2; lon <= 11.6; lon += 0.003) {
      lo = std::min(lo, ProceduralTerrain::Height(lon, lat));
      hi = std::max(hi, ProceduralTerrain::Height(lon, lat));
    }
  EXPECT_GT(hi - lo, 2000) << lo << ".." << hi;
  EXPECT_GT(lo, 0);
}

TEST(AnalyticTerrain, PlaneAndCone) {
  auto plane = earth::AnalyticTerrain::Plane(100, 2, -3);
  EXPECT_DOUBLE_EQ(*plane.HeightAt(10, 20), 100 + 20 - 60);
  auto cone = earth::AnalyticTerrain::Cone(0, 0, 1000, 100, 50);
  EXPECT_DOUBLE_EQ(*cone.HeightAt(0, 0), 1000);
  EXPECT_DOUBLE_EQ(*cone.HeightAt(3, 4), 500);
  EXPECT_DOUBLE_EQ(*cone.HeightAt(30, 40), 50);
}

}  // namespace
}  // namespace altimar::testing
