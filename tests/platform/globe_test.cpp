#include "platform/earth/globe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/application_ge.h"
#include "platform/earth/analytic_terrain.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class GlobeTest : public ::testing::Test {
 protected:
  std::shared_ptr<earth::Globe> Start() {
    return earth::Globe::Start(
        desktop, std::make_shared<earth::AnalyticTerrain>(earth::AnalyticTerrain::Plane(0, 10, 100)));
  }
  win::Desktop desktop{win::Clock::Kind::Virtual};
};

TEST_F(GlobeTest, AHolderConnectsToTheRunningGlobeOnFirstUse) {
  host::ApplicationGE objGE(desktop);
  EXPECT_THROW(objGE->IsInitialized(), host::AutomationError) << "no globe running";
  EXPECT_FALSE(objGE.connected());
  auto globe = Start();
  EXPECT_EQ(objGE->IsInitialized(), 1);
  EXPECT_TRUE(objGE.connected());
  globe->Quit();
  host::ApplicationGE late(desktop);
  EXPECT_THROW(late.get(), host::AutomationError) << "a globe that has quit is not running";
}

TEST_F(GlobeTest, CamerasAreSnapshotsAndSetCameraChecksItsSpeed) {
  auto globe = Start();
  auto cam = globe->GetCamera(1);
  EXPECT_DOUBLE_EQ(cam->get_FocusPointAltitude(),
                   10 * globe->camera().focusLongitude + 100 * globe->camera().focusLatitude)
      << "with terrain considered the focus altitude is the ground height";
  cam->put_Tilt(45);
  EXPECT_EQ(globe->camera().tilt, 0) << "editing a snapshot does not move the view";
  globe->SetCamera(*cam, 5.0);
  EXPECT_EQ(globe->camera().tilt, 45);
  EXPECT_THROW(globe->SetCamera(*cam, 0), host::AutomationError);
  cam->put_FocusPointLongitude(190);
  globe->SetCamera(*cam, 1.0);
  EXPECT_DOUBLE_EQ(globe->camera().focusLongitude, -170);
  globe->SetTerrainLayer(false);
  EXPECT_EQ(globe->GetCamera(1)->get_FocusPointAltitude(), 0);
}

TEST_F(GlobeTest, KmlFilesMustBeWellFormedAndReplaceThemselves) {
  auto globe = Start();
  const fs::path p = fs::temp_directory_path() / "altimar_globe_test.kml";
  EXPECT_THROW(globe->OpenKmlFile(p.string() + ".missing", 1), host::AutomationError);
  std::ofstream(p) << "<kml><Document><name>One</name><Placemark><name>A</name>";
  EXPECT_THROW(globe->OpenKmlFile(p.string(), 1), host::AutomationError);
  EXPECT_EQ(globe->GetTemporaryPlaces()->GetChildren()->get_Count(), 0);

  std::ofstream(p) << "<kml><Document><name>One</name><Placemark><name>A</name></Placemark>"
                      "<Folder><name>F</name><visibility>0</visibility></Folder></Document></kml>";
  globe->OpenKmlFile(p.string(), 1);
  std::ofstream(p) << "<kml><Document><name>Two</name></Document></kml>";
  globe->OpenKmlFile(p.string(), 1);
  auto places = globe->GetTemporaryPlaces()->GetChildren();
  ASSERT_EQ(places->get_Count(), 1);
  EXPECT_EQ(places->Item(1)->get_Name(), "Two");
  EXPECT_THROW(places->Item(2), host::AutomationError);
  fs::remove(p);
}

TEST_F(GlobeTest, KmlTextBecomesAPlaceTree) {
  auto globe = Start();
  globe->LoadKmlData(
      "<kml xmlns='http://www.opengis.net/kml/2.2'><Document><name>D</name>"
      "<Placemark><name>A</name></Placemark>"
      "<Folder><name>F</name><visibility>0</visibility><Placemark/></Folder></Document></kml>");
  EXPECT_THROW(globe->LoadKmlData("<kml>"), host::AutomationError);
  auto doc = globe->GetTemporaryPlaces()->GetChildren()->Item(1);
  EXPECT_EQ(doc->get_Name(), "D");
  auto children = doc->GetChildren();
  ASSERT_EQ(children->get_Count(), 2);
  EXPECT_EQ(children->Item(1)->get_Name(), "A");
  EXPECT_EQ(children->Item(2)->get_Visibility(), 0);
  EXPECT_EQ(children->Item(2)->GetChildren()->get_Count(), 1);
}

TEST_F(GlobeTest, ViewCallsFailUntilTheGlobeHasAView) {
  auto globe = Start();
  EXPECT_THROW(globe->get_ViewExtents(), host::AutomationError);
  EXPECT_THROW(globe->GetPointOnTerrainFromScreenCoords(0, 0), host::AutomationError);
  EXPECT_THROW(globe->GetMainHwnd(), host::AutomationError);
}

}  // namespace
}  // namespace altimar::testing
