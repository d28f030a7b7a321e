#include "app/contour_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/earth/dem_terrain.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

const std::string kLuxembourg = std::string(ALTIMAR_TESTDATA) + "/dem/luxembourg_elev.tif";

class ContourBatchTest : public ::testing::Test {
 protected:
  ContourBatchTest() {
    desktop.SetQuietMessageBoxes(true);
    dir = FreshTestFolder("altimar_cmd");
    options.dir = dir.string();
    options.seed = 1;
  }
  ~ContourBatchTest() override { fs::remove_all(dir); }
  std::string Document() {
    std::ifstream in(dir / "contour.kml", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  win::Desktop desktop{win::Clock::Kind::Virtual};
  app::ContourOptions options;
  fs::path dir;
};

TEST_F(ContourBatchTest, TheDefaultRunContoursTheEmbeddedTerrainAndOpensTheFile) {
  auto r = app::RunContourBatch(options, desktop);
  ASSERT_EQ(r.exitCode, 0) << r.error;
  EXPECT_NE(r.summary.find("contour.kml: 5 levels, "), std::string::npos) << r.summary;
  EXPECT_GT(r.run.segments, 100u);
  EXPECT_EQ(r.run.bytes, fs::file_size(dir / "contour.kml"));
  ASSERT_EQ(r.globe->GetTemporaryPlaces()->GetChildren()->get_Count(), 1);
  EXPECT_EQ(r.globe->GetTemporaryPlaces()->GetChildren()->Item(1)->get_Name(), "Bexo-Altimar");
}

TEST_F(ContourBatchTest, SettingsReachTheDocument) {
  options.levels = app::LevelSetting{2, 0, 0, "2000,2500"};
  options.labels = true;
  options.width = 2.5f;
  options.opacity = 50;
  options.lowColor = 0x00FF00;  // green
  options.cols = 60;
  options.rows = 40;
  auto r = app::RunContourBatch(options, desktop);
  ASSERT_EQ(r.exitCode, 0) << r.error;
  EXPECT_EQ(r.run.levels, 2);
  const std::string doc = Document();
  EXPECT_NE(doc.find("<color>8000FF00</color>             <width>2.5</width>"),
            std::string::npos);
  EXPECT_NE(doc.find(",2500</coordinates>"), std::string::npos);
  EXPECT_NE(doc.find("<Folder><name>P</name><Placemark><name>"), std::string::npos);
}

// Every segment lies in a cell whose four corners all have heights.
TEST_F(ContourBatchTest, LuxembourgContoursNeverCrossANoDataCell) {
  options.dem = kLuxembourg;
  options.levels = app::LevelSetting{1, 0, 20, ""};
  auto r = app::RunContourBatch(options, desktop);
  ASSERT_EQ(r.exitCode, 0) << r.error;
  auto dem = earth::DemTerrain::Open(kLuxembourg);
  const auto c = dem->CellCentres();
  const double dx = (c.east - c.west) / (c.cols - 1), dy = (c.north - c.south) / (c.rows - 1);
  auto valid = [&](int i, int j) {
    return i >= 0 && j >= 0 && i < c.cols && j < c.rows &&
           dem->HeightAt(c.west + (c.east - c.west) * i / (c.cols - 1),
                         c.south + (c.north - c.south) * j / (c.rows - 1))
               .has_value();
  };
  int missing = 0;
  for (int j = 0; j < c.rows; ++j)
    for (int i = 0; i < c.cols; ++i) missing += !valid(i, j);
  ASSERT_GT(missing, 0) << "the grid has no-data nodes";

  const std::string doc = Document();
  static const std::regex seg("<coordinates>([^,]+),([^ ]+) ([^,]+),([^,]+),[^<]+</coordinates>");
  int segments = 0;
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), seg); it != std::sregex_iterator();
       ++it, ++segments) {
    const double mx = (std::stod((*it)[1]) + std::stod((*it)[3])) / 2;
    const double my = (std::stod((*it)[2]) + std::stod((*it)[4])) / 2;
    const double fi = (mx - c.west) / dx, fj = (my - c.south) / dy;
    // A segment along a cell side belongs to either neighbour.
    bool inValidCell = false;
    for (int i = static_cast<int>(std::floor(fi - 1e-9)); i <= static_cast<int>(fi + 1e-9); ++i)
      for (int j = static_cast<int>(std::floor(fj - 1e-9)); j <= static_cast<int>(fj + 1e-9); ++j)
        inValidCell |= valid(i, j) && valid(i + 1, j) && valid(i, j + 1) && valid(i + 1, j + 1);
    ASSERT_TRUE(inValidCell) << "segment " << it->str();
  }
  EXPECT_EQ(static_cast<std::uint64_t>(segments), r.run.segments);
}

TEST_F(ContourBatchTest, BadInputEndsWithAMessageAndTouchesNoEarlierResult) {
  ASSERT_EQ(app::RunContourBatch(options, desktop).exitCode, 0);
  const std::string before = Document();

  options.levels = app::LevelSetting{1, 0, 1, ""};  // 1 m over 2000 m and more
  auto r = app::RunContourBatch(options, desktop);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find("Too many contour levels"), std::string::npos) << r.error;
  EXPECT_EQ(Document(), before);
  EXPECT_TRUE(r.globe->openRequests().empty());

  options.levels.reset();
  options.dem = (dir / "missing.tif").string();
  r = app::RunContourBatch(options, desktop);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find("cannot open"), std::string::npos) << r.error;

  options.dem.reset();
  options.dir = (dir / "no-such-folder").string();
  r = app::RunContourBatch(options, desktop);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find("does not exist"), std::string::npos) << r.error;
  EXPECT_EQ(Document(), before);
}

TEST_F(ContourBatchTest, AScreenshotShowsTheGlobeWithTheNewContours) {
  options.screenshot = (dir / "screen.png").string();
  options.lowColor = 0x0000FF;  // red in the Win32 order
  options.width = 3;
  auto r = app::RunContourBatch(options, desktop);
  ASSERT_EQ(r.exitCode, 0) << r.error;
  ASSERT_TRUE(fs::exists(dir / "screen.png"));
  const win::Surface& screen = desktop.ComposeScreen();
  int red = 0;
  for (int y = 0; y < screen.height(); ++y)
    for (int x = 0; x < screen.width(); ++x) red += screen.at(x, y) == 0xFF0000u;
  EXPECT_GT(red, 500) << "the contour lines are on the screen";
}

TEST_F(ContourBatchTest, AWindowOverADemTakesItsCellSpacing) {
  options.dem = kLuxembourg;
  options.window = contour::GridWindow{6.0, 49.6, 6.1, 49.7};
  auto r = app::RunContourBatch(options, desktop);
  ASSERT_EQ(r.exitCode, 0) << r.error;
  // 0.1 degree at 30 seconds a cell: 12 cells, 13 nodes each way.
  EXPECT_EQ(r.cols, 13);
  EXPECT_EQ(r.rows, 13);
  options.cols = 1000;
  EXPECT_NE(app::RunContourBatch(options, desktop).exitCode, 0);
}

}  // namespace
}  // namespace altimar::testing
