#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "contour/contour.h"
#include "contour/contour_command.h"
#include "contour/test_support.h"
#include "host/hotkeys.h"
#include "host/mouse_hooks.h"
#include "platform/earth/analytic_terrain.h"
#include "platform/earth/globe.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

class SamplingTest : public ::testing::Test {
 protected:
  SamplingTest() {
    desktop.SetQuietMessageBoxes(true);
    hooks.FillClientTable();
    c.set_mouse_hooks(&hooks);
    c.set_progress_bar(&bar);
    c.SetStartupDefaults();
    c.SetDialogDefaults();
  }
  // A globe over a terrain whose every query also notes which hook client listens.
  void StartGlobe(std::function<double(double, double)> surface) {
    surface_ = std::move(surface);
    globe = earth::Globe::Start(desktop, std::make_shared<earth::AnalyticTerrain>(
                                             [this](double lon, double lat) -> std::optional<double> {
                                               clientsSeen.insert(hooks.Top());
                                               return surface_(lon, lat);
                                             }));
    desktop.Sleep(earth::Globe::kStartUpMs);
    LookAt(47.3, 11.4, 20000);
  }
  void LookAt(double lat, double lon, double range, double tilt = 0) {
    auto cam = globe->GetCamera(0);
    cam->put_FocusPointLatitude(lat);
    cam->put_FocusPointLongitude(lon);
    cam->put_Range(range);
    cam->put_Tilt(tilt);
    cam->put_Azimuth(25);
    globe->SetCamera(*cam, 5.0);
  }
  std::string LastMessage() const {
    return desktop.MessageBoxLog().empty() ? "" : desktop.MessageBoxLog().back().text;
  }

  Desktop desktop{Clock::Kind::Virtual};
  ScriptedRandom random{EveryThird};
  RecordingBar bar;
  host::MouseHooks hooks{desktop, desktop.StartProgram("altimar")};
  contour::Contour c{desktop, random};
  std::shared_ptr<earth::Globe> globe;
  std::function<double(double, double)> surface_;
  std::set<int> clientsSeen;
};

double Slope(double lon, double lat) { return 800 + 3000 * (lon - 11.4) - 2000 * (lat - 47.3); }

TEST_F(SamplingTest, ScreenSamplingStoresTheSurfaceUnderEachNode) {
  StartGlobe(Slope);
  c.GridCols = 20;
  c.GridRows = 10;
  clientsSeen.clear();
  ASSERT_TRUE(c.SampleScreenGrid());
  const std::set<int> duringSampling = clientsSeen;
  EXPECT_TRUE(c.GridReady);
  // The view was turned straight down for the sampling, and put back after.
  EXPECT_EQ(globe->camera().azimuth, 25);
  globe->SetCamera(*[&] {
    auto cam = globe->GetCamera(0);
    cam->put_Azimuth(0);
    return cam;
  }(), 5.0);
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 20; ++i) {
      // Nodes start at the left and bottom edges and stop one step short of the
      // others. (Points agree to about a millimetre: the globe searches to 0.1 mm.)
      auto p = globe->GetPointOnTerrainFromScreenCoords(2.0 * i / 20 - 1, 2.0 * j / 10 - 1);
      EXPECT_NEAR(c.Heights(i, j), Slope(p->get_Longitude(), p->get_Latitude()), 0.01);
      if (j == 0) {
        EXPECT_NEAR(c.LonAxis[static_cast<std::size_t>(i)], p->get_Longitude(), 1e-7);
      }
      if (i == 0) {
        EXPECT_NEAR(c.LatAxis[static_cast<std::size_t>(j)], p->get_Latitude(), 1e-7);
      }
    }
  EXPECT_LT(c.LonAxis[0], c.LonAxis[19]);
  EXPECT_LT(c.LatAxis[0], c.LatAxis[9]);
  EXPECT_EQ(bar.values.back(), 51) << "the bar ends at 51 for the tracer to go on";
  EXPECT_EQ(duringSampling, std::set<int>{host::kHookLock}) << "the lock client listens throughout";
  EXPECT_EQ(hooks.Depth(), 0);
  EXPECT_TRUE(desktop.MessageBoxLog().empty());
}

TEST_F(SamplingTest, TooHighTerrainOffAndASlowGlobeEachEndWithTheirMessage) {
  StartGlobe(Slope);
  c.Heights(3, 3) = 1234;
  LookAt(47.3, 11.4, 50000);  // exactly the limit passes
  ASSERT_TRUE(c.SampleScreenGrid());
  c.Heights(3, 3) = 1234;
  c.GridReady = false;

  LookAt(47.3, 11.4, 50001);
  EXPECT_FALSE(c.SampleScreenGrid());
  EXPECT_EQ(LastMessage(), "Too high.\r\nSet it a bit lower and try again.");
  EXPECT_EQ(desktop.MessageBoxLog().back().caption, "Altimar");
  EXPECT_EQ(desktop.MessageBoxLog().back().flags, MB_OK | MB_SYSTEMMODAL);
  EXPECT_FALSE(c.GridReady);
  EXPECT_EQ(c.Heights(3, 3), 1234) << "the grid is untouched";
  EXPECT_EQ(hooks.Depth(), 0);

  LookAt(47.3, 11.4, 20000);
  globe->SetTerrainLayer(false);
  EXPECT_FALSE(c.SampleScreenGrid());
  EXPECT_EQ(LastMessage(), "Check Terrain in the Layers panel.\r\nSet it on and try again.");
  EXPECT_FALSE(c.SampleByFlying());
  EXPECT_EQ(LastMessage(), "Check Terrain in the Layers panel.\r\nSet it on and try again.");
  EXPECT_EQ(globe->camera().focusLatitude, 47.3) << "fly-over puts the camera back";

  globe->SetTerrainLayer(true);
  globe->SetQueryDelayMs(600);  // t0 is rounded to a tenth: 0.6 s fails for sure
  EXPECT_FALSE(c.SampleScreenGrid());
  EXPECT_EQ(LastMessage(), "Google Earth is starting the protect mechanism.\r\nYou need to restart Google Earth.");
  EXPECT_FALSE(c.GridReady);
  EXPECT_EQ(globe->camera().azimuth, 0) << "after the protect message the camera stays straight down";
  EXPECT_EQ(hooks.Depth(), 0);
}

TEST_F(SamplingTest, OverTheSeaTheTerrainCheckFliesToATestSpot) {
  // Sea everywhere but around the three test spots.
  StartGlobe([](double lon, double lat) {
    for (auto [la, lo] : {std::pair{48.0, 105.0}, std::pair{48.0, 11.0}, std::pair{20.52, -100.0}})
      if (std::hypot(lat - la, lon - lo) < 1) return 600.0;
    return -80.0;
  });
  double lat = 0, lon = 0;
  LookAt(10, 100, 20000);
  EXPECT_LE(c.PickTestSpot(lat, lon), 0);
  EXPECT_EQ(lat, 48.0);
  EXPECT_EQ(lon, 105.0);
  LookAt(-30, 20, 20000);
  c.PickTestSpot(lat, lon);
  EXPECT_EQ(lat, 48.0);
  EXPECT_EQ(lon, 11.0);
  LookAt(20, -90, 20000);
  c.PickTestSpot(lat, lon);
  EXPECT_EQ(lat, 20.52);
  LookAt(10, 100, 20000);
  EXPECT_TRUE(c.TerrainLayerOn()) << "land was found at the test spot";
  EXPECT_EQ(globe->camera().focusLatitude, 10) << "and the camera came back";
}

TEST_F(SamplingTest, FlyOverSamplingTakesWholeMetresOverTheExtentsAndCanBeCancelled) {
  StartGlobe(Slope);
  c.SamplingMode = 1;
  c.GridCols = 10;
  c.GridRows = 5;
  ASSERT_TRUE(c.SampleByFlying());
  EXPECT_EQ(c.LatAxis[0], c.ViewSouth);
  EXPECT_DOUBLE_EQ(c.LatAxis[1], c.ViewSouth + (c.ViewNorth - c.ViewSouth) / 4);
  EXPECT_EQ(c.LatAxis[4], c.ViewNorth);
  EXPECT_EQ(c.LonAxis[9], c.ViewEast);
  for (int j = 0; j < 5; ++j)
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(c.Heights(i, j), std::floor(Slope(c.LonAxis[static_cast<std::size_t>(i)],
                                                   c.LatAxis[static_cast<std::size_t>(j)])));
  EXPECT_EQ(bar.values.back(), 96);
  EXPECT_EQ(globe->camera().range, 20000) << "the camera is put back";

  // F9 with the globe in front cancels after the node it arrives at.
  const HWND form = desktop.CreateWindowExA(0, "ThunderFormDC", "Altimar", 0, 0, 0, 10, 10, 0, 1);
  host::Hotkeys keys(desktop);
  keys.actions.geMainWindow = [&] { return globe->GetMainHwnd(); };
  keys.actions.cancelSampling = [&] { c.CancelSampling = true; };
  keys.HotkeyInstall(form);
  desktop.SetForegroundWindow(globe->GetMainHwnd());
  c.GridReady = false;
  c.Heights(5, 3) = -1;
  desktop.InjectKey(VK_F9, true);
  desktop.InjectKey(VK_F9, false);
  EXPECT_FALSE(c.SampleByFlying());
  EXPECT_TRUE(c.GridReady) << "a cancelled fly-over still marks the grid sampled";
  EXPECT_EQ(c.Heights(5, 3), -1) << "nodes after the cancel are not sampled";
  EXPECT_EQ(globe->camera().range, 20000);
}

TEST_F(SamplingTest, FlyingOverGroundBelowSeaLevelEndsWithTheTerrainMessage) {
  StartGlobe([](double lon, double) { return lon < 11.45 ? 50.0 : -20.0; });
  c.GridCols = 10;
  c.GridRows = 5;
  EXPECT_FALSE(c.SampleByFlying());
  EXPECT_EQ(LastMessage(), "Check Terrain in the Layers panel.\r\nSet it on and try again.");
}

TEST_F(SamplingTest, TheContourCommandSamplesThenWritesAndRestoresTheToolbar) {
  StartGlobe(Slope);
  const auto dir = std::filesystem::temp_directory_path() / "altimar_sampling_command";
  std::filesystem::create_directories(dir);
  std::vector<std::string> steps;
  contour::ContourCommandUi ui;
  ui.enableToolbar = [&](bool on) { steps.push_back(on ? "enable" : "disable"); };
  ui.pressContourButton = [&](bool down) { steps.push_back(down ? "press" : "release"); };
  ui.showProgress = [&] { return true; };
  const auto r = contour::RunContourCommand(c, dir.string(), ui);
  EXPECT_TRUE(r.sampled);
  EXPECT_TRUE(r.run.opened);
  EXPECT_GT(r.run.segments, 0u);
  EXPECT_EQ(steps, (std::vector<std::string>{"disable", "press", "release", "enable"}));
  EXPECT_FALSE(bar.Visible());
  EXPECT_EQ(bar.Max(), 100);
  for (double v : bar.values) EXPECT_LE(v, 100);
  EXPECT_EQ(globe->GetTemporaryPlaces()->GetChildren()->get_Count(), 1);

  globe->SetQueryDelayMs(600);  // a failure on the way still restores the toolbar
  steps.clear();
  EXPECT_FALSE(contour::RunContourCommand(c, dir.string(), ui).sampled);
  EXPECT_EQ(steps.back(), "enable");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace altimar::testing
