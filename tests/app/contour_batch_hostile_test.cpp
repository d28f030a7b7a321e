// altimar contour given paths and files made to hurt: outputs that cannot
// be written or would replace one another, options that would be ignored,
// DEMs that are refused. Each ends with a message before anything is
// written, and the earlier contour.kml stays byte for byte.
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/contour_batch.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class ContourBatchHostileTest : public ::testing::Test {
 protected:
  ContourBatchHostileTest() {
    desktop.SetQuietMessageBoxes(true);
    dir = FreshTestFolder("altimar_cmd_hostile");
    Write(dir / "grid.asc",
          "ncols 4\nnrows 4\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
          "-9999 -9999 300 400\n-9999 -9999 350 450\n100 150 200 250\n50 75 100 125\n");
    options.dir = dir.string();
    options.dem = (dir / "grid.asc").string();
    options.seed = 1;
    auto r = app::RunContourBatch(options, desktop);
    EXPECT_EQ(r.exitCode, 0) << r.error;
    before = Document();
    EXPECT_FALSE(before.empty());
  }
  ~ContourBatchHostileTest() override { fs::remove_all(dir); }

  static void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
  std::string Document() const {
    std::ifstream in(dir / "contour.kml", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
  }

  // Runs `o`, expecting a refusal naming `words`, with every file as it was.
  void ExpectRefused(const app::ContourOptions& o, const std::string& words) {
    const auto files = Files();
    auto r = app::RunContourBatch(o, desktop);
    EXPECT_EQ(r.exitCode, 1) << words;
    EXPECT_NE(r.error.find(words), std::string::npos) << "got: " << r.error;
    EXPECT_EQ(Document(), before) << words;
    EXPECT_EQ(Files(), files) << words;
    EXPECT_TRUE(!r.globe || r.globe->openRequests().empty()) << words;
  }

  win::Desktop desktop{win::Clock::Kind::Virtual};
  app::ContourOptions options;
  fs::path dir;
  std::string before;
};

TEST_F(ContourBatchHostileTest, OutputsThatCannotBeWrittenOrWouldReplaceEachOther) {
  app::ContourOptions o = options;
  o.screenshot = (dir / "missing" / "shot.png").string();
  ExpectRefused(o, "the screenshot's folder '" + (dir / "missing").string() + "' does not exist");
  o.screenshot = "/proc/shot.png";
  ExpectRefused(o, "no file can be created in the screenshot's folder '/proc'");
  o.screenshot = (dir / "contour.kml").string();
  ExpectRefused(o, "would replace the contour document");
  o.screenshot = (dir / "." / "contour.kml").string();
  ExpectRefused(o, "would replace the contour document");
  fs::create_symlink(dir / "contour.kml", dir / "link.png");
  o.screenshot = (dir / "link.png").string();
  ExpectRefused(o, "would replace the contour document");
  o.screenshot = (dir / "grid.asc").string();
  ExpectRefused(o, "would replace the DEM");
  o.screenshot = dir.string();
  ExpectRefused(o, "is not a regular file");
  o.screenshot = dir.string() + "/";
  ExpectRefused(o, "--screenshot needs a file name");

  o = options;
  o.dir = (dir / "grid.asc").string();
  ExpectRefused(o, "'" + o.dir + "' is not a folder");
  o.dir = (dir / "nowhere").string();
  ExpectRefused(o, "'" + o.dir + "' does not exist");
  o.dir = "/proc";
  ExpectRefused(o, "no file can be created in the folder '/proc'");
}

TEST_F(ContourBatchHostileTest, AWindowIsOnlyTakenWhereItIsUsed) {
  app::ContourOptions o = options;
  o.dem.reset();
  o.window = contour::GridWindow{10, 45, 12, 47};
  ExpectRefused(o, "--window needs --dem");
  o.dem = options.dem;
  o.lat = 45.5;
  ExpectRefused(o, "--window cannot go with a camera option or --screenshot");
  o.lat.reset();
  o.screenshot = (dir / "shot.png").string();
  ExpectRefused(o, "--window cannot go with a camera option or --screenshot");
  // A window over the grid's no-data corner has nothing to contour.
  o.screenshot.reset();
  o.window = contour::GridWindow{10.1, 46.1, 10.9, 46.9};
  ExpectRefused(o, "no grid node has a height in " + *o.dem + " inside the window");
}

TEST_F(ContourBatchHostileTest, DemsThatAreRefusedSayWhy) {
  app::ContourOptions o = options;
  Write(dir / "notes.txt", "not heights\n");
  Write(dir / "raw.vrt",
        "<VRTDataset rasterXSize=\"4\" rasterYSize=\"4\"><GeoTransform>10, 0.5, 0, 47, 0, -0.5"
        "</GeoTransform><VRTRasterBand dataType=\"Byte\" band=\"1\" subClass=\"VRTRawRasterBand\">"
        "<SourceFilename relativeToVRT=\"1\">notes.txt</SourceFilename></VRTRasterBand></VRTDataset>");
  o.dem = (dir / "raw.vrt").string();
  ExpectRefused(o, "raw cells");
  Write(dir / "empty.asc",
        "ncols 2\nnrows 2\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
        "-9999 -9999\n-9999 nan\n");
  o.dem = (dir / "empty.asc").string();
  ExpectRefused(o, "has no heights");
  Write(dir / "pole.asc",
        "ncols 2\nnrows 2\nxllcorner 10\nyllcorner 89.5\ncellsize 1e30\n1 2\n3 4\n");
  o.dem = (dir / "pole.asc").string();
  ExpectRefused(o, "its extent is not lon/lat");
  o.dem = "http://127.0.0.1:9/dem.tif";
  ExpectRefused(o, "network");
}

}  // namespace
}  // namespace altimar::testing
