// The open command as a user meets it: the workspace docked beside the
// globe, the open button, the file dialog answered, then what the
// information box, the attribute database, the library and the globe hold.
#include <shapefil.h>

#include <fstream>

#include "program_fixture.h"
#include "test_folder.h"
#include "workspace/field_info.h"
#include "workspace/file_names.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name) {
  return std::string(ALTIMAR_TESTDATA) + "/" + name;
}

class OpenCommandTest : public ProgramTest {
 protected:
  void Start() {
    StartGlobe({0, 0, 700, 800});
    StartProgram();
    q().Move(700 * 15, 0);
    Click(q().optStart[workspace::kDock]);
  }
  workspace::FrmQuarlin& q() { return program->frmQuarlin; }
  void Click(forms::Control& c) {
    ProgramTest::Click(c);
    d.DoEvents();
  }
  workspace::OpenSource& source() { return program->source; }
  data::AttributeDatabase& rdb() { return program->rdb; }
  // Clicks "Open" and answers the file dialog.
  void Open(const std::string& answer) {
    d.QueueDialogAnswer(answer);
    Click(q().Command6);
  }
  long long Rows() { return rdb().FeatureRs ? rdb().FeatureRs->RecordCount() : -1; }
  // Placemarks with geometry in the document the globe opened from `path`.
  std::size_t DrawnPlacemarks(const std::string& path) {
    for (const auto& doc : globe->temporaryPlaces()->children())
      if (doc->source() == path) return CountDrawn(*doc);
    ADD_FAILURE() << path << " is not open in the globe";
    return 0;
  }
  static std::size_t CountDrawn(const earth::Feature& f) {
    std::size_t n = f.geometryCount() > 0 ? 1 : 0;
    for (const auto& c : f.children()) n += CountDrawn(*c);
    return n;
  }
  // Copies a test shapefile (its .shp, .shx and .dbf) into the program folder.
  std::string CopyShapefile(const std::string& name, const std::string& as, bool withDbf = true) {
    for (const char* ext : {".shp", ".shx", ".dbf"}) {
      if (!withDbf && std::string(ext) == ".dbf") continue;
      fs::copy_file(Data("shp/" + name + ext), dir / (as + ext),
                    fs::copy_options::overwrite_existing);
    }
    return (dir / (as + ".shp")).string();
  }
  // What a failed open must leave as it was.
  struct State {
    std::string base, name, exportPath, txtOpenFile, text1;
    std::int16_t type;
    std::int32_t records;
    int attrCount;
    long long rows;
    int features;
  };
  State Now() {
    std::string coords, attrs, box;
    const int read = program->shapes.SW_ReadFeature(0, 0, coords, attrs, box);
    return {source().OpenFileBase,
            q().OpenFileName,
            q().ExportKmlPath,
            q().txtOpenFile.Text(),
            q().Text1.Text(),
            source().OpenFileType,
            source().RecordCount,
            rdb().AttrCount,
            Rows(),
            read};
  }
  static void ExpectSame(const State& a, const State& b) {
    EXPECT_EQ(a.base, b.base);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.exportPath, b.exportPath);
    EXPECT_EQ(a.txtOpenFile, b.txtOpenFile);
    EXPECT_EQ(a.text1, b.text1);
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.records, b.records);
    EXPECT_EQ(a.attrCount, b.attrCount);
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_EQ(a.features, b.features) << "the library holds the same shapefile";
  }
};

TEST_F(OpenCommandTest, AShapefileFillsTheBoxTheDatabaseAndTheGlobe) {
  Start();
  ASSERT_TRUE(q().Toolbar1.Button("select"));
  EXPECT_FALSE(q().Toolbar1.Button("select")->Enabled) << "nothing to select before an open";
  const int hooks = program->hooks.Depth();
  // The toolbar's open button, as a user in the docked workspace presses it.
  d.QueueDialogAnswer(Data("shp/cases/number-property.shp"));
  const POINT open = ButtonCentre(q().Toolbar1, "open");
  d.InjectClick(open.x, open.y);
  d.DoEvents();
  EXPECT_EQ(q().Text1.Text(),
            "Shape Type:   Point\r\nRecord Count: 3\r\nfoo integer 10\r\n\r\n3 records processed.");
  EXPECT_EQ(q().txtOpenFile.Text(), Data("shp/cases/number-property.shp"));
  EXPECT_EQ(source().OpenFileType, workspace::kShapefile);
  EXPECT_EQ(source().OpenFileBase, Data("shp/cases/number-property"));
  EXPECT_EQ(q().ExportKmlPath, (dir / "number-property.kml").string());
  EXPECT_EQ(rdb().AttrCount, 1);
  EXPECT_EQ(rdb().AttrDef[0][0], "foo");
  EXPECT_EQ(rdb().AttrDef[0][4], "1");
  EXPECT_EQ(Rows(), 3);
  EXPECT_TRUE(fs::exists(dir / "bexo.mdb"));
  EXPECT_EQ(globe->openRequests().back(), q().ExportKmlPath);
  EXPECT_EQ(DrawnPlacemarks(q().ExportKmlPath), 3u);
  EXPECT_EQ(program->hooks.Depth(), hooks) << "the lock client is popped";
  EXPECT_TRUE(q().Toolbar1.Button("select")->Enabled) << "an open enables the whole bar";
  EXPECT_EQ(q().Toolbar1.Button("pan")->Value, forms::tbrPressed);
  EXPECT_EQ(q().MousePointer(), 0);
  EXPECT_FALSE(q().ProgressBar1.Visible());
  EXPECT_TRUE(q().Command6.Enabled()) << "the open button comes back";

  // Real files of every shape type: one row and one drawn placemark per feature.
  for (const auto& [name, type] :
       std::vector<std::pair<std::string, std::string>>{{"world", "Polygon"},
                                                        {"baltim", "Point"},
                                                        {"columbus", "Polygon"},
                                                        {"cases/polylines", "PolyLine"}}) {
    SCOPED_TRACE(name);
    Open(Data("shp/" + name + ".shp"));
    EXPECT_EQ(source().ShapeTypeName, type);
    const std::string count = std::to_string(source().RecordCount);
    EXPECT_EQ(
        q().Text1.Text().rfind("Shape Type:   " + type + "\r\nRecord Count: " + count + "\r\n", 0),
        0u);
    const std::string tail = "\r\n" + count + " records processed.";
    EXPECT_TRUE(q().Text1.Text().ends_with(tail)) << q().Text1.Text();
    EXPECT_EQ(Rows(), source().RecordCount);
    EXPECT_GT(rdb().AttrCount, 0);
    const std::string kml = q().ExportKmlPath;
    EXPECT_EQ(globe->openRequests().back(), kml);
    EXPECT_GE(DrawnPlacemarks(kml), static_cast<std::size_t>(source().RecordCount) * 9 / 10);
  }
}

TEST_F(OpenCommandTest, EveryTestFileOpensThroughTheCommand) {
  // The cases of every field type, code page, null and empty shape, and a
  // shapefile without its table; then the KML files.
  Start();
  const std::size_t messages = d.MessageBoxLog().size();
  for (const auto& entry : fs::directory_iterator(Data("shp/cases"))) {
    if (entry.path().extension() != ".shp") continue;
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    // Shapelib counts the records when the index is there; the file
    // without one holds three points.
    int shapes = 3;
    const bool indexed = fs::exists(fs::path(entry.path()).replace_extension(".shx"));
    if (SHPHandle h = indexed ? SHPOpen(path.c_str(), "rb") : nullptr) {
      SHPGetInfo(h, &shapes, nullptr, nullptr, nullptr);
      SHPClose(h);
    }
    Open(path);
    EXPECT_EQ(source().OpenFileType, workspace::kShapefile);
    EXPECT_EQ(source().RecordCount, shapes);
    const bool table =
        fs::exists(entry.path().parent_path() / (entry.path().stem().string() + ".dbf"));
    EXPECT_EQ(Rows(), table ? shapes : -1);
    EXPECT_EQ(rdb().AttrCount > 0, table && entry.path().stem() != "empty") << rdb().AttrCount;
    EXPECT_TRUE(q().Text1.Text().ends_with("\r\n" + std::to_string(shapes) + " records processed."))
        << q().Text1.Text();
    ASSERT_FALSE(globe->openRequests().empty());
    EXPECT_EQ(globe->openRequests().back(), q().ExportKmlPath);
  }
  for (const char* name : {"kml/hello_world_4_gateway_arch.kml", "kml/kmlsamples.kml"}) {
    SCOPED_TRACE(name);
    Open(Data(name));
    EXPECT_EQ(source().OpenFileType, workspace::kKml);
    EXPECT_GT(Rows(), 0);
    EXPECT_EQ(source().RecordCount, 0) << "no shapefile to browse";
  }
  EXPECT_EQ(d.MessageBoxLog().size(), messages) << LastMessage();
}

TEST_F(OpenCommandTest, TheTwoGlobeTestButtons) {
  Start();
  // "LoadKmlData": the fixed line of eleven points, handed over as text.
  q().Command17_Click();
  const auto& docs = globe->temporaryPlaces()->children();
  ASSERT_FALSE(docs.empty());
  EXPECT_EQ(docs.back()->get_Name(), "test function - LoadKmlData");
  EXPECT_EQ(CountDrawn(*docs.back()), 1u);
  // "OpenKmlFile": the program folder's test file; without it, a message.
  const std::size_t messages = d.MessageBoxLog().size();
  q().Command19_Click();
  ASSERT_EQ(d.MessageBoxLog().size(), messages + 1);
  EXPECT_EQ(d.MessageBoxLog().back().caption, "Altimar");
  std::ofstream(dir / "test function - OpenKmlFile.kml")
      << "<kml><Document><name>opened</name></Document></kml>";
  q().Command19_Click();
  EXPECT_EQ(d.MessageBoxLog().size(), messages + 1);
  EXPECT_EQ(globe->openRequests().back(), (dir / "test function - OpenKmlFile.kml").string());
}

TEST_F(OpenCommandTest, FilesThatAreNotOpenedLeaveThePreviousSourceAsItWas) {
  Start();
  Open(Data("shp/columbus.shp"));
  ASSERT_EQ(source().OpenFileType, workspace::kShapefile);
  const State before = Now();
  const std::size_t messages = d.MessageBoxLog().size();

  // A capital extension, an unknown one, a missing file, a cancelled dialog.
  fs::copy_file(Data("shp/baltim.shp"), dir / "X.SHP");
  std::ofstream(dir / "notes.txt") << "x";
  for (const std::string& answer :
       {(dir / "X.SHP").string(), (dir / "notes.txt").string(), (dir / "missing.shp").string(),
        std::string("cancel"), std::string("")}) {
    SCOPED_TRACE(answer);
    Open(answer);
    ExpectSame(Now(), before);
  }
  EXPECT_EQ(d.MessageBoxLog().size(), messages) << "none of these is a failure to tell";

  // A shapefile that is no shapefile, and a KML file that is not well-formed:
  // a message naming the file, and the previous source stays open.
  std::ofstream(dir / "broken.shp", std::ios::binary) << "not a shapefile at all, not even close";
  Open((dir / "broken.shp").string());
  ASSERT_EQ(d.MessageBoxLog().size(), messages + 1);
  EXPECT_EQ(d.MessageBoxLog().back().caption, "Altimar");
  EXPECT_NE(LastMessage().find("broken.shp"), std::string::npos) << LastMessage();
  ExpectSame(Now(), before);

  std::ofstream(dir / "bad.kml") << "<kml><Document>\n<Placemark><name>x</Point></Document></kml>";
  Open((dir / "bad.kml").string());
  ASSERT_EQ(d.MessageBoxLog().size(), messages + 2);
  EXPECT_NE(LastMessage().find("bad.kml"), std::string::npos) << LastMessage();
  EXPECT_NE(LastMessage().find("line 2, column"), std::string::npos) << LastMessage();
  ExpectSame(Now(), before);
  EXPECT_FALSE(fs::exists(dir / "bexo.mdb.new"));

  // The export still writes the shapefile that stayed open.
  Click(q().Command8);
  EXPECT_TRUE(fs::exists(dir / "columbus.kml"));
  EXPECT_FALSE(fs::exists(dir / "bad.kml.kml"));
}

TEST_F(OpenCommandTest, WhatANewSourceDoesNotFillIsReset) {
  Start();
  Open(Data("shp/columbus.shp"));
  ASSERT_GT(Rows(), 0);

  // A shapefile without its table: no columns, no database, no rows of the one before.
  const std::string bare = CopyShapefile("baltim", "bare", false);
  Open(bare);
  EXPECT_EQ(source().OpenFileType, workspace::kShapefile);
  EXPECT_EQ(q().Text1.Text(),
            "Shape Type:   Point\r\nRecord Count: 211\r\n\r\n211 records processed.");
  EXPECT_EQ(rdb().AttrCount, 0);
  EXPECT_FALSE(rdb().FeatureRs) << "the database of columbus is closed";
  std::string coords, attrs, box;
  EXPECT_EQ(program->shapes.SW_ReadFeature(0, 0, coords, attrs, box), 0);
  EXPECT_EQ(attrs, "") << "the library holds no table of the source before";

  // A KML file: its rows; no shapefile to browse, no type or count of the one before.
  Open(Data("kml/kmlsamples.kml"));
  EXPECT_EQ(source().OpenFileType, workspace::kKml);
  EXPECT_EQ(source().ShapeTypeName, "");
  EXPECT_EQ(source().RecordCount, 0);
  EXPECT_EQ(Rows(), 20);
  EXPECT_EQ(program->shapes.SW_ReadFeature(0, 0, coords, attrs, box), -1);

  // A title that names one of the program's documents exports beside it.
  const std::string named = CopyShapefile("columbus", "Quarlin_selected");
  Open(named);
  EXPECT_EQ(q().ExportKmlPath, (dir / "Quarlin_selected_export.kml").string());
  EXPECT_TRUE(fs::exists(dir / "Quarlin_selected_export.kml"));

  // With conversion off, the export of an earlier open is still shown.
  q().Command20_Click();
  program->frmOpenOptions.chkConvert.SetValue(0);
  program->frmOpenOptions.Hide();
  fs::remove(dir / "bare.kml");
  Open(bare);
  EXPECT_FALSE(fs::exists(dir / "bare.kml"));
  EXPECT_EQ(q().Text1.Text(), "Shape Type:   Point\r\nRecord Count: 211\r\n");
  Click(q().Command8);
  ASSERT_TRUE(fs::exists(dir / "bare.kml"));
  const std::size_t opened = globe->openRequests().size();
  Open(bare);
  EXPECT_EQ(globe->openRequests().size(), opened + 1);
  EXPECT_EQ(globe->openRequests().back(), (dir / "bare.kml").string());
}

TEST_F(OpenCommandTest, TheExportRunsOnlyForAShapefileWithTheButtonsHeld) {
  Start();
  Click(q().Command8);
  ASSERT_EQ(d.MessageBoxLog().size(), 1u);
  EXPECT_NE(LastMessage().find("shapefile"), std::string::npos);

  Open(Data("shp/world.shp"));
  // While the export runs, events come through, and a click on the open or
  // export button does nothing.
  const std::size_t opened = globe->openRequests().size();
  d.QueueDialogAnswer(Data("shp/baltim.shp"));
  ProgramTest::Click(q().Command8);
  ProgramTest::Click(q().Command6);
  ProgramTest::Click(q().Command8);
  d.DoEvents();
  std::string answer;
  EXPECT_TRUE(d.TakeDialogAnswer(answer)) << "no file dialog was shown during the export";
  EXPECT_EQ(source().OpenFileBase, Data("shp/world"));
  EXPECT_EQ(globe->openRequests().size(), opened);
  EXPECT_FALSE(q().Timer2.Enabled());
  EXPECT_TRUE(q().Command6.Enabled());
  EXPECT_TRUE(q().Toolbar1.Button("export")->Enabled);
  EXPECT_TRUE(q().Text1.Text().ends_with("\r\n177 records processed.\r\n177 records processed."));

  // An export that cannot be written says so and counts nothing.
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  const std::string text = q().Text1.Text();
  if (::geteuid() != 0) {
    Click(q().Command8);
    EXPECT_NE(LastMessage().find("world"), std::string::npos) << LastMessage();
    EXPECT_EQ(q().Text1.Text(), text);
  }
  fs::permissions(dir, fs::perms::owner_all);
}

TEST_F(OpenCommandTest, TheOptionsAndTheResourceDialog) {
  Start();
  auto& options = program->frmOpenOptions;
  EXPECT_FALSE(options.loaded());
  EXPECT_EQ(options.chkConvert.Value, 1) << "the options exist before the dialog first shows";
  EXPECT_EQ(options.chkCloseGEPlaces.Value, 0);

  Click(q().Command20);
  ASSERT_TRUE(options.Visible());
  EXPECT_EQ(options.chkOpenFileOption[1].Caption, "Disply BBox");
  EXPECT_EQ(options.chkCloseGEPlaces.Caption, "Close Files opened in GE-Places");
  EXPECT_FALSE(options.cmbSelectFieldToLabel.Enabled());
  EXPECT_FALSE(options.Text1.Enabled()) << "inside the disabled coefficient frame";
  Click(options.chkOpenFileOption[0]);
  EXPECT_TRUE(options.cmbSelectFieldToLabel.Enabled());
  Click(options.chkOpenFileOption[2]);
  EXPECT_TRUE(options.Combo1.Enabled());
  EXPECT_TRUE(options.Text2.Enabled());
  Click(options.chkOpenFileOption[2]);
  EXPECT_FALSE(options.Text2.Enabled());

  // Clearing the globe's places after an open.
  Click(options.chkCloseGEPlaces);
  Click(options.Command1);
  EXPECT_FALSE(options.Visible());
  globe->OpenKmlFile(Data("kml/kmlsamples.kml"), 1);
  Open(Data("shp/cases/points.shp"));
  int listed = 0;
  for (const auto& places : {globe->GetMyPlaces(), globe->GetTemporaryPlaces()}) {
    const auto list = places->GetChildren();
    for (int i = 1; i <= list->get_Count(); ++i, ++listed)
      EXPECT_EQ(list->Item(i)->get_Visibility(), 0) << list->Item(i)->get_Name();
  }
  EXPECT_GE(listed, 2) << "the samples and the export";

  // "Connect to a WFS": the resource dialog instead of the file dialog; Esc closes it.
  Click(q().optOpenResource[0]);
  auto& resource = program->frmOpenResource;
  d.QueueDialogAnswer(Data("shp/world.shp"));  // would be taken by a file dialog
  resource.Load();
  ProgramTest::Click(resource.Text2);  // typed into while it is open, then Esc
  d.InjectKey(win::VK_ESCAPE, true);
  d.InjectKey(win::VK_ESCAPE, false);
  EXPECT_FALSE(q().OpenCommand() && source().OpenFileBase.ends_with("world"));
  EXPECT_TRUE(resource.loaded());
  EXPECT_FALSE(resource.Visible());
  EXPECT_EQ(resource.Caption(), "Open a Resource");
  EXPECT_EQ(resource.lblWfs.Caption, "Connect to a WFS:");
  EXPECT_EQ(source().OpenFileBase, Data("shp/cases/points"));
  std::string unused;
  EXPECT_TRUE(d.TakeDialogAnswer(unused)) << "no file dialog was shown";
}

TEST_F(OpenCommandTest, TheComparisonToolLaysTheDrawnRectangleOnTheTerrain) {
  Start();
  auto camera = globe->GetCamera(0);
  camera->put_Tilt(20);
  globe->SetCamera(*camera, 5.0);
  RECT view;
  d.GetWindowRect(globe->GetRenderHwnd(), &view);
  const int depth = program->hooks.Depth();
  Click(q().Command37);
  EXPECT_EQ(program->hooks.Top(), host::kHookCompare);
  Click(q().Command37);
  EXPECT_EQ(program->hooks.Depth(), depth + 1) << "starting twice leaves one client";

  d.InjectClick(view.left + 100, view.top + 120);
  d.InjectClick(view.left + 300, view.top + 320);
  d.DoEvents();
  EXPECT_EQ(program->hooks.Depth(), depth);
  // The corners in view coordinates: x to the right, y upwards, -1 to 1.
  EXPECT_NEAR(std::stod(q().GEMouseX.Text()), 2.0 * 100 / view.width() - 1, 1e-12);
  EXPECT_NEAR(std::stod(q().GEMouseY.Text()), 1 - 2.0 * 120 / view.height(), 1e-12);
  EXPECT_NEAR(std::stod(q().GEMouseX2.Text()), 2.0 * 300 / view.width() - 1, 1e-12);
  EXPECT_NEAR(std::stod(q().GEMouseY2.Text()), 1 - 2.0 * 320 / view.height(), 1e-12);
  const std::string text = q().Text1.Text();
  d.Sleep(300);
  d.DoEvents();
  EXPECT_FALSE(q().Timer4Compare.Enabled()) << "the tool ends after its work";
  EXPECT_EQ(q().CompareState, 0);
  const std::string doc = ReadFileBytes(dir / "Quarlin_selected.kml");
  EXPECT_NE(doc.find("<name>Comparision of Rect</name>"), std::string::npos);
  EXPECT_EQ(DrawnPlacemarks((dir / "Quarlin_selected.kml").string()), 3u)
      << "the line and the areas of the two rectangles";
  const std::size_t opened = globe->openRequests().size();
  for (int k = 0; k < 100; ++k) {
    d.Sleep(100);
    d.DoEvents();
  }
  EXPECT_FALSE(globe->flying());
  EXPECT_EQ(globe->camera().tilt, 0) << "the view is turned straight down over the rectangle";
  EXPECT_EQ(globe->openRequests().size(), opened) << "no more documents after its work";
  const std::string corners = q().Text1.Text().substr(text.size());
  EXPECT_EQ(std::count(corners.begin(), corners.end(), '\n'), 4) << "four corners appended";

  // Esc after the first corner ends the tool without a document.
  Click(q().Command37);
  d.InjectClick(view.left + 100, view.top + 120);
  d.DoEvents();
  d.InjectKey(win::VK_ESCAPE, true);
  d.InjectMouseMove(view.left + 150, view.top + 150);
  d.InjectKey(win::VK_ESCAPE, false);
  d.DoEvents();
  d.Sleep(300);
  d.DoEvents();
  EXPECT_EQ(program->hooks.Depth(), depth);
  EXPECT_FALSE(q().Timer4Compare.Enabled());
  EXPECT_EQ(globe->openRequests().size(), opened);

  // Unloading blanks the documents it showed.
  program->End();
  EXPECT_EQ(ReadFileBytes(dir / "Quarlin_selected.kml").find("Comparision"), std::string::npos);
}

TEST(FieldInfo, LinesToRowsWordsToColumns) {
  std::vector<std::array<std::string, 6>> def(3);
  def[2][0] = "old";
  auto info = workspace::ParseFieldInfo("  NAME string 32\r\nAREA float 19\r\nCUT integer", def);
  EXPECT_EQ(info.count, 2) << "a last line without CR LF is not read";
  EXPECT_EQ(def[0][0], "NAME");
  EXPECT_EQ(def[0][1], "string");
  EXPECT_EQ(def[1][2], "19");
  for (const auto& row : def) EXPECT_EQ(row[4] + row[5], "11");

  // More lines than rows: counted, not kept; more words than columns: dropped.
  info = workspace::ParseFieldInfo("a b c d e f g h\r\nb\r\nc\r\nd\r\n", def);
  EXPECT_EQ(info.count, 3);
  EXPECT_EQ(info.lines, 4);
  EXPECT_EQ(def[0][3], "d");
  EXPECT_EQ(def[0][4], "1");
  EXPECT_EQ(workspace::ParseFieldInfo("", def).count, 0);
}

TEST(FileNames, FoldersOfEitherSeparatorAndDotsInFolders) {
  using namespace workspace;
  EXPECT_EQ(StripExtension("C:\\data.v2\\roads"), "C:\\data.v2\\roads");
  EXPECT_EQ(StripExtension("/data.v2/roads.shp"), "/data.v2/roads");
  EXPECT_EQ(FileNameOf("C:\\a\\b.shp"), "b.shp");
  EXPECT_EQ(FileNameOf("/a/b.tar.gz"), "b.tar.gz");
  EXPECT_EQ(FileTitleOf("/a/b.tar.gz"), "b");
  EXPECT_EQ(ExtensionOf("/a/b.tar.gz"), "gz");
  EXPECT_EQ(ExtensionOf("/a.b/c"), "");
  EXPECT_EQ(CutAtNul(std::string("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace altimar::testing
