#include "platform/earth/globe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/application_ge.h"
#include "platform/earth/analytic_terrain.h"
#include "platform/earth/renderer.h"
#include "platform/win/gdi.h"

#include <cmath>
#include <functional>

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
  EXPECT_THROW(objGE->IsInitialized(), automation::AutomationError) << "no globe running";
  EXPECT_FALSE(objGE.connected());
  auto globe = Start();
  EXPECT_EQ(objGE->IsInitialized(), 0) << "not yet: the globe is starting";
  EXPECT_TRUE(objGE.connected());
  desktop.Sleep(earth::Globe::kStartUpMs);
  EXPECT_EQ(objGE->IsInitialized(), 1);
  globe->Quit();
  host::ApplicationGE late(desktop);
  EXPECT_THROW(late.get(), automation::AutomationError) << "a globe that has quit is not running";
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
  EXPECT_THROW(globe->SetCamera(*cam, 0), automation::AutomationError);
  cam->put_FocusPointLongitude(190);
  globe->SetCamera(*cam, 1.0);
  EXPECT_TRUE(globe->flying()) << "below speed 5 the camera flies";
  EXPECT_EQ(globe->get_StreamingProgressPercentage(), 0);
  desktop.Sleep(60000);
  EXPECT_FALSE(globe->flying());
  EXPECT_DOUBLE_EQ(globe->camera().focusLongitude, -170);
  EXPECT_EQ(globe->get_StreamingProgressPercentage(), 100);
  globe->SetTerrainLayer(false);
  EXPECT_EQ(globe->GetCamera(1)->get_FocusPointAltitude(), 0);
}

TEST_F(GlobeTest, KmlFilesMustBeWellFormedAndReplaceThemselves) {
  auto globe = Start();
  const fs::path p = fs::temp_directory_path() / "altimar_globe_test.kml";
  EXPECT_THROW(globe->OpenKmlFile(p.string() + ".missing", 1), automation::AutomationError);
  std::ofstream(p) << "<kml><Document><name>One</name><Placemark><name>A</name>";
  EXPECT_THROW(globe->OpenKmlFile(p.string(), 1), automation::AutomationError);
  EXPECT_EQ(globe->GetTemporaryPlaces()->GetChildren()->get_Count(), 0);

  std::ofstream(p) << "<kml><Document><name>One</name><Placemark><name>A</name></Placemark>"
                      "<Folder><name>F</name><visibility>0</visibility></Folder></Document></kml>";
  globe->OpenKmlFile(p.string(), 1);
  std::ofstream(p) << "<kml><Document><name>Two</name></Document></kml>";
  globe->OpenKmlFile(p.string(), 1);
  auto places = globe->GetTemporaryPlaces()->GetChildren();
  ASSERT_EQ(places->get_Count(), 1);
  EXPECT_EQ(places->Item(1)->get_Name(), "Two");
  EXPECT_THROW(places->Item(2), automation::AutomationError);
  fs::remove(p);
}

TEST_F(GlobeTest, KmlTextBecomesAPlaceTree) {
  auto globe = Start();
  globe->LoadKmlData(
      "<kml xmlns='http://www.opengis.net/kml/2.2'><Document><name>D</name>"
      "<Placemark><name>A</name></Placemark>"
      "<Folder><name>F</name><visibility>0</visibility><Placemark/></Folder></Document></kml>");
  EXPECT_THROW(globe->LoadKmlData("<kml>"), automation::AutomationError);
  auto doc = globe->GetTemporaryPlaces()->GetChildren()->Item(1);
  EXPECT_EQ(doc->get_Name(), "D");
  auto children = doc->GetChildren();
  ASSERT_EQ(children->get_Count(), 2);
  EXPECT_EQ(children->Item(1)->get_Name(), "A");
  EXPECT_EQ(children->Item(2)->get_Visibility(), 0);
  EXPECT_EQ(children->Item(2)->GetChildren()->get_Count(), 1);
}

TEST_F(GlobeTest, ItsWindowsAreThoseTheProgramLooksForAndClosingEndsIt) {
  auto globe = Start();
  const win::HWND main = globe->GetMainHwnd();
  EXPECT_EQ(desktop.FindWindowA("QWidget", "Google Earth"), main);
  const win::HWND bar = globe->menubar();
  EXPECT_EQ(desktop.GetClassName(bar), "QWidget");
  EXPECT_EQ(desktop.GetWindowText(bar), "menubar");
  win::RECT barRect, renderRect, mainRect;
  desktop.GetWindowRect(bar, &barRect);
  desktop.GetWindowRect(globe->GetRenderHwnd(), &renderRect);
  desktop.GetWindowRect(main, &mainRect);
  EXPECT_EQ(renderRect.top, barRect.bottom) << "the view fills the client area below the menu bar";
  desktop.MoveWindow(main, 0, 0, 700, 500, true);
  desktop.GetWindowRect(globe->GetRenderHwnd(), &renderRect);
  EXPECT_EQ(renderRect.right, 700 - 4) << "resizing lays the children out again";

  desktop.SendMessageA(main, win::WM_CLOSE, 0, 0);
  EXPECT_FALSE(desktop.IsWindow(main));
  EXPECT_FALSE(globe->running());
  EXPECT_THROW(globe->GetMainHwnd(), automation::AutomationError);
  EXPECT_THROW(globe->GetPointOnTerrainFromScreenCoords(0, 0), automation::AutomationError);
  host::ApplicationGE objGE(desktop);
  EXPECT_THROW(objGE.get(), automation::AutomationError);
}

class GlobeViewTest : public ::testing::Test {
 protected:
  GlobeViewTest() {
    globe = earth::Globe::Start(desktop, std::make_shared<earth::AnalyticTerrain>(cone));
    desktop.Sleep(earth::Globe::kStartUpMs);
    LookAt(47.3, 11.4, 20000, 0, 0);
  }
  void LookAt(double lat, double lon, double range, double tilt, double azimuth) {
    auto c = globe->GetCamera(0);
    c->put_FocusPointLatitude(lat);
    c->put_FocusPointLongitude(lon);
    c->put_Range(range);
    c->put_Tilt(tilt);
    c->put_Azimuth(azimuth);
    globe->SetCamera(*c, 5.0);
  }
  // Where a ground point shows on the screen; it must be inside the view.
  win::POINT ScreenPointOf(double lat, double lon) {
    win::RECT view;
    desktop.GetWindowRect(globe->GetRenderHwnd(), &view);
    const auto p = earth::Renderer::Project(globe->Frame(), globe->GroundHeight(11.4, 47.3), lat,
                                            lon, view.width(), view.height());
    if (!p) return {view.left, view.top};
    const win::POINT at{view.left + static_cast<int>(std::lround(p->x)),
                        view.top + static_cast<int>(std::lround(p->y))};
    EXPECT_TRUE(view.Contains(at.x, at.y)) << lat << "," << lon << " is in the view";
    return view.Contains(at.x, at.y) ? at : win::POINT{view.left, view.top};
  }
  win::Desktop desktop{win::Clock::Kind::Virtual};
  earth::AnalyticTerrain cone = earth::AnalyticTerrain::Cone(11.4, 47.3, 2500, 20000, 300);
  std::shared_ptr<earth::Globe> globe;
};

// Every point the globe reports lies on the surface and on the view ray.
TEST_F(GlobeViewTest, TerrainPointsLieOnTheSurfaceAlongTheirRays) {
  for (double tilt : {0.0, 40.0}) {
    LookAt(47.3, 11.4, 20000, tilt, 30);
    const earth::ViewFrame f = globe->Frame();
    for (double y = -1; y <= 1.001; y += 0.25)
      for (double x = -1; x <= 1.001; x += 0.25) {
        auto p = globe->GetPointOnTerrainFromScreenCoords(x, y);
        EXPECT_NEAR(p->get_Altitude(), *cone.HeightAt(p->get_Longitude(), p->get_Latitude()), 0.01);
        const earth::Vec3 at = earth::ToCartesian(p->get_Latitude(), p->get_Longitude(), p->get_Altitude());
        const earth::Vec3 v = at - f.eye();
        const earth::Vec3 ray = f.Ray(x, y);
        EXPECT_LT((v - ray * v.dot(ray)).length(), 0.01) << x << "," << y;
      }
  }
  auto centre = globe->GetPointOnTerrainFromScreenCoords(0, 0);
  EXPECT_NEAR(centre->get_Latitude(), 47.3, 0.05);
}

TEST_F(GlobeViewTest, ViewExtentsCornersMapBackToTheViewsCorners) {
  globe->SetTerrainLayer(false);  // extents describe the ground at sea level
  auto ext = globe->get_ViewExtents();
  EXPECT_LT(ext->get_West(), 11.4);
  EXPECT_GT(ext->get_East(), 11.4);
  EXPECT_LT(ext->get_South(), 47.3);
  EXPECT_GT(ext->get_North(), 47.3);
  const double dx = ext->get_East() - ext->get_West(), dy = ext->get_North() - ext->get_South();
  auto sw = globe->GetPointOnTerrainFromScreenCoords(-1, -1);
  auto ne = globe->GetPointOnTerrainFromScreenCoords(1, 1);
  EXPECT_NEAR(sw->get_Longitude(), ext->get_West(), dx * 0.01);
  EXPECT_NEAR(sw->get_Latitude(), ext->get_South(), dy * 0.01);
  EXPECT_NEAR(ne->get_Longitude(), ext->get_East(), dx * 0.01);
  EXPECT_NEAR(ne->get_Latitude(), ext->get_North(), dy * 0.01);
  EXPECT_EQ(ne->get_Altitude(), 0) << "terrain off: the ground is at 0 m";
}

TEST_F(GlobeViewTest, ExaggerationScalesHeightsAndRaysIntoTheSkyFindTheHorizon) {
  globe->put_ElevationExaggeration(2.0);
  auto p = globe->GetPointOnTerrainFromScreenCoords(0.3, 0.2);
  EXPECT_NEAR(p->get_Altitude(), 2 * *cone.HeightAt(p->get_Longitude(), p->get_Latitude()), 0.02);
  globe->put_ElevationExaggeration(0);
  EXPECT_EQ(globe->GetPointOnTerrainFromScreenCoords(0.3, 0.2)->get_Altitude(), 0);
  globe->put_ElevationExaggeration(1);
  LookAt(47.3, 11.4, 20000, 90, 0);  // looking at the horizon, northwards
  auto sky = globe->GetPointOnTerrainFromScreenCoords(0, 1);
  EXPECT_EQ(sky->get_Altitude(), 0);
  // The horizon lies north of the eye by the angle whose cosine is R / (R + h).
  double eyeLat, eyeLon, eyeHeight;
  earth::ToGeographic(globe->Frame().eye(), eyeLat, eyeLon, eyeHeight);
  const double angle = std::acos(earth::kEarthRadius / (earth::kEarthRadius + eyeHeight)) / earth::kDeg;
  EXPECT_NEAR(sky->get_Latitude(), eyeLat + angle, 0.01);
  EXPECT_NEAR(sky->get_Longitude(), 11.4, 0.01);
}

TEST_F(GlobeViewTest, StreamingRisesTo100AfterEachMoveAndLongerAfterFarOnes) {
  auto wait = [&] {
    int ms = 0;
    while (globe->get_StreamingProgressPercentage() < 100 && ms < 100000) {
      desktop.Sleep(1);
      ++ms;
    }
    return ms;
  };
  LookAt(47.31, 11.4, 20000, 0, 0);
  const int near = wait();
  LookAt(-33.9, 151.2, 20000, 0, 0);
  const int far = wait();
  EXPECT_GT(near, 0);
  EXPECT_GT(far, near);
  EXPECT_LE(far, 1500);
}

// The picture: a red line of a loaded document shows where the document puts it.
TEST_F(GlobeViewTest, ARedLineIsDrawnWhereTheDocumentPutsIt) {
  globe->LoadKmlData(
      "<kml><Document><Style id='red'><LineStyle><color>ff0000ff</color><width>3</width>"
      "</LineStyle></Style><Placemark><styleUrl>#red</styleUrl><LineString><coordinates>"
      "11.35,47.28 11.45,47.28</coordinates></LineString></Placemark></Document></kml>");
  const win::POINT at = ScreenPointOf(47.28, 11.40);
  const win::Surface& screen = desktop.ComposeScreen();
  EXPECT_EQ(screen.at(at.x, at.y), 0xFF0000u) << "red under the line";
  EXPECT_NE(screen.at(at.x, at.y - 12), 0xFF0000u) << "and not beside it";

  // What another program draws on the view stays until the globe repaints.
  win::RECT view;
  desktop.GetWindowRect(globe->GetRenderHwnd(), &view);
  const win::HDC dc = desktop.gdi().GetDC(globe->GetRenderHwnd());
  desktop.gdi().SetPixel(dc, 5, 5, win::RGB(0, 255, 0));
  desktop.gdi().ReleaseDC(globe->GetRenderHwnd(), dc);
  EXPECT_EQ(desktop.ComposeScreen().at(view.left + 5, view.top + 5), 0x00FF00u);
  LookAt(47.3, 11.4, 21000, 0, 0);
  EXPECT_NE(desktop.ComposeScreen().at(view.left + 5, view.top + 5), 0x00FF00u);
}

TEST_F(GlobeViewTest, PolygonsAreFilledAroundTheirHoles) {
  globe->LoadKmlData(
      "<kml><Document><Style id='p'><PolyStyle><color>ff00ff00</color></PolyStyle></Style>"
      "<Placemark><styleUrl>#p</styleUrl><Polygon><outerBoundaryIs><LinearRing><coordinates>"
      "11.35,47.25 11.45,47.25 11.45,47.35 11.35,47.35 11.35,47.25</coordinates></LinearRing>"
      "</outerBoundaryIs><innerBoundaryIs><LinearRing><coordinates>11.38,47.28 11.42,47.28 "
      "11.42,47.32 11.38,47.32 11.38,47.28</coordinates></LinearRing></innerBoundaryIs>"
      "</Polygon></Placemark></Document></kml>");
  auto pixel = [&](double lat, double lon) {
    const win::POINT p = ScreenPointOf(lat, lon);
    return desktop.ComposeScreen().at(p.x, p.y);
  };
  EXPECT_EQ(pixel(47.26, 11.36), 0x00FF00u) << "inside the outer ring";
  EXPECT_NE(pixel(47.30, 11.40), 0x00FF00u) << "inside the hole";
  EXPECT_NE(pixel(47.245, 11.40), 0x00FF00u) << "outside";
}

TEST_F(GlobeViewTest, TheMouseFliesTheCamera) {
  win::RECT view;
  desktop.GetWindowRect(globe->GetRenderHwnd(), &view);
  const int cx = (view.left + view.right) / 2, cy = (view.top + view.bottom) / 2;
  auto drag = [&](int dx, int dy, bool ctrl) {
    if (ctrl) desktop.InjectKey(win::VK_CONTROL, true);
    desktop.InjectMouseMove(cx, cy);
    desktop.InjectMouseButton(win::VK_LBUTTON, true);
    desktop.InjectMouseMove(cx + dx, cy + dy);
    desktop.InjectMouseButton(win::VK_LBUTTON, false);
    if (ctrl) desktop.InjectKey(win::VK_CONTROL, false);
    desktop.DoEvents();
    desktop.Sleep(1000);  // no double click
  };
  drag(100, 0, false);
  EXPECT_LT(globe->camera().focusLongitude, 11.4) << "dragging the ground east moves the view west";
  EXPECT_NEAR(globe->camera().focusLatitude, 47.3, 1e-9);
  drag(0, 100, false);
  EXPECT_GT(globe->camera().focusLatitude, 47.3) << "dragging it south moves the view north";
  drag(0, -50, true);
  EXPECT_NEAR(globe->camera().tilt, 10, 1e-9) << "Ctrl+drag up tilts";
  const double range = globe->camera().range;
  desktop.InjectMouseMove(cx, cy);
  desktop.InjectMouseWheel(win::WHEEL_DELTA);
  desktop.DoEvents();
  EXPECT_NEAR(globe->camera().range, range * 0.8, 1e-6) << "the wheel zooms in";
  // A double click flies in, halving the range.
  desktop.InjectClick(cx, cy);
  desktop.InjectClick(cx, cy);
  desktop.DoEvents();
  EXPECT_TRUE(globe->flying());
  desktop.Sleep(60000);
  EXPECT_NEAR(globe->camera().range, range * 0.4, 1e-6);
}

TEST(GlobePlaces, TheKmlSamplesBecomePlacesWithGeometryAndStyles) {
  win::Desktop d(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(d, std::make_shared<earth::AnalyticTerrain>(earth::AnalyticTerrain::Plane(0, 0, 0)));
  globe->OpenKmlFile(std::string(ALTIMAR_TESTDATA) + "/kml/kmlsamples.kml", 1);
  auto doc = std::static_pointer_cast<earth::Feature>(globe->GetTemporaryPlaces()->GetChildren()->Item(1));
  int placemarks = 0, points = 0, lines = 0, polygons = 0, holes = 0, styled = 0;
  std::function<void(const earth::Feature&)> walk = [&](const earth::Feature& f) {
    if (f.geometryCount() != 0) {
      ++placemarks;
      for (std::size_t k = 0; k < f.geometryCount(); ++k) {
        const earth::GeometryView g = f.geometry(k);
        points += g.kind() == earth::GeometryKind::Point;
        lines += g.kind() == earth::GeometryKind::LineString;
        polygons += g.kind() == earth::GeometryKind::Polygon;
        holes += static_cast<int>(g.holeCount());
      }
      const auto st = f.ResolveStyle();
      styled += st.lineColor != 0xFFFFFFFF || st.polyColor != 0xFFFFFFFF || st.iconColor != 0xFFFFFFFF;
    }
    for (const auto& c : f.children()) walk(*c);
  };
  walk(*doc);
  EXPECT_EQ(placemarks, 19) << "20 placemarks, one of them (Descriptive HTML) without geometry";
  EXPECT_GT(points, 0);
  EXPECT_GT(lines, 0);
  EXPECT_GT(polygons, 0);
  EXPECT_GE(holes, 1) << "the polygon with an inner boundary";
  EXPECT_GT(styled, 0) << "styles reached through styleUrl and StyleMap";
  EXPECT_FALSE(doc->document()->styles.empty());
}

}  // namespace
}  // namespace altimar::testing
