#include "host/region_model.h"

#include <gtest/gtest.h>

#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::testing {
namespace {

using host::RegionModel;

TEST(RegionModel, FliesDownUntilTheViewSpansTheRegion) {
  win::Desktop d(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(d, std::make_shared<earth::ProceduralTerrain>());
  RegionModel model(d);
  const std::string kml = std::string(ALTIMAR_ASSETS) + "/region_model.kml";
  EXPECT_FALSE(model.ShowRegionModel(kml)) << "the globe is still starting";
  EXPECT_TRUE(globe->openRequests().empty());

  d.Sleep(earth::Globe::kStartUpMs);
  ASSERT_TRUE(model.ShowRegionModel(kml));
  // The network link brought its document in.
  auto link = globe->GetTemporaryPlaces()->GetChildren()->Item(1);
  EXPECT_EQ(link->get_Name(), "Region model");
  auto linked = link->GetChildren();
  ASSERT_EQ(linked->get_Count(), 1);
  EXPECT_EQ(linked->Item(1)->get_Name(), "Region model area");

  d.Sleep(60000);  // let the last flight end
  const auto cam = globe->camera();
  EXPECT_NEAR(cam.focusLatitude, (RegionModel::RegionBox.south + RegionModel::RegionBox.north) / 2, 1e-9);
  EXPECT_NEAR(cam.focusLongitude, (RegionModel::RegionBox.west + RegionModel::RegionBox.east) / 2, 1e-9);
  auto e = globe->get_ViewExtents();
  const double width = e->get_East() - e->get_West();
  const double perMetre = width / cam.range;
  EXPECT_LE(std::abs(width - RegionModel::TargetWidth), 2 * perMetre) << "within a step of the target";
  EXPECT_LT(model.FineSteps, 5000);
}

}  // namespace
}  // namespace altimar::testing
