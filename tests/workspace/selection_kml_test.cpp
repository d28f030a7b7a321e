#include "workspace/selection_kml.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using workspace::FeatureInput;
using workspace::FeatureKmlText;
using workspace::FeatureStyle;

// The documents' lines end with CR LF; goldens are typed with "\n" alone.
std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

FeatureStyle DefaultStyle(bool showBBox) {
  ui::StyleSettings settings;
  settings.SetStyleDefaults();  // highlight cyan, box blue, width 0.1
  return FeatureStyle::From(settings, showBBox);
}

constexpr const char* kBox = "10.5,46.25,0 11.75,47.5,0";

constexpr const char* kFeatureHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://earth.google.com/kml/2.1">
<Document>
  <name>Quarlin - Selection of Features</name>
  <open>0</open>
  <flyToView>0</flyToView>
  <description>Digitalizing from Arc to GE</description>
    <Style id="FEATURES">
      <IconStyle>
        <color>ffffff00</color>
        <scale>1.5</scale>
        <Icon>
          <href>root://icons/palette-4.png</href>
          <x>32</x><y>128</y><w>32</w><h>32</h>
        </Icon>
      </IconStyle>
      <LabelStyle>
        <color>00FFFFFF</color>
      </LabelStyle>
      <LineStyle>
         <color>ffFFFF00</color>
         <width>4</width>
      </LineStyle>
    </Style>
)";

constexpr const char* kTail = R"(  </Placemark>
  </Folder>
</Document>
</kml>
)";

TEST(FeatureDocument, LineWithItsBoxIsTheWholeDocument) {
  const std::string golden = kFeatureHead + std::string(R"(    <Style id="BBox">
      <LineStyle>
        <color>ffFF0000</color>
        <width>0.1</width>
      </LineStyle>
    </Style>
  <Folder>
  <Placemark>
    <styleUrl>#BBox</styleUrl>
    <LineString>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>10.5,46.25,0 11.75,46.25,0 11.75,46.25,0 11.75,47.5,0 11.75,47.5,0 10.5,47.5,0 10.5,47.5,0 10.5,46.25,0 </coordinates>
    </LineString>
  </Placemark>
  <Placemark>
    <styleUrl>#FEATURES</styleUrl>
    <LineString>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>10.6,46.3,0 11.7,47.4,0
    </coordinates>
    </LineString>
)") + kTail;
  const std::string text =
      FeatureKmlText({"10.6,46.3,0 11.7,47.4,0", "PolyLine", "ffffff00", kBox}, DefaultStyle(true));
  EXPECT_EQ(text, Crlf(golden));
}

TEST(FeatureDocument, PointAndPolygonWithoutTheBox) {
  const std::string point = std::string(kFeatureHead) + R"(  <Folder>
  <Placemark>
    <styleUrl>#FEATURES</styleUrl>
    <Point>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>11.4,47.3,0
    </coordinates>
    </Point>
)" + kTail;
  EXPECT_EQ(FeatureKmlText({"11.4,47.3,0", "Point", "ffffff00", kBox}, DefaultStyle(false)),
            Crlf(point))
      << "without Display BBox the box text draws nothing";

  const std::string ring = "10,46,0 10,47,0 11,47,0 11,46,0 10,46,0";
  const std::string polygon = std::string(kFeatureHead) + R"(  <Folder>
  <Placemark>
    <styleUrl>#FEATURES</styleUrl>
    <Polygon>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <outerBoundaryIs>
    <LinearRing>
    <coordinates>)" + ring + R"(
    </coordinates>
    </LinearRing>
    </outerBoundaryIs>
    </Polygon>
)" + kTail;
  EXPECT_EQ(FeatureKmlText({ring, "Polygon", "ffffff00", ""}, DefaultStyle(false)), Crlf(polygon));
}

TEST(FeatureDocument, ZAndMTypesDrawLikeTheirPlainTypesAndOthersDrawOnlyTheStyle) {
  const FeatureStyle style = DefaultStyle(false);
  const std::string coords = "10,46,5 10,47,5 11,47,5 10,46,5";
  for (const std::string base : {"Point", "PolyLine", "Polygon"}) {
    const std::string plain = FeatureKmlText({coords, base, "ffffff00", ""}, style);
    EXPECT_EQ(FeatureKmlText({coords, base + "Z", "ffffff00", ""}, style), plain);
    EXPECT_EQ(FeatureKmlText({coords, base + "M", "ffffff00", ""}, style), plain);
  }
  const std::string styleOnly = std::string(kFeatureHead) + R"(  <Folder>
  <Placemark>
    <styleUrl>#FEATURES</styleUrl>
)" + kTail;
  for (const char* other : {"MultiPoint", "Null", "", "polygon", "PolygonZM", "MultiPatch"})
    EXPECT_EQ(FeatureKmlText({coords, other, "ffffff00", ""}, style), Crlf(styleOnly)) << other;
}

TEST(FeatureDocument, PointWithoutCoordinatesIsInvisibleAtTheFocus) {
  EXPECT_TRUE(workspace::DrawnAtFocus({"", "PointZ"}));
  EXPECT_FALSE(workspace::DrawnAtFocus({"1,2,0", "Point"}));
  EXPECT_FALSE(workspace::DrawnAtFocus({"", "Polygon"}));
  const std::string text =
      FeatureKmlText({"", "Point", "ffffff00", ""}, DefaultStyle(false), {-0.00001, 47.125});
  EXPECT_NE(text.find(Crlf(R"(    <styleUrl>#FEATURES</styleUrl>
    <visibility>0</visibility>
    <Point>
)")),
            std::string::npos);
  EXPECT_NE(text.find("<coordinates>-0.00001,47.125\r\n"), std::string::npos)
      << "decimal numbers with '.', never an exponent";
}

TEST(FeatureDocument, TheBoxNeedsTwoTuplesAndKeepsItsTexts) {
  const FeatureStyle style = DefaultStyle(true);
  for (const char* shortBox : {"", "10,46,0", "10,46,0 11", "  10,46,0  "}) {
    const std::string text = FeatureKmlText({"1,2,0", "Point", "ffffff00", shortBox}, style);
    EXPECT_NE(text.find(R"(<Style id="BBox">)"), std::string::npos) << shortBox;
    EXPECT_EQ(text.find("#BBox"), std::string::npos) << shortBox;
  }
  const std::string text =
      FeatureKmlText({"1,2,0", "Point", "ffffff00", " 10.50,-3,9  12,4e1,0 99,99,0"}, style);
  EXPECT_NE(text.find("<coordinates>10.50,-3,0 12,-3,0 12,-3,0 12,4e1,0 12,4e1,0 10.50,4e1,0 "
                      "10.50,4e1,0 10.50,-3,0 </coordinates>\r\n"),
            std::string::npos);
}

TEST(FeatureDocument, BoxWidthIsTheShortestDecimalOfTheStyleWidth) {
  FeatureStyle style = DefaultStyle(true);
  for (const auto& [width, text] : {std::pair{0.1f, "0.1"}, {2.5f, "2.5"}, {3.0f, "3"}}) {
    style.styleWidth = width;
    EXPECT_NE(FeatureKmlText({"", "Null", "ffffff00", ""}, style)
                  .find(std::string("<width>") + text + "</width>"),
              std::string::npos)
        << text;
  }
}

TEST(FeatureDocument, DeletedColourColoursIconAndLines) {
  FeatureStyle style = DefaultStyle(false);
  style.lineColor = "ff7f7f7f";
  const std::string text = FeatureKmlText({"1,2,0", "Point", "ff7f7f7f", ""}, style);
  EXPECT_NE(text.find("        <color>ff7f7f7f</color>\r\n        <scale>"), std::string::npos);
  EXPECT_NE(text.find("         <color>ff7f7f7f</color>\r\n         <width>4"), std::string::npos);
  EXPECT_EQ(text.find("ffFFFF00"), std::string::npos) << "no highlight colour left";
}

// Parts as the shapefile library writes them: a line feed between parts;
// outer rings clockwise, holes counter-clockwise.
constexpr const char* kOuter = "0,0,0 0,10,0 10,10,0 10,0,0 0,0,0";
constexpr const char* kHole = "2,2,0 4,2,0 4,4,0 2,4,0 2,2,0";
constexpr const char* kSecondOuter = "20,0,0 20,5,0 25,5,0 25,0,0 20,0,0";

std::shared_ptr<earth::Feature> LoadedPlacemark(earth::Globe& globe, const std::string& kml) {
  globe.LoadKmlData(kml);
  const auto& doc = globe.temporaryPlaces()->children().back();
  return doc->children().front()->children().back();  // Folder, its last placemark
}

TEST(FeatureDocument, EveryPartOfAMultiPartShapeIsDrawn) {
  win::Desktop desktop(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
  const FeatureStyle style = DefaultStyle(false);

  const std::string lines = FeatureKmlText({"0,0,0 1,1,0\n2,2,0 3,3,0 4,4,0", "PolyLine"}, style);
  EXPECT_NE(lines.find(Crlf(R"(    <MultiGeometry>
    <LineString>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>0,0,0 1,1,0
    </coordinates>
    </LineString>
    <LineString>
)")),
            std::string::npos);
  auto placemark = LoadedPlacemark(*globe, lines);
  ASSERT_EQ(placemark->geometryCount(), 2u);
  EXPECT_EQ(placemark->geometry(1).coords().size(), 3u);

  const std::string holed = FeatureKmlText({std::string(kOuter) + "\n" + kHole, "PolygonZ"}, style);
  EXPECT_EQ(holed.find("MultiGeometry"), std::string::npos) << "one polygon with its hole";
  EXPECT_NE(holed.find(Crlf(std::string("    </outerBoundaryIs>\n    <innerBoundaryIs>\n"
                                        "    <LinearRing>\n    <coordinates>") +
                            kHole + "\n")),
            std::string::npos);
  placemark = LoadedPlacemark(*globe, holed);
  ASSERT_EQ(placemark->geometryCount(), 1u);
  EXPECT_EQ(placemark->geometry(0).holeCount(), 1u);

  placemark = LoadedPlacemark(
      *globe,
      FeatureKmlText({std::string(kOuter) + "\n" + kSecondOuter + "\n" + kHole, "Polygon"}, style));
  ASSERT_EQ(placemark->geometryCount(), 2u) << "two outer rings, two polygons";
  EXPECT_EQ(placemark->geometry(0).holeCount(), 1u) << "the hole lies in the first";
  EXPECT_EQ(placemark->geometry(1).holeCount(), 0u);
  EXPECT_EQ(placemark->geometry(1).coords()[2].lon, 25);

  const std::string single = FeatureKmlText({std::string(kOuter) + "\n", "Polygon"}, style);
  EXPECT_NE(single.find(std::string("<coordinates>") + kOuter + "\n\r\n"), std::string::npos)
      << "a text of one part is written as given";
}

TEST(ComparisonDocument, LineOfTheFirstThenTheAreasGiven) {
  const std::string t1 = "10,46,0 11,46,0 11,47,0 10,47,0 10,46,0";
  const std::string t3 = "10.2,46.2,0 10.8,46.2,0 10.8,46.8,0 10.2,46.2,0";
  std::string golden = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://earth.google.com/kml/2.1">
<Document>
  <name>Comparision of Rect</name>
  <open>0</open>
  <description>Comparision: Rectangle</description>
)";
  for (const auto& [id, line, fill, filled] : {std::tuple{"1", "ff00ffff", "8f00ffff", "0"},
                                               {"2", "ffff00ff", "8fff00ff", "0"},
                                               {"3", "ffffff00", "8fffff00", "1"}})
    golden += std::string("    <Style id=\"BBox") + id + "\">\n      <LineStyle>\n        <color>" +
              line + "</color>\n        <width>3</width>\n      </LineStyle>\n      <PolyStyle>\n" +
              "        <color>" + fill + "</color>\n        <colorMode>normal</colorMode>\n" +
              "        <fill>" + filled + "</fill>\n        <outline>1</outline>\n" +
              "      </PolyStyle>\n    </Style>\n";
  golden += R"(  <Folder>
  <Placemark>
    <styleUrl>#BBox1</styleUrl>
    <LineString>
    <extrude>1</extrude>
    <tessellate>1</tessellate>
    <altitudeMode>clampToGround</altitudeMode>
    <coordinates>)" +
            t1 + R"(</coordinates>
    </LineString>
  </Placemark>
)";
  for (const auto& [id, ring] : {std::pair{"1", t1}, {"3", t3}})
    golden += std::string("  <Placemark>\n    <styleUrl>#BBox") + id +
              "</styleUrl>\n    <Polygon>\n    <extrude>0</extrude>\n" +
              "    <tessellate>1</tessellate>\n    <altitudeMode>clampToGround</altitudeMode>\n" +
              "    <outerBoundaryIs>\n    <LinearRing>\n    <coordinates>" + ring +
              "</coordinates>\n    </LinearRing>\n    </outerBoundaryIs>\n    </Polygon>\n" +
              "  </Placemark>\n";
  golden += "  </Folder>\n</Document>\n</kml>\n";
  EXPECT_EQ(workspace::ComparisonKmlText(t1, "", t3), Crlf(golden));

  const std::string two = workspace::ComparisonKmlText("", t3, "");
  EXPECT_NE(two.find("<coordinates></coordinates>"), std::string::npos)
      << "the line is always there";
  EXPECT_EQ(two.find("#BBox1</styleUrl>\r\n    <Polygon>"), std::string::npos);
  EXPECT_NE(two.find("#BBox2</styleUrl>\r\n    <Polygon>"), std::string::npos);
  EXPECT_EQ(two.find("#BBox3"), std::string::npos);
}

TEST(WritingDocuments, ReplacesWholeOrReportsThePath) {
  const fs::path dir = FreshTestFolder("altimar_selection_write");
  const fs::path path = dir / "doc.kml";
  workspace::WriteDocument(path, "a much longer first document\r\n");
  workspace::WriteDocument(path, "second\r\n");
  EXPECT_EQ(ReadFileBytes(path), "second\r\n");

  const fs::path missing = dir / "no such folder" / "doc.kml";
  try {
    workspace::WriteComparisonKml(missing, "1,2,0", "", "");
    ADD_FAILURE() << "a folder that does not exist cannot take a document";
  } catch (const workspace::DocumentWriteError& e) {
    EXPECT_NE(std::string(e.what()).find(missing.string()), std::string::npos) << e.what();
  }
  fs::create_directory(dir / "folder.kml");
  EXPECT_THROW(workspace::WriteDocument(dir / "folder.kml", "x"), workspace::DocumentWriteError);
  EXPECT_TRUE(fs::is_directory(dir / "folder.kml"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2)
      << "no temporary file is left behind";
  fs::remove_all(dir);
}

class ShowingInTheGlobe : public ::testing::Test {
 protected:
  ShowingInTheGlobe() {
    style.SetStyleDefaults();
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
    desktop.Sleep(earth::Globe::kStartUpMs);
  }
  ~ShowingInTheGlobe() override { fs::remove_all(dir); }
  void Tilt(double tilt) {
    auto camera = globe->GetCamera(0);
    camera->put_Tilt(tilt);
    globe->SetCamera(*camera, 5.0);
  }
  // The placemarks of the document opened from `path`.
  std::vector<std::shared_ptr<earth::Feature>> Placemarks(const fs::path& path) {
    for (const auto& doc : globe->temporaryPlaces()->children())
      if (doc->source() == path.string()) return doc->children().front()->children();
    ADD_FAILURE() << path << " is not open";
    return {};
  }

  win::Desktop desktop{win::Clock::Kind::Virtual};
  fs::path dir = FreshTestFolder("altimar_selection");
  ui::StyleSettings style;
  bool showBox = false;
  int menusAllowed = 0;
  std::shared_ptr<earth::Globe> globe;
  host::ApplicationGE objGE{desktop};
  workspace::SelectionDocuments docs{objGE, dir, style, [this] { return showBox; },
                                     [this] { ++menusAllowed; }};
};

TEST_F(ShowingInTheGlobe, SelectedFeatureTurnsTheViewStraightDown) {
  Tilt(30);
  docs.ShowSelectedKml("11.4,47.3,0 11.5,47.4,0", "PolyLine");
  EXPECT_EQ(globe->get_AutoPilotSpeed(), 0.1);
  EXPECT_EQ(globe->openRequests().back(), (dir / "Quarlin_selected.kml").string());
  const auto placemarks = Placemarks(docs.SelectedPath());
  ASSERT_EQ(placemarks.size(), 1u);
  EXPECT_EQ(placemarks[0]->geometry(0).kind(), earth::GeometryKind::LineString);
  desktop.Sleep(60000);
  EXPECT_EQ(globe->camera().tilt, 0);
}

TEST_F(ShowingInTheGlobe, FlyingToAFeatureDrawsItsBoxAndLeavesTheCamera) {
  Tilt(30);
  showBox = true;
  docs.FlyToSelectedKml("11.4,47.3,0", "PointZ", 2.5, "11.3,47.2,0 11.5,47.4,0");
  EXPECT_EQ(globe->get_AutoPilotSpeed(), 2.5);
  const auto placemarks = Placemarks(docs.SelectedPath());
  ASSERT_EQ(placemarks.size(), 2u);
  EXPECT_EQ(placemarks[0]->styleUrl, "#BBox");
  EXPECT_EQ(placemarks[0]->geometry(0).coords().size(), 8u);
  EXPECT_EQ(placemarks[1]->geometry(0).kind(), earth::GeometryKind::Point);
  EXPECT_FALSE(globe->flying());
  EXPECT_EQ(globe->camera().tilt, 30);
}

TEST_F(ShowingInTheGlobe, DeletedFeatureClearsTheSelectionAndKeepsTheView) {
  docs.ShowSelectedKml("11.4,47.3,0", "Point");
  Tilt(30);
  const earth::CameraState before = globe->camera();
  docs.ShowDeletedKml("11.4,47.3,0 11.5,47.4,0", "PolyLineM");
  const auto& opened = globe->openRequests();
  ASSERT_GE(opened.size(), 2u);
  EXPECT_EQ(opened[opened.size() - 2], docs.SelectedPath().string());
  EXPECT_EQ(opened.back(), docs.DeletedPath().string());

  const auto cleared = Placemarks(docs.SelectedPath());
  ASSERT_EQ(cleared.size(), 1u);
  EXPECT_EQ(cleared[0]->get_Visibility(), 0);
  EXPECT_NEAR(cleared[0]->geometry(0).coords()[0].lon, before.focusLongitude, 1e-6);
  EXPECT_NEAR(cleared[0]->geometry(0).coords()[0].lat, before.focusLatitude, 1e-6);

  const auto deleted = Placemarks(docs.DeletedPath());
  ASSERT_EQ(deleted.size(), 1u);
  EXPECT_EQ(deleted[0]->ResolveStyle().lineColor, 0xff7f7f7fu);
  EXPECT_EQ(deleted[0]->ResolveStyle().iconColor, 0xff7f7f7fu);
  EXPECT_EQ(menusAllowed, 1);
  desktop.Sleep(60000);
  EXPECT_EQ(globe->camera().tilt, 30) << "the view comes back as it was";
}

TEST_F(ShowingInTheGlobe, ComparisonOpensInThePlaceOfTheSelection) {
  docs.ShowSelectedKml("11.4,47.3,0", "Point");
  const std::size_t opened = globe->temporaryPlaces()->children().size();
  Tilt(45);
  docs.ShowComparison("11,47,0 12,47,0", "", "11.2,47.2,0 11.8,47.2,0 11.8,47.8,0 11.2,47.2,0");
  EXPECT_EQ(globe->openRequests().back(), docs.SelectedPath().string());
  EXPECT_EQ(globe->temporaryPlaces()->children().size(), opened);
  EXPECT_EQ(globe->temporaryPlaces()->children().back()->get_Name(), "Comparision of Rect");
  EXPECT_EQ(Placemarks(docs.SelectedPath()).size(), 3u) << "the line, the first and third areas";
  desktop.Sleep(60000);
  EXPECT_EQ(globe->camera().tilt, 0);
}

TEST_F(ShowingInTheGlobe, UnloadBlanksBothDocumentsEvenWithTheGlobeGone) {
  docs.ShowDeletedKml("11.4,47.3,0", "Point");
  docs.ClearDocuments();
  EXPECT_EQ(Placemarks(docs.SelectedPath())[0]->geometryCount(), 0u);
  EXPECT_EQ(Placemarks(docs.DeletedPath())[0]->geometryCount(), 0u);

  docs.ShowDeletedKml("11.4,47.3,0", "Point");
  globe->Quit();
  host::ApplicationGE late(desktop);
  workspace::SelectionDocuments after(late, dir, style, {});
  EXPECT_THROW(after.ShowSelectedKml("11.4,47.3,0", "Point"), automation::AutomationError);
  EXPECT_NO_THROW(after.ClearDocuments());
  EXPECT_EQ(ReadFileBytes(after.DeletedPath()).find("<coordinates>"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(after.SelectedPath()).find("<coordinates>"), std::string::npos);
}

}  // namespace
}  // namespace altimar::testing
