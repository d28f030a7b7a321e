// `altimar open`: the summary line of an open, and the program's message
// with a non-zero exit when the open fails.
#include "app/open_batch.h"

#include <gtest/gtest.h>

#include <fstream>

#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

std::string Data(const std::string& name) {
  return std::string(ALTIMAR_TESTDATA) + "/" + name;
}

class OpenBatchTest : public ::testing::Test {
 protected:
  OpenBatchTest() { d.SetQuietMessageBoxes(true); }
  ~OpenBatchTest() override { fs::remove_all(dir); }
  app::OpenBatchResult Run(const std::string& file) {
    app::OpenOptions o;
    o.file = file;
    o.dir = dir.string();
    o.screenshot = shot;
    return app::RunOpenBatch(o, d);
  }
  win::Desktop d{win::Clock::Kind::Virtual};
  fs::path dir = FreshTestFolder("altimar_open_batch");
  std::optional<std::string> shot;
};

TEST_F(OpenBatchTest, TheSummaryNamesTypeRecordsFieldsExportAndDatabase) {
  shot = (dir / "world.png").string();
  const auto r = Run(Data("shp/world.shp"));
  ASSERT_EQ(r.exitCode, 0) << r.error;
  EXPECT_NE(r.summary.find(": Polygon, 177 records, 10 fields, 177 records exported to " +
                           (dir / "world.kml").string() + ", " + (dir / "bexo.mdb").string()),
            std::string::npos)
      << r.summary;
  EXPECT_TRUE(fs::exists(dir / "world.kml"));
  EXPECT_GT(fs::file_size(*shot), 1000u);
  EXPECT_NE(r.globe->camera().range, 0);

  shot.reset();
  const auto k = Run(Data("kml/kmlsamples.kml"));
  ASSERT_EQ(k.exitCode, 0) << k.error;
  EXPECT_NE(k.summary.find(": KML, 20 records, 7 fields, " + (dir / "bexo.mdb").string()),
            std::string::npos)
      << k.summary;
}

TEST_F(OpenBatchTest, AFailedOpenExitsWithTheProgramsMessage) {
  std::ofstream(dir / "broken.shp") << "nothing of a shapefile";
  auto r = Run((dir / "broken.shp").string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find("broken.shp cannot be opened"), std::string::npos) << r.error;
  EXPECT_EQ(r.error.find('\n'), std::string::npos) << "one line";

  r = Run((dir / "missing.shp").string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find("missing.shp"), std::string::npos) << r.error;

  std::ofstream(dir / "notes.txt") << "x";
  r = Run((dir / "notes.txt").string());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.error.find(".shp, .kml and .gml"), std::string::npos) << r.error;

  shot = (dir / "no/such/folder/a.png").string();
  r = Run(Data("shp/world.shp"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(fs::exists(dir / "world.kml")) << "a bad output is refused before anything runs";
}

}  // namespace
}  // namespace altimar::testing
