// Browsing features by number, the tour, the coordinate search, the
// properties frame and the view-at-rest test, as a user meets them.
#include <fstream>

#include "platform/shapefile/shape_library.h"
#include "program_fixture.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name) {
  return std::string(ALTIMAR_TESTDATA) + "/" + name;
}

class NavigationTest : public ProgramTest {
 protected:
  void Start(const std::string& file) {
    StartGlobe({0, 0, 700, 800});
    StartProgram();
    q().Move(700 * 15, 0);
    Press(q().optStart[workspace::kDock]);
    d.QueueDialogAnswer(file);
    Press(q().Command6);
  }
  workspace::FrmQuarlin& q() { return program->frmQuarlin; }
  void Press(forms::Control& c) {
    Click(c);
    d.DoEvents();
  }
  // Types into txtFID and presses Enter.
  void TypeFid(const std::string& text) {
    q().txtFID.SetText(text);
    q().txtFID.SetFocus();
    PressKeys({win::VK_RETURN});
  }
  std::size_t Opened() { return globe->openRequests().size(); }
  std::string Selected() { return ReadFileBytes(dir / "Quarlin_selected.kml"); }
};

TEST_F(NavigationTest, BrowsingByFidStepsReadsAndRefusesWhatIsNoFid) {
  Start(Data("shp/world.shp"));
  Press(q().chkShowBBox);
  TypeFid("0");
  EXPECT_EQ(q().lblFID.Caption, "FID: 0");
  EXPECT_NE(q().Text1.Text().find("name_long: Fiji"), std::string::npos) << q().Text1.Text();
  EXPECT_NE(Selected().find("#BBox"), std::string::npos) << "the feature's box with Display BBox";
  EXPECT_EQ(globe->openRequests().back(), (dir / "Quarlin_selected.kml").string());
  EXPECT_EQ(program->selection.SelCount, 1);

  Press(q().Command22);
  EXPECT_EQ(q().PickedFID, 1);
  EXPECT_EQ(q().txtFID.Text(), "1");
  Press(q().Command21);
  Press(q().Command21);
  EXPECT_EQ(q().PickedFID, 0) << "no step below the first";
  TypeFid("176");
  Press(q().Command22);
  EXPECT_EQ(q().PickedFID, 176) << "no step past the last";

  // A FID the file does not hold: -1, an empty box and document.
  TypeFid("177");
  EXPECT_EQ(q().lblFID.Caption, "FID: -1") << "one past the last";
  TypeFid("-1");
  EXPECT_EQ(q().lblFID.Caption, "FID: -1");
  EXPECT_EQ(q().Text1.Text(), "");
  EXPECT_NE(Selected().find("<coordinates>\r\n"), std::string::npos) << "no coordinates";
  EXPECT_EQ(program->selection.SelCount, 0);

  // What is no whole number is refused with a message; nothing changes.
  TypeFid("3");
  const std::size_t opened = Opened(), messages = d.MessageBoxLog().size();
  for (const char* text : {"abc", "11,4", "99999999999", "", "1e3"}) {
    TypeFid(text);
    EXPECT_EQ(q().PickedFID, 3) << text;
  }
  EXPECT_EQ(d.MessageBoxLog().size(), messages + 5);
  EXPECT_EQ(d.MessageBoxLog().back().caption, "Altimar");
  EXPECT_EQ(Opened(), opened);
}

TEST_F(NavigationTest, TheTourShowsTheFeaturesInOrderOnceAtATime) {
  // Five points written with the shapefile library.
  const fs::path five = dir / "five.shp";
  {
    shapefile::ShapeLibrary writer;
    ASSERT_TRUE(writer.SW_CreateShapeFile(five.string(), "point"));
    for (int k = 0; k < 5; ++k)
      ASSERT_TRUE(writer.SW_AddFeatureInShapeFile(std::to_string(10 + k) + ",47"));
    writer.SW_CloseShpFile();
  }
  Start(five.string());
  ASSERT_EQ(program->source.RecordCount, 5);
  const std::size_t opened = Opened();
  // A second click arrives while the tour runs: it starts no second tour.
  ProgramTest::Click(q().Command5);
  ProgramTest::Click(q().Command5);
  d.DoEvents();
  EXPECT_EQ(Opened(), opened + 5);
  EXPECT_EQ(q().lblFID.Caption, "FID: -1") << "it stops at the first failed read";
  EXPECT_NE(Selected().find("14,47"), std::string::npos) << "the last one shown is FID 4";
}

TEST_F(NavigationTest, TheCoordinateSearchFliesToTheNearestFeature) {
  Start(Data("shp/world.shp"));
  q().txtLon1.SetText("134");
  q().txtLat1.SetText("-25.5");
  Press(q().Command1);
  EXPECT_NE(q().Text1.Text().find("name_long: Australia"), std::string::npos);
  EXPECT_EQ(globe->get_AutoPilotSpeed(), 1.0) << "the globe is to fly to it";
  EXPECT_EQ(globe->openRequests().back(), (dir / "Quarlin_selected.kml").string());
  const std::size_t messages = d.MessageBoxLog().size();
  for (const auto& [lon, lat] : std::vector<std::pair<std::string, std::string>>{
           {"11,4", "47"}, {"abc", "1"}, {"200", "0"}, {"0", "-91"}}) {
    q().txtLon1.SetText(lon);
    q().txtLat1.SetText(lat);
    Press(q().Command1);
  }
  EXPECT_EQ(d.MessageBoxLog().size(), messages + 4);
  EXPECT_NE(q().Text1.Text().find("Australia"), std::string::npos) << "the last pick stays";
}

TEST_F(NavigationTest, AfterAKmlOpenThereIsNothingToBrowse) {
  Start(Data("kml/kmlsamples.kml"));
  ASSERT_EQ(program->source.OpenFileType, workspace::kKml);
  TypeFid("0");
  Press(q().Command22);
  Press(q().Command5);
  EXPECT_GE(d.MessageBoxLog().size(), 3u);
  EXPECT_NE(LastMessage().find("nothing to browse"), std::string::npos) << LastMessage();
}

TEST_F(NavigationTest, PropertiesFrameScrollBarAndTheViewAtRest) {
  Start(Data("shp/world.shp"));
  Press(q().imgProperties);
  EXPECT_FALSE(q().PropertiesOpen);
  EXPECT_FALSE(q().Command26.Visible());
  Press(q().imgProperties);
  EXPECT_TRUE(q().PropertiesOpen);

  const double top = q().frameEdit.Top();
  q().VScroll1.SetValue(2);
  EXPECT_EQ(q().frameEdit.Top(), top - 600);
  q().VScroll1.SetValue(0);
  EXPECT_EQ(q().frameEdit.Top(), top);

  const std::string path = q().txtOpenFile.Text();
  Press(q().Command43);
  d.Sleep(300);
  d.DoEvents();
  EXPECT_EQ(q().lblNav.Caption, "True") << "nothing moves the view";
  EXPECT_EQ(q().txtOpenFile.Text(), path) << "the source's path stays";
  Press(q().Command43);
  EXPECT_FALSE(q().timerNav.Enabled());
}

TEST_F(NavigationTest, AttributeSearchAndThePropertiesWindowFromTheWorkspace) {
  Start(Data("shp/world.shp"));
  // The toolbar's fast search: find a country by name, any case.
  const POINT fast = ButtonCentre(q().Toolbar1, "fastsearch");
  d.InjectClick(fast.x, fast.y);
  d.DoEvents();
  auto& search = program->frmFastSelect;
  ASSERT_TRUE(search.Visible());
  int column = -1;
  for (int k = 0; k < search.cmbSelectField.ListCount(); ++k)
    if (search.cmbSelectField.List(k) == "name_long") column = k;
  ASSERT_GE(column, 0);
  search.cmbSelectField.SetListIndex(column);
  search.Text1.SetText("new zealand");
  Press(search.Command1);
  EXPECT_EQ(program->selection.SelCount, 1);
  ASSERT_EQ(program->selection.SelFids.size(), 1u);
  const int fid = program->selection.SelFids[0];
  EXPECT_NE(Selected().find("<name>" + std::to_string(fid) + "</name>"), std::string::npos);
  search.Unload();
  EXPECT_EQ(q().Toolbar1.Button("fastsearch")->Value, forms::tbrUnpressed);
  // Delete shows that selection, not an older pick.
  Press(q().Command4);
  EXPECT_NE(
      ReadFileBytes(dir / "Quarlin_deleted.kml").find("<name>" + std::to_string(fid) + "</name>"),
      std::string::npos);

  // A pick with the highlight template's "Show": the window lists the row.
  program->styles.frmHighlightStyle.Load();
  program->styles.frmHighlightStyle.Check1.SetValue(1);
  TypeFid("3");
  q().PickLon = 134;
  q().PickLat = -25;
  q().SinglePick(false);
  auto& html = program->frmHtml;
  EXPECT_TRUE(html.Visible());
  EXPECT_EQ(html.Label2.Caption, "FID: " + std::to_string(q().CurrentFID));
  EXPECT_EQ(d.GetParent(html.hwnd()), globe->GetRenderHwnd()) << "inside the 3D view";
  // "go back" in the properties frame takes the window's browser one page back.
  const std::string clock = html.WebBrowser1.LocationURL();
  ASSERT_NE(clock, "");
  std::ofstream(dir / "page.html") << "<p>a page</p>";
  html.WebBrowser1.Navigate((dir / "page.html").string());
  ASSERT_EQ(html.WebBrowser1.LocationURL(), (dir / "page.html").string());
  if (!q().PropertiesOpen) Press(q().imgProperties);
  Press(q().Command26);
  EXPECT_EQ(html.WebBrowser1.LocationURL(), clock);

  // Without a database the search window refuses.
  fs::copy_file(Data("shp/world.shp"), dir / "bare.shp");
  fs::copy_file(Data("shp/world.shx"), dir / "bare.shx");
  d.QueueDialogAnswer((dir / "bare.shp").string());
  Press(q().Command6);
  ASSERT_EQ(program->rdb.AttrCount, 0);
  const std::size_t messages = d.MessageBoxLog().size();
  Press(q().Command16);
  EXPECT_EQ(d.MessageBoxLog().size(), messages + 1);
  EXPECT_FALSE(search.Visible());
}

}  // namespace
}  // namespace altimar::testing
