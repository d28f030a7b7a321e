// The selection and editing tools as a user meets them: the world's
// countries open in the docked workspace, the mouse injected over the
// globe's view on the virtual clock, and what the label, the log, the
// tables and the documents hold after each tool.
#include <algorithm>
#include <cmath>
#include <set>

#include "program_fixture.h"
#include "test_folder.h"
#include "workspace/view_points.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name) {
  return std::string(ALTIMAR_TESTDATA) + "/" + name;
}

class SelectionToolsTest : public ProgramTest {
 protected:
  // The globe over (lon, lat), straight down, the world's countries open.
  void Start(double lon, double lat, double range) {
    StartGlobe({0, 0, 700, 800});
    auto camera = globe->GetCamera(0);
    camera->put_FocusPointLongitude(lon);
    camera->put_FocusPointLatitude(lat);
    camera->put_Range(range);
    globe->SetCamera(*camera, 5.0);
    StartProgram();
    q().Move(700 * 15, 0);
    Press(q().optStart[workspace::kDock]);
    d.QueueDialogAnswer(Data("shp/world.shp"));
    Press(q().Command6);
    ASSERT_EQ(program->source.RecordCount, 177);
    d.GetWindowRect(globe->GetRenderHwnd(), &view);
    docked = program->hooks.Depth();
    ASSERT_EQ(program->hooks.Top(), host::kHookDock);
  }
  workspace::FrmQuarlin& q() { return program->frmQuarlin; }
  workspace::SelectionState& sel() { return program->selection; }
  void Press(forms::Control& c) {
    Click(c);
    d.DoEvents();
  }
  // A click at a pixel of the 3D view, then time for the tools' timers.
  void ClickView(int x, int y) {
    d.InjectClick(view.left + x, view.top + y);
    d.DoEvents();
  }
  // Esc held while the pointer moves to (x, y) of the view, as the tools
  // see it on their next pointer event.
  void EscOverView(int x, int y) {
    d.InjectKey(win::VK_ESCAPE, true);
    d.InjectMouseMove(view.left + x, view.top + y);
    d.InjectKey(win::VK_ESCAPE, false);
    d.DoEvents();
  }
  // Capture has ended: caption, hooks and timer agree.
  void ExpectCaptureEnded() {
    EXPECT_EQ(q().Command2.Caption, "Start Capturing");
    EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";
    EXPECT_FALSE(q().Timer1.Enabled());
  }
  void Wait(int ms) {
    for (int t = 0; t < ms; t += 50) {
      d.Sleep(50);
      d.DoEvents();
    }
  }
  // The terrain point under a pixel of the view, as the globe gives it.
  std::pair<double, double> Terrain(int x, int y) {
    const auto p = globe->GetPointOnTerrainFromScreenCoords(2.0 * x / view.width() - 1,
                                                            1 - 2.0 * y / view.height());
    return {p->get_Longitude(), p->get_Latitude()};
  }
  // The FIDs of the first n rows of the operation log.
  std::vector<int> LogFids(std::int64_t n) {
    std::vector<int> fids;
    auto& log = *program->rdb.OperationRs;
    if (log.RecordCount() == 0) return fids;
    log.MoveFirst();
    for (std::int64_t k = 0; k < n && !log.EOF_(); ++k, log.MoveNext())
      fids.push_back(static_cast<int>(std::get<std::int64_t>(log.Get("FID"))));
    return fids;
  }
  std::string Selected() { return ReadFileBytes(dir / "Quarlin_selected.kml"); }
  std::string Deleted() { return ReadFileBytes(dir / "Quarlin_deleted.kml"); }
  // FIDs whose extent meets the box (the rectangle search's rule), by brute force.
  std::set<int> FidsMeeting(double x1, double y1, double x2, double y2) {
    std::set<int> fids;
    const auto& shapes = program->shapes.shapes();
    for (int fid = 0; fid < shapes.size(); ++fid) {
      const auto& r = shapes.record(fid);
      if (r.partCount == 0) continue;
      if (r.extent.xmax >= std::min(x1, x2) && r.extent.xmin <= std::max(x1, x2) &&
          r.extent.ymax >= std::min(y1, y2) && r.extent.ymin <= std::max(y1, y2))
        fids.insert(fid);
    }
    return fids;
  }
  void StartCapture(int option) {
    Press(q().optSelectType[option]);
    Press(q().Command2);
    ASSERT_EQ(q().Command2.Caption, "Stop Capturing");
  }

  RECT view{};
  int docked = 0;  // the docking client's place on the hook stack
};

TEST_F(SelectionToolsTest, AClickPicksTheCountryUnderIt) {
  Start(134, -25, 4e6);  // Australia
  StartCapture(0);
  EXPECT_EQ(program->hooks.Top(), host::kHookPickup);
  ClickView(350, 400);
  Wait(150);
  ASSERT_NE(q().Text1.Text().find("name_long: Australia"), std::string::npos) << q().Text1.Text();
  const int fid = q().CurrentFID;
  EXPECT_EQ(q().lblFID.Caption, "FID: " + std::to_string(fid));
  EXPECT_EQ(q().txtFID.Text(), std::to_string(fid));
  EXPECT_EQ(q().PickedFID, fid);
  EXPECT_EQ(sel().SelCount, 1);
  EXPECT_EQ(LogFids(1), std::vector<int>{fid});
  EXPECT_NE(Selected().find("<Polygon>"), std::string::npos);
  EXPECT_EQ(q().Text2.Text(), q().Text1.Text());
  EXPECT_TRUE(q().Timer1.Enabled()) << "capture goes on after a pick";
  EXPECT_EQ(program->hooks.Top(), host::kHookPickup);
  const auto [lon, lat] = Terrain(350, 400);
  EXPECT_NEAR(q().PickLon, lon, 1e-9);
  EXPECT_NEAR(q().PickLat, lat, 1e-9);

  // A drag pans: it picks nothing, even one that ends level with its start.
  const std::string before = Selected();
  d.InjectMouseMove(view.left + 100, view.top + 500);
  d.InjectMouseButton(win::VK_LBUTTON, true);
  d.InjectMouseMove(view.left + 160, view.top + 500);
  d.InjectMouseButton(win::VK_LBUTTON, false);
  d.DoEvents();
  Wait(150);
  EXPECT_EQ(q().CurrentFID, fid);
  // The navigation square at the top right picks nothing either.
  ClickView(view.width() - 20, 20);
  Wait(150);
  EXPECT_EQ(q().CurrentFID, fid);

  // Esc ends the capture: caption, hooks and timer agree.
  EscOverView(300, 300);
  Wait(150);
  ExpectCaptureEnded();
}

TEST_F(SelectionToolsTest, APickThatFindsNothingEmptiesTheSelection) {
  Start(134, -25, 4e6);
  StartCapture(0);
  ClickView(350, 400);
  Wait(150);
  ASSERT_EQ(sel().SelCount, 1);
  // A source without features: the next pick finds nothing.
  Press(q().Command2);
  d.QueueDialogAnswer(Data("shp/cases/empty.shp"));
  Press(q().Command6);
  EXPECT_EQ(sel().SelCount, 0) << "the selection was the previous source's";
  EXPECT_EQ(q().LastGeometry, "");
  StartCapture(0);
  ClickView(350, 400);
  Wait(150);
  EXPECT_EQ(q().CurrentFID, -1);
  EXPECT_EQ(q().lblFID.Caption, "FID: -1");
  EXPECT_EQ(sel().SelCount, 0);
  EXPECT_EQ(q().Text1.Text(), "");
  EXPECT_NE(Selected().find("<coordinates>\r\n"), std::string::npos) << "no coordinates";
  // Delete then shows nothing of the country picked before.
  Press(q().Command4);
  EXPECT_NE(Deleted().find("<coordinates>\r\n"), std::string::npos) << Deleted();
  EXPECT_EQ(Deleted().find("<Polygon>"), std::string::npos);
}

TEST_F(SelectionToolsTest, ARightPressDoesNotTakeTheWaitingClicksPlace) {
  Start(134, -25, 4e6);
  StartCapture(0);
  // A click, then a right press elsewhere before the tick; the menu that
  // opens is dismissed by a click outside it.
  ClickView(350, 400);
  d.InjectMouseMove(view.left + 100, view.top + 100);
  d.InjectMouseButton(win::VK_RBUTTON, true);
  d.InjectMouseButton(win::VK_RBUTTON, false);
  d.DoEvents();
  // The user looks at the menu, then closes it with Esc.
  int menus = 0;
  d.SetIdleHandler([&] {
    const HWND popup = d.FindWindowA("#32768", "");
    if (popup == 0) return false;
    ++menus;
    d.SendMessageA(popup, win::WM_KEYDOWN, win::VK_ESCAPE, 0);
    return true;
  });
  Wait(400);
  d.SetIdleHandler({});
  EXPECT_EQ(menus, 1);
  EXPECT_FALSE(sel().MenuUp);
  EXPECT_NE(q().Text1.Text().find("name_long: Australia"), std::string::npos)
      << "the click still picks where it was: " << q().Text1.Text();
  EXPECT_TRUE(q().Timer1.Enabled());
  EXPECT_EQ(q().mnufile.items().size(), 9u);

  // A click outside the menu closes it and picks nothing (Java lies there).
  const int picked = q().CurrentFID;
  d.InjectMouseMove(view.left + 100, view.top + 100);
  d.InjectMouseButton(win::VK_RBUTTON, true);
  d.InjectMouseButton(win::VK_RBUTTON, false);
  d.DoEvents();
  bool clicked = false;
  d.SetIdleHandler([&] {
    if (clicked || d.FindWindowA("#32768", "") == 0) return false;
    clicked = true;
    d.InjectClick(view.left + 20, view.top + 20);
    return true;
  });
  Wait(400);
  d.SetIdleHandler({});
  EXPECT_TRUE(clicked);
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0);
  EXPECT_EQ(q().CurrentFID, picked);
  EXPECT_EQ(q().mnufile.Find("DeleteSelectedFeature")->Caption, "Delete the selected Feature");
}

TEST_F(SelectionToolsTest, ARectangleSelectsWhatItsBoxMeets) {
  Start(10, 50, 4e6);  // Europe
  StartCapture(1);
  EXPECT_EQ(program->hooks.Top(), host::kHookMultiPickup);
  // A click on the globe's navigation controls fixes no corner.
  ClickView(view.width() - 60, 60);
  EXPECT_FALSE(sel().RubberBand);
  ClickView(200, 250);
  ClickView(500, 560);
  Wait(150);
  EXPECT_EQ(q().Command2.Caption, "Start Capturing") << "capture ends with the rectangle";
  EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";
  const auto [x1, y1] = Terrain(200, 250);
  const auto [x2, y2] = Terrain(500, 560);
  const std::set<int> expected = FidsMeeting(x1, y1, x2, y2);
  ASSERT_GT(expected.size(), 3u);
  const std::set<int> got(sel().SelFids.begin(), sel().SelFids.end());
  EXPECT_EQ(got, expected);
  EXPECT_EQ(sel().SelCount, static_cast<int>(expected.size()));
  EXPECT_EQ(q().CurrentFID, sel().SelCount);
  EXPECT_EQ(LogFids(sel().SelCount), sel().SelFids);
  EXPECT_EQ(globe->openRequests().back(), (dir / "Quarlin_selected.kml").string());

  // A smaller rectangle after it: the log keeps more rows than the
  // selection; delete shows exactly the selection's countries.
  const auto logRows = program->rdb.OperationRs->RecordCount();
  StartCapture(1);
  ClickView(330, 380);
  ClickView(370, 420);
  Wait(150);
  ASSERT_GE(sel().SelCount, 1);
  ASSERT_LT(sel().SelCount, logRows);
  EXPECT_EQ(program->rdb.OperationRs->RecordCount(), logRows);
  Press(q().Command4);
  const std::string deleted = Deleted();
  std::size_t placemarks = 0;
  for (std::size_t at = 0; (at = deleted.find("<Placemark>", at)) != std::string::npos; ++at)
    ++placemarks;
  EXPECT_EQ(placemarks, static_cast<std::size_t>(sel().SelCount));
  for (int fid : sel().SelFids)
    EXPECT_NE(deleted.find("<name>" + std::to_string(fid) + "</name>"), std::string::npos);
  EXPECT_NE(deleted.find("ff7f7f7f"), std::string::npos);
}

TEST_F(SelectionToolsTest, ACircleSelectsAsTheLibrarySearchesAndMovesWithTheSameSize) {
  Start(10, 50, 4e6);
  Press(q().Command36);
  Press(q().Command36);
  EXPECT_EQ(program->hooks.Depth(), docked + 1) << "started twice, one client";
  ClickView(350, 400);
  ClickView(450, 400);
  Wait(350);
  EXPECT_FALSE(q().Timer5CirclePickup.Enabled());
  const auto [cx, cy] = Terrain(350, 400);
  const auto [ex, ey] = Terrain(450, 400);
  shapefile::ShapeLibrary reference;
  ASSERT_TRUE(reference.SW_OpenShpFile(Data("shp/world.shp")));
  std::string fids;
  const int n = reference.SW_MultiSearchFeatureByCircle(cx, cy, ex, ey, fids, "", "");
  ASSERT_GT(n, 0);
  EXPECT_EQ(sel().SelFids, workspace::ParseFidList(fids));
  EXPECT_EQ(LogFids(n), sel().SelFids);
  EXPECT_NE(Selected().find("<LineString>"), std::string::npos) << "the circle's outline";

  // Move Circle: the same circle around another centre.
  Press(q().Command38);
  ClickView(250, 300);
  Wait(350);
  const auto [mx, my] = Terrain(250, 300);
  const auto [mex, mey] = Terrain(350, 300);
  std::string moved;
  reference.SW_MultiSearchFeatureByCircle(mx, my, mex, mey, moved, "", "");
  EXPECT_EQ(sel().SelFids, workspace::ParseFidList(moved));

  // Esc cancels; the timer stops and nothing is searched.
  const auto before = sel().SelFids;
  Press(q().Command36);
  ClickView(350, 400);
  EscOverView(380, 400);
  Wait(700);
  EXPECT_EQ(program->hooks.Depth(), docked);
  EXPECT_FALSE(q().Timer5CirclePickup.Enabled());
  EXPECT_EQ(sel().SelFids, before);
}

TEST_F(SelectionToolsTest, AShiftRecordsTheGlobesDeltaOnTheSelectedRowsOnly) {
  Start(10, 50, 4e6);
  StartCapture(1);
  ClickView(300, 350);
  ClickView(400, 450);
  Wait(150);
  ASSERT_GT(sel().SelCount, 0);
  const std::vector<int> selected = sel().SelFids;

  // Esc after the first click: no record.
  const POINT shift = ButtonCentre(q().Toolbar1, "shift");
  d.InjectClick(shift.x, shift.y);
  d.DoEvents();
  ClickView(100, 100);
  EscOverView(120, 100);
  Wait(350);
  EXPECT_FALSE(q().Timer3.Enabled());
  EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";
  auto& features = *program->rdb.FeatureRs;
  auto operationOf = [&](int fid) {
    features.SetIndex("FID");
    features.Seek("=", std::int64_t{fid});
    return dao::IsNull(features.Get("Operation"))
               ? 0
               : std::get<std::int64_t>(features.Get("Operation"));
  };
  EXPECT_EQ(operationOf(selected[0]), 0);

  // A comparison completed while the shift tool waits is no shift.
  Press(q().Command3);
  Press(q().Command37);
  EXPECT_EQ(program->hooks.Top(), host::kHookCompare);
  // Each tool started again keeps one client of its own, on top.
  Press(q().Command3);
  EXPECT_EQ(program->hooks.Top(), host::kHookShift);
  Press(q().Command37);
  EXPECT_EQ(program->hooks.Top(), host::kHookCompare);
  EXPECT_EQ(program->hooks.Depth(), docked + 2);
  ClickView(150, 150);
  ClickView(250, 250);
  Wait(350);
  EXPECT_EQ(operationOf(selected[0]), 0);
  EXPECT_EQ(q().ShiftState, 0);
  EXPECT_TRUE(q().Timer3.Enabled()) << "the shift tool still waits";
  EXPECT_EQ(program->hooks.Top(), host::kHookShift);
  const POINT pan = ButtonCentre(q().Toolbar1, "pan");
  d.InjectClick(pan.x, pan.y);
  d.DoEvents();

  // Twice by a known number of pixels: the second replaces the first.
  for (int dx : {40, 80}) {
    Press(q().Command3);
    ClickView(200, 200);
    ClickView(200 + dx, 230);
    Wait(350);
  }
  const auto [x1, y1] = Terrain(200, 200);
  const auto [x2, y2] = Terrain(280, 230);
  EXPECT_NEAR(q().ShiftDelta.deltaX, x2 - x1, 1e-9);
  EXPECT_NEAR(q().ShiftDelta.deltaY, y2 - y1, 1e-9);
  for (int fid = 0; fid < 177; ++fid) {
    const bool chosen = std::find(selected.begin(), selected.end(), fid) != selected.end();
    EXPECT_EQ(operationOf(fid), chosen ? 3 : 0) << fid;
    if (chosen) {
      EXPECT_NEAR(std::get<double>(features.Get("deltaX")), x2 - x1, 1e-9) << "replaced, not added";
    }
  }
  EXPECT_EQ(q().Text1.Text().find("\r\n") != std::string::npos, true);
  EXPECT_NE(Deleted().find("<name>" + std::to_string(selected[0]) + "</name>"), std::string::npos);
}

TEST_F(SelectionToolsTest, TheFlatnessTestLaysThreeCirclesAndTurnsTheViewDown) {
  Start(10, 50, 2e6);
  auto camera = globe->GetCamera(0);
  camera->put_Tilt(25);
  globe->SetCamera(*camera, 5.0);
  program->frmGEMenu.IsFlat_Click();
  EXPECT_TRUE(program->flatEarth);
  ClickView(350, 400);
  ClickView(420, 400);
  Wait(350);
  EXPECT_FALSE(program->flatEarth);
  const std::string doc = Selected();
  ASSERT_NE(doc.find("Comparision of Rect"), std::string::npos);
  // T3, the circle drawn on the screen: 31 points at 0.5 m, the last the first.
  const std::size_t at = doc.rfind("<coordinates>") + 13;
  const std::string t3 = doc.substr(at, doc.find("</coordinates>", at) - at);
  std::vector<std::string> tuples;
  for (std::size_t b = 0, e; b < t3.size(); b = e + 1) {
    e = t3.find(' ', b);
    if (e == std::string::npos) e = t3.size();
    tuples.push_back(t3.substr(b, e - b));
  }
  ASSERT_EQ(tuples.size(), 31u);
  EXPECT_EQ(tuples.front(), tuples.back());
  for (const auto& t : tuples) EXPECT_TRUE(t.ends_with(",.5")) << t;
  Wait(6000);
  EXPECT_EQ(globe->camera().tilt, 0);

  // A circle beyond the view's edge writes no document.
  fs::remove(dir / "Quarlin_selected.kml");
  program->frmGEMenu.IsFlat_Click();
  ClickView(650, 400);
  ClickView(300, 400);
  Wait(350);
  EXPECT_FALSE(fs::exists(dir / "Quarlin_selected.kml"));
}

TEST_F(SelectionToolsTest, ToolsEndCleanlyWhenTheGlobeGoesOrPanIsPressed) {
  Start(134, -25, 4e6);
  Press(q().Command37);
  Press(q().Command36);
  StartCapture(0);
  EXPECT_EQ(program->hooks.Depth(), docked + 1) << "capture pops the other tools' clients";
  const POINT pan = ButtonCentre(q().Toolbar1, "pan");
  d.InjectClick(pan.x, pan.y);
  d.DoEvents();
  EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";
  EXPECT_FALSE(q().Timer1.Enabled());
  EXPECT_FALSE(q().Timer5CirclePickup.Enabled());
  EXPECT_FALSE(q().Timer4Compare.Enabled());
  EXPECT_EQ(q().Command2.Caption, "Start Capturing");

  // Esc between the rectangle's corners ends the capture; no search runs.
  StartCapture(1);
  ClickView(200, 250);
  ASSERT_TRUE(sel().RubberBand);
  const std::size_t opened = globe->openRequests().size();
  EscOverView(300, 300);
  Wait(150);
  ExpectCaptureEnded();
  EXPECT_EQ(globe->openRequests().size(), opened);

  // "Move Circle" before any circle is refused.
  Press(q().Command38);
  EXPECT_NE(LastMessage().find("no circle"), std::string::npos) << LastMessage();
  EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";

  // The globe quits between a click and its tick.
  StartCapture(0);
  ClickView(350, 400);
  globe->Quit();
  Wait(150);
  EXPECT_NE(LastMessage().find("Google Earth"), std::string::npos) << LastMessage();
  EXPECT_FALSE(q().Timer1.Enabled());
  EXPECT_EQ(program->hooks.Depth(), docked) << "the docking client stays";
  EXPECT_EQ(q().Command2.Caption, "Start Capturing");
}

TEST_F(SelectionToolsTest, AKmlSourceRefusesTheShift) {
  Start(10, 50, 4e6);
  d.QueueDialogAnswer(Data("kml/kmlsamples.kml"));
  Press(q().Command6);
  ASSERT_EQ(program->source.OpenFileType, workspace::kKml);
  Press(q().Command3);
  EXPECT_NE(LastMessage().find("shapefile"), std::string::npos) << LastMessage();
  EXPECT_EQ(d.MessageBoxLog().back().caption, "Altimar");
  EXPECT_EQ(program->hooks.Depth(), docked);
  EXPECT_FALSE(q().Timer3.Enabled());
}

TEST(CircleOutline, ClosedRingsAtAnyCountAndAtThePoles) {
  for (int n : {30, 7, 721, 1000}) {
    const std::string ring = workspace::CircleOutline(10, 50, 100000, n, false);
    const auto tuples = std::count(ring.begin(), ring.end(), ' ') + 1;
    EXPECT_EQ(tuples, n + 1) << n;
    EXPECT_EQ(ring.substr(0, ring.find(' ')), ring.substr(ring.rfind(' ') + 1)) << n;
    EXPECT_NE(ring.back(), ' ');
  }
  // Twelve degrees a step for 30: the first tuple due east of the centre.
  const std::string east =
      workspace::CircleOutline(0, 0, 12734885.637 / 2 * 3.14159265359 / 180, 30, true);
  EXPECT_EQ(east.substr(0, east.find(' ')), "1,0,0");
  const std::string pole = workspace::CircleOutline(0, 90, 100000, 30, false);
  EXPECT_EQ(pole.find("nan"), std::string::npos);
  EXPECT_EQ(pole.find("inf"), std::string::npos);
}

TEST(FidList, PiecesNumbersAndTheTail) {
  using workspace::ParseFidList;
  EXPECT_EQ(ParseFidList("3,17,105,"), (std::vector<std::int32_t>{3, 17, 105}));
  EXPECT_EQ(ParseFidList("1,,2,"), (std::vector<std::int32_t>{1, 2})) << "empty pieces skipped";
  EXPECT_EQ(ParseFidList("10,20"), (std::vector<std::int32_t>{10})) << "no separator, no entry";
  std::string many;
  for (int k = 0; k < 10000; ++k) many += std::to_string(k) + ",";
  const auto fids = ParseFidList(many);
  ASSERT_EQ(fids.size(), 10000u);
  EXPECT_EQ(fids.back(), 9999);
}

}  // namespace
}  // namespace altimar::testing
