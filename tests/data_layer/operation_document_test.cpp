#include "data/operation_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "attribute_fixture.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using data::OperationRequest;
using data::ShiftCoordText;

// The documents' lines end with CR LF; goldens are typed with "\n" alone.
std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(ShiftCoordText, MovesEveryTupleAndKeepsThePartsApart) {
  EXPECT_EQ(ShiftCoordText("1,2,3 4.5,-6,0", {0.5, -1, 10}), "1.5,1,13 5,-7,10");
  EXPECT_EQ(ShiftCoordText("1,2,0 3,4,0\n5,6,0 7,8,0", {1, 1, 0}), "2,3,0 4,5,0\n6,7,0 8,9,0")
      << "a line feed between parts stays";
  EXPECT_EQ(ShiftCoordText("1,2,0\r\n3,4,0\r\n", {1, 1, 0}), "2,3,0 4,5,0")
      << "CR LF lines become one list of tuples";
  EXPECT_EQ(ShiftCoordText(" \t1,2,0\t\t3,4,0  ", {1, 1, 0}), "2,3,0 4,5,0");
  EXPECT_EQ(ShiftCoordText("", {1, 1, 1}), "");
}

TEST(ShiftCoordText, OffsetsGoToTheFirstThreeFieldsOfEachTuple) {
  EXPECT_EQ(ShiftCoordText("1,2,3,4,x 1,2", {1, 2, 3}), "2,4,6,4,x 2,4")
      << "fields past the third are copied; a tuple of two gets two offsets";
}

TEST(ShiftCoordText, MovedNumbersAreShortestDecimalsWithAPoint) {
  EXPECT_EQ(ShiftCoordText("0.1,0,-0 0,0.25,1e2", {0.2, 1e-7, 0}),
            "0.30000000000000004,0.0000001,0 0.2,0.2500001,100");
}

TEST(ShiftCoordText, ATupleThatIsNotNumbersIsCopiedUnchanged) {
  EXPECT_EQ(ShiftCoordText("1,2,0 a,2,0 3,4,0", {1, 0, 0}), "2,2,0 a,2,0 4,4,0");
  for (const char* bad :
       {"5,,0", "7", "1,2z,0", "nan,1,0", "1,inf,0", "1e400,0,0", "0x10,1,0", "+-1,2,0", "1 ,2"})
    EXPECT_EQ(ShiftCoordText(std::string("9,9,9 ") + bad, {1, 1, 1}),
              std::string("10,10,10 ") + bad)
        << bad;
  EXPECT_EQ(ShiftCoordText("+1,+2,0,x", {1, 1, 1}), "2,3,1,x") << "a leading + is a number";
  EXPECT_EQ(ShiftCoordText("1.7e308,0,0", {1.7e308, 0, 0}), "1.7e308,0,0")
      << "a move past the largest number leaves the tuple";
}

TEST(ShiftCoordText, TakesTextsOfAnyLength) {
  std::string text, expected;
  for (int i = 0; i < 6000; ++i) {  // 18,000 values
    if (i > 0) text += (i % 1000 == 0) ? "\n" : " ";
    if (i > 0) expected += (i % 1000 == 0) ? "\n" : " ";
    text += std::to_string(i) + "," + std::to_string(-i) + ",7";
    expected += std::to_string(i + 2) + "," + std::to_string(-i - 1) + ",7";
  }
  EXPECT_EQ(ShiftCoordText(text, {2, -1, 0}), expected);
}

class OperationDocumentTest : public AttributeFixture {
 protected:
  void SetUp() override {
    AttributeFixture::SetUp();
    style.SetStyleDefaults();  // box blue, width 0.1
    rdb->CreateDbfDatabase(Path("bexo.mdb"));
    rdb->OpenAttributeDb(Path("bexo.mdb"));
    doc = std::make_unique<data::OperationDocument>(objGE, *rdb, shapes, dir, style,
                                                    [this] { return showBox; });
  }
  void TearDown() override {
    doc.reset();
    AttributeFixture::TearDown();
  }
  // Opens a shapefile of tests/data/shp and gives its type name.
  std::string Open(const std::string& name) {
    EXPECT_TRUE(shapes.SW_OpenShpFile(std::string(ALTIMAR_TESTDATA) + "/shp/" + name));
    std::string type, fields;
    int count = 0;
    shapes.SW_GetMetaInfoFromShpDBF(type, count, 0, fields);
    return type;
  }
  void Log(const std::vector<int>& fids) {
    for (int fid : fids) rdb->LogOperation(0, fid, 1);
  }
  void StartGlobe() {
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
    desktop.Sleep(earth::Globe::kStartUpMs);
  }
  // The placemarks of the document the globe opened from `path`.
  std::vector<std::shared_ptr<earth::Feature>> Placemarks(const fs::path& path) {
    for (const auto& d : globe->temporaryPlaces()->children())
      if (d->source() == path.string()) return d->children().front()->children();
    ADD_FAILURE() << path << " is not open";
    return {};
  }
  std::string Text(int kind, OperationRequest request) {
    return doc->DocumentText(kind, "ffFFFF00", request);
  }

  ui::StyleSettings style;
  bool showBox = false;
  host::ApplicationGE objGE{desktop};
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<data::OperationDocument> doc;
};

constexpr const char* kPointPlacemark = R"(  <Placemark>
    <name>%</name>
    <styleUrl>#FEATURES</styleUrl>
    <Point>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>%
    </coordinates>
    </Point>
  </Placemark>
)";

std::string PointPlacemark(const std::string& fid, const std::string& coords) {
  std::string s = kPointPlacemark;
  s.replace(s.find('%'), 1, fid);
  s.replace(s.find('%'), 1, coords);
  return s;
}

TEST_F(OperationDocumentTest, SelectedPointsAreTheWholeDocument) {
  Open("cases/points.shp");
  Log({4, 99, 1, 2});  // 99 is no feature of the file; 2 is past the selection
  showBox = true;
  const std::string golden = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://earth.google.com/kml/2.1">
<Document>
  <name>Quarlin - Selection of Features</name>
  <open>0</open>
  <flyToView>0</flyToView>
  <description>Digitalizing from Arc to GE</description>
    <Style id="FEATURES">
      <IconStyle>
        <color>ffFFFF00</color>
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
         <width>3</width>
      </LineStyle>
      <PolyStyle>
         <outline>1</outline>
         <fill>1</fill>
         <color>ffFFFF00</color>
         <colorMode>random</colorMode>
         <width>3</width>
      </PolyStyle>
    </Style>
  <Folder>
)" + PointPlacemark("4", "9,10,0") +
                             PointPlacemark("1", "3,4,0") + R"(  </Folder>
  <Folder>
    <Style id="BBox">
      <LineStyle>
        <color>ffFF0000</color>
        <width>0.1</width>
      </LineStyle>
    </Style>
  <Placemark>
    <styleUrl>#BBox</styleUrl>
    <LineString>
    <extrude>1</extrude>
    <tessellate>0</tessellate>
    <altitudeMode>relativeToGround</altitudeMode>
    <coordinates>3,4,0 3,4,0 3,4,0 3,4,0 3,4,0 3,4,0 3,4,0 3,4,0 </coordinates>
    </LineString>
  </Placemark>
  </Folder>
</Document>
</kml>
)";
  // The type name as a fixed-size field gives it, cut at its first NUL.
  const std::string type("Point\0\0\0", 8);
  EXPECT_EQ(Text(1, {3, type, {}, true}), Crlf(golden));
}

TEST_F(OperationDocumentTest, OnlyTheFirstSelCountEntriesInLogOrder) {
  const std::string type = Open("cases/points.shp");
  Log({7, 0, 5, 3, 8, 6});
  auto names = [&](std::int64_t selCount) {
    std::string found;
    const std::string text = Text(1, {selCount, type});
    const std::string tag = "    <name>";
    for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1))
      found +=
          text.substr(at + tag.size(), text.find('<', at + tag.size()) - at - tag.size()) + " ";
    return found;
  };
  EXPECT_EQ(names(2), "7 0 ");
  EXPECT_EQ(names(5), "7 0 5 3 8 ");
  EXPECT_EQ(names(50), "7 0 5 3 8 6 ") << "the walk stops at the end of the log";
  EXPECT_EQ(names(0), "");
  EXPECT_EQ(names(-1), "");

  rdb->CloseAttributeDb();
  const std::string closed = Text(1, {3, type});
  EXPECT_NE(closed.find("  <Folder>\r\n  </Folder>\r\n</Document>"), std::string::npos)
      << "without a database the folder is empty";
}

TEST_F(OperationDocumentTest, TheBoxIsThatOfTheLastFeatureWhenAskedAndTicked) {
  const std::string type = Open("cases/polygons.shp");
  Log({1, 2});  // the holed square 0..4, then two squares within 2..5
  const std::string ring =
      "<coordinates>2,2,0 5,2,0 5,2,0 5,5,0 5,5,0 2,5,0 2,5,0 2,2,0 </coordinates>\r\n";
  showBox = true;
  const std::string boxed = Text(1, {2, type, {}, true});
  EXPECT_NE(boxed.find(ring), std::string::npos) << boxed;
  EXPECT_EQ(boxed.find("0,0,0 4,0,0"), std::string::npos);
  EXPECT_EQ(Text(1, {2, type, {}, false}).find("BBox"), std::string::npos) << "not asked";
  showBox = false;
  EXPECT_EQ(Text(1, {2, type, {}, true}).find("BBox"), std::string::npos) << "not ticked";

  showBox = true;
  rdb->ClearOperationLog();
  Log({40, 41});
  EXPECT_EQ(Text(1, {2, type, {}, true}).find("BBox"), std::string::npos) << "nothing read";

  Open("cases/null.shp");
  rdb->ClearOperationLog();
  Log({0, 1});  // a point, then a null shape
  const std::string nullLast = Text(1, {2, "Point", {}, true});
  EXPECT_EQ(nullLast.find("BBox"), std::string::npos) << "the last feature has no box";
  EXPECT_NE(nullLast.find(Crlf("    <name>1</name>\n    <styleUrl>#FEATURES</styleUrl>\n"
                               "  </Placemark>\n")),
            std::string::npos)
      << "a null shape is named without geometry";
}

TEST_F(OperationDocumentTest, DeletedFeaturesAreMovedByTheShiftIntoTheirOwnDocument) {
  StartGlobe();
  const std::string type = Open("cases/polylines.shp");
  Log({1});
  const OperationRequest request{1, type, {1, -2, 0.5}, false};
  EXPECT_FALSE(doc->SendKmlToGE4Operation(data::kDeletedKind, "ff7f7f7f", 1.0, request));
  const fs::path deleted = dir / "Quarlin_deleted.kml";
  EXPECT_EQ(globe->openRequests().back(), deleted.string());
  EXPECT_EQ(globe->get_AutoPilotSpeed(), 1.0);
  EXPECT_FALSE(fs::exists(dir / "Quarlin_selected.kml"));
  const std::string text = ReadFileBytes(deleted);
  EXPECT_NE(text.find("<coordinates>12,10,0.5 14,12,0.5\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("<coordinates>16,14,0.5 18,16,0.5 20,18,0.5\r\n"), std::string::npos);
  const auto placemarks = Placemarks(deleted);
  ASSERT_EQ(placemarks.size(), 1u);
  ASSERT_EQ(placemarks[0]->geometryCount(), 2u) << "both parts, moved";
  EXPECT_EQ(placemarks[0]->geometry(1).coords()[2].lon, 20);
  EXPECT_EQ(placemarks[0]->ResolveStyle().lineColor, 0xff7f7f7fu);

  EXPECT_TRUE(doc->SendKmlToGE4Operation(1, "ffFFFF00", 2.5, request));
  EXPECT_EQ(globe->openRequests().back(), (dir / "Quarlin_selected.kml").string());
  EXPECT_NE(ReadFileBytes(dir / "Quarlin_selected.kml").find("<coordinates>11,12,0 13,14,0\r\n"),
            std::string::npos)
      << "a selection is not moved";
}

TEST_F(OperationDocumentTest, EveryPartOfAMultiPartPolygonReachesTheGlobe) {
  StartGlobe();
  const std::string type = Open("world.shp");
  Log({0});  // Fiji: three islands of 5, 9 and 8 points
  doc->SendKmlToGE4Operation(1, "ffFFFF00", 1.0, {1, type});
  auto placemarks = Placemarks(dir / "Quarlin_selected.kml");
  ASSERT_EQ(placemarks.size(), 1u);
  EXPECT_EQ(placemarks[0]->get_Name(), "0");
  ASSERT_EQ(placemarks[0]->geometryCount(), 3u);
  std::vector<std::size_t> sizes;
  for (std::size_t k = 0; k < 3; ++k) sizes.push_back(placemarks[0]->geometry(k).coords().size());
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{5, 8, 9}));

  const std::string cases = Open("cases/polygons.shp");
  rdb->ClearOperationLog();
  Log({1, 2});
  doc->SendKmlToGE4Operation(1, "ffFFFF00", 1.0, {2, cases});
  placemarks = Placemarks(dir / "Quarlin_selected.kml");
  ASSERT_EQ(placemarks.size(), 2u);
  ASSERT_EQ(placemarks[0]->geometryCount(), 1u);
  EXPECT_EQ(placemarks[0]->geometry(0).holeCount(), 1u) << "a ring with its hole";
  EXPECT_EQ(placemarks[1]->geometryCount(), 2u) << "two squares, two polygons";
}

TEST_F(OperationDocumentTest, FailuresReachTheCaller) {
  const std::string type = Open("cases/points.shp");
  Log({1});
  EXPECT_THROW(doc->SendKmlToGE4Operation(1, "ffFFFF00", 1.0, {1, type}),
               automation::AutomationError)
      << "no globe runs";
  EXPECT_FALSE(fs::exists(dir / "Quarlin_selected.kml"));

  StartGlobe();
  const fs::path missing = dir / "gone";
  data::OperationDocument lost(objGE, *rdb, shapes, missing, style, {});
  try {
    lost.SendKmlToGE4Operation(1, "ffFFFF00", 1.0, {1, type});
    ADD_FAILURE() << "a folder that does not exist cannot take the document";
  } catch (const data::DocumentWriteError& e) {
    EXPECT_NE(std::string(e.what()).find((missing / "Quarlin_selected.kml").string()),
              std::string::npos)
        << e.what();
  }
  EXPECT_TRUE(globe->openRequests().empty()) << "nothing to open";
}

}  // namespace
}  // namespace altimar::testing
