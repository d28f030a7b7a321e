#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "contour/contour.h"
#include "contour/grid_fill.h"
#include "contour/test_support.h"
#include "contour/text_file.h"
#include "platform/earth/analytic_terrain.h"
#include "platform/earth/globe.h"
#include "platform/earth/kml_places.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class ContourFileTest : public ::testing::Test {
 protected:
  ContourFileTest() {
    desktop.SetQuietMessageBoxes(true);
    dir = FreshTestFolder("altimar_contour");
    path = (dir / "contour.kml").string();
    c.SetStartupDefaults();
    c.SetDialogDefaults();
    // A cone: rings of contours around 11.4 E 47.3 N.
    auto cone = earth::AnalyticTerrain::Cone(11.4, 47.3, 2000, 10000, 0);
    contour::FillGrid(c, {11.3, 47.2, 11.5, 47.4}, 30, 30,
                      [&](double lon, double lat) { return cone.HeightAt(lon, lat); });
  }
  ~ContourFileTest() override { fs::remove_all(dir); }

  std::shared_ptr<earth::Globe> StartGlobe() {
    return earth::Globe::Start(desktop, std::make_shared<earth::AnalyticTerrain>(
                                            earth::AnalyticTerrain::Plane(100, 0, 0)));
  }

  win::Desktop desktop{win::Clock::Kind::Virtual};
  ScriptedRandom random{EveryThird};
  contour::Contour c{desktop, random};
  fs::path dir;
  std::string path;
};

TEST_F(ContourFileTest, TheDocumentIsWrittenWholeAndTheGlobeOpensIt) {
  auto globe = StartGlobe();
  c.LabelContours = true;
  const auto r = c.MakeContourFile(path);
  ASSERT_TRUE(r.written && r.opened);
  EXPECT_EQ(r.levels, 5);
  EXPECT_GT(r.segments, 0u);
  const std::string doc = ReadFileBytes(path);
  EXPECT_EQ(doc.size(), r.bytes);
  EXPECT_EQ(doc.rfind("</Folder> </Document></kml>\r\n"), doc.size() - 29);
  EXPECT_NE(doc.find("<Folder><name>P</name><Placemark><name>"), std::string::npos);
  for (unsigned char ch : doc) ASSERT_LT(ch, 128) << "single-byte ASCII only";

  ASSERT_EQ(globe->openRequests(), std::vector<std::string>{path});
  auto places = globe->GetTemporaryPlaces()->GetChildren();
  ASSERT_EQ(places->get_Count(), 1);
  auto document = places->Item(1);
  EXPECT_EQ(document->get_Name(), "Bexo-Altimar");
  // One placemark per level with segments, then the label folder.
  int levelPlacemarks = 0;
  for (auto at = doc.find("<Placemark><styleUrl>#Contour"); at != std::string::npos;
       at = doc.find("<Placemark><styleUrl>#Contour", at + 1))
    ++levelPlacemarks;
  EXPECT_GE(levelPlacemarks, 4);
  auto children = document->GetChildren();
  ASSERT_EQ(children->get_Count(), levelPlacemarks + 1);
  auto folder = children->Item(levelPlacemarks + 1);
  EXPECT_EQ(folder->get_Name(), "P");
  EXPECT_EQ(static_cast<std::uint64_t>(folder->GetChildren()->get_Count()), r.labels);
  EXPECT_GT(r.labels, 0u);
}

TEST_F(ContourFileTest, TheGlobeKeepsEverySegmentStyleAndLabelReadWholeOrInParts) {
  auto globe = StartGlobe();
  c.LabelContours = true;
  c.LowColor = 0x0000FF;
  c.HighColor = 0xFF0000;
  c.LevelMode = contour::kLevelsByInterval;
  c.LevelInterval = 25;
  contour::FillGrid(c, {11.3, 47.2, 11.5, 47.4}, 200, 200, [](double lon, double lat) {
    return earth::AnalyticTerrain::Cone(11.4, 47.3, 2000, 10000, 0).HeightAt(lon, lat);
  });
  const auto r = c.MakeContourFile(path);
  ASSERT_TRUE(r.opened);
  const auto opened = std::static_pointer_cast<earth::Feature>(globe->GetTemporaryPlaces()->GetChildren()->Item(1));
  const auto inParts = earth::LoadKmlFile(path, {3, 4096});
  ASSERT_TRUE(inParts.root) << inParts.error;
  EXPECT_GT(inParts.root->document()->pieces.size(), 1u);
  for (const auto& doc : {opened, inParts.root}) {
    std::uint64_t segments = 0, labels = 0, levels = 0;
    std::set<std::uint32_t> colours;
    for (const auto& level : doc->children()) {
      if (level->get_Name() == "P") {
        for (const auto& label : level->children()) {
          ASSERT_EQ(label->geometryCount(), 1u);
          labels += label->geometry(0).kind() == earth::GeometryKind::Point;
        }
        continue;
      }
      ++levels;
      colours.insert(level->ResolveStyle().lineColor);
      for (std::size_t k = 0; k < level->geometryCount(); ++k) {
        const earth::GeometryView g = level->geometry(k);
        ASSERT_EQ(g.kind(), earth::GeometryKind::LineString);
        ASSERT_EQ(g.coords().size(), 2u);
        segments += 1;
      }
    }
    EXPECT_EQ(segments, r.segments);
    EXPECT_EQ(labels, r.labels);
    EXPECT_GE(levels, 50u);
    EXPECT_EQ(colours.size(), levels) << "a colour of its own for each level";
  }
}

TEST_F(ContourFileTest, LabelsStayOutWhenSwitchedOffAndTheFolderStaysWhenThereAreNoLevels) {
  auto globe = StartGlobe();
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  std::string doc = ReadFileBytes(path);
  EXPECT_EQ(doc.find("<Folder>"), std::string::npos);
  EXPECT_EQ(doc.find("#Contours</styleUrl><Point>"), std::string::npos);

  c.LabelContours = true;
  c.NumLevels = 0;
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  doc = ReadFileBytes(path);
  EXPECT_NE(doc.find("       </Style>\r\n<Folder><name>P</name></Folder> </Document></kml>\r\n"),
            std::string::npos);
}

TEST_F(ContourFileTest, ARunReplacesTheFileAndLeavesNothingElseBehind) {
  auto globe = StartGlobe();
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  const std::string first = ReadFileBytes(path);
  c.LevelMode = contour::kLevelsFromList;
  c.LevelList = "1000";
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  const std::string second = ReadFileBytes(path);
  EXPECT_NE(first, second);
  EXPECT_EQ(second.substr(second.size() - 20), " </Document></kml>\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_EQ(globe->GetTemporaryPlaces()->GetChildren()->get_Count(), 1)
      << "opening the same path again replaces the place";
}

TEST_F(ContourFileTest, AFileThatCannotBeWrittenIsReportedAndNeverOpened) {
  auto globe = StartGlobe();
  const auto r = c.MakeContourFile((dir / "missing" / "contour.kml").string());
  EXPECT_FALSE(r.written);
  EXPECT_FALSE(r.opened);
  ASSERT_EQ(desktop.MessageBoxLog().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxLog()[0].caption, "Altimar");
  EXPECT_NE(desktop.MessageBoxLog()[0].text.find("could not be written"), std::string::npos);
  EXPECT_TRUE(globe->openRequests().empty());

  // The target is a folder: the write fails and the folder is left as it was.
  fs::create_directories(dir / "busy" / "contour.kml");
  EXPECT_FALSE(c.MakeContourFile((dir / "busy" / "contour.kml").string()).written);
  EXPECT_TRUE(fs::is_directory(dir / "busy" / "contour.kml"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "busy"), fs::directory_iterator()), 1);
  EXPECT_TRUE(globe->openRequests().empty());
}

TEST_F(ContourFileTest, RefusedLevelsKeepTheEarlierFile) {
  auto globe = StartGlobe();
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  const std::string before = ReadFileBytes(path);
  c.LevelMode = contour::kLevelsByInterval;
  c.LevelInterval = 1;  // 2000 m of relief: more than 1001 levels
  EXPECT_FALSE(c.MakeContourFile(path).written);
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(globe->openRequests().size(), 1u);
}

TEST_F(ContourFileTest, OpeningPutsTheCameraAndTheAutoPilotSpeedBack) {
  auto globe = StartGlobe();
  auto cam = globe->GetCamera(0);
  cam->put_Tilt(35);
  cam->put_Range(12000);
  globe->SetCamera(*cam, 5.0);
  globe->put_AutoPilotSpeed(0.3);
  ASSERT_TRUE(c.MakeContourFile(path).opened);
  EXPECT_EQ(globe->camera().tilt, 35);
  EXPECT_EQ(globe->camera().range, 12000);
  EXPECT_EQ(globe->get_AutoPilotSpeed(), 0.3);
  EXPECT_EQ(desktop.clock().NowMs(), 10u) << "the 10 ms wait goes through the clock";
}

TEST_F(ContourFileTest, WithoutARunningGlobeTheRunEndsWithTheGlobesError) {
  EXPECT_THROW(c.MakeContourFile(path), automation::AutomationError);
  EXPECT_TRUE(fs::exists(path)) << "the file was written before the globe was asked";
}

TEST(TextFile, WritesTheTextAndALineEnd) {
  const fs::path p = fs::temp_directory_path() / "altimar_textfile_test.txt";
  EXPECT_EQ(contour::WriteTextFile(p.string(), "abc"), "");
  EXPECT_EQ(ReadFileBytes(p), "abc\r\n");
  fs::remove(p);
  EXPECT_NE(contour::WriteTextFile("/nonexistent-altimar/x.txt", "abc"), "");
}

}  // namespace
}  // namespace altimar::testing
