// The globe's KML loading: coordinates read exactly, documents kept flat,
// and big files read in parts giving what one reader gives.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/earth/kml_coordinates.h"
#include "platform/earth/kml_places.h"
#include "platform/earth/place_dump.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using earth::GeometryKind;
using earth::StoredPoint;

std::vector<StoredPoint> Parse(std::string_view text) {
  std::vector<StoredPoint> out;
  earth::ParseCoordinates(text, out);
  return out;
}

TEST(KmlCoordinates, NumbersReadAsTheStandardLibraryReadsThem) {
  // Plain decimals take a fast path; it must give the same doubles.
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-90, 90);
  for (int k = 0; k < 20000; ++k) {
    const double a = lon(rng), b = lat(rng);
    char text[64];
    const int digits = 1 + k % 17;
    const int n = std::snprintf(text, sizeof text, "%.*g,%.*f", digits, a, k % 16, b);
    const auto got = Parse(std::string_view(text, static_cast<std::size_t>(n)));
    ASSERT_EQ(got.size(), 1u) << text;
    double ea = 0, eb = 0;
    const std::string_view s(text);
    std::from_chars(s.data(), s.data() + s.find(','), ea);
    std::from_chars(s.data() + s.find(',') + 1, s.data() + s.size(), eb);
    ASSERT_EQ(got[0].lon, StoredPoint::From(ea, 0, 0).lon) << text;
    ASSERT_EQ(got[0].lat, StoredPoint::From(0, eb, 0).lat) << text;
  }
}

TEST(KmlCoordinates, TuplesThatAreNotTwoOrThreeNumbersInRangeAreSkipped) {
  const auto p = Parse(
      " 11.5,47.25,1523\n\t-0.5,+1e1 1,2,3,4 .5,5. 1,2, abc,1 400,0 0,91 1,2,inf 1,2,nan 3,4");
  ASSERT_EQ(p.size(), 5u);
  EXPECT_EQ(p[0].lon, 115000000);
  EXPECT_EQ(p[0].lat, 472500000);
  EXPECT_FLOAT_EQ(p[0].alt, 1523);
  EXPECT_EQ(p[1].lon, -5000000);
  EXPECT_EQ(p[1].lat, 100000000);
  EXPECT_FLOAT_EQ(p[1].alt, 0);
  EXPECT_FLOAT_EQ(p[2].alt, 3) << "what follows the third number is ignored";
  EXPECT_EQ(p[3].lon, 5000000);
  EXPECT_EQ(p[3].lat, 50000000);
  EXPECT_EQ(p[4].lon, 30000000);
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("1").empty());
  EXPECT_TRUE(Parse("-,1 .,1 1e400,1").empty());
}

TEST(KmlCoordinates, PointsKeepAbout1cmAndLongitudesWrapIntoTheGlobe) {
  const auto p = Parse("190,0 -190,0 179.99999999,-89.99999999 11.35604982086131,47.3167293522470");
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0].lon, -1700000000);
  EXPECT_EQ(p[1].lon, 1700000000);
  EXPECT_EQ(p[2].lon, 1800000000);
  EXPECT_EQ(p[2].lat, -900000000);
  EXPECT_NEAR(p[3].ToGeo().lon, 11.35604982086131, 0.6e-7);
  EXPECT_NEAR(p[3].ToGeo().lat, 47.3167293522470, 0.6e-7);
}

TEST(PlaceGeometry, ATwoPointLineOnTheGroundCostsUnder26Bytes) {
  earth::PlaceGeometry g;
  const std::vector<StoredPoint> line{StoredPoint::From(1, 2, 3), StoredPoint::From(4, 5, 6)};
  for (int k = 0; k < 100000; ++k) ASSERT_GE(g.Add(GeometryKind::LineString, line, {2}), 0);
  EXPECT_LT(g.bytes() / 100000.0, 26.0);
  const earth::GeometryView v = g[99999];
  EXPECT_EQ(v.kind(), GeometryKind::LineString);
  EXPECT_EQ(v.holeCount(), 0u);
  ASSERT_EQ(v.coords().size(), 2u);
  EXPECT_NEAR(v.coords()[1].lat, 5, 1e-9);
}

TEST(PlaceGeometry, AltitudesAreKeptForLiftedGeometryOnly) {
  const auto r = earth::LoadKmlText(
      "<kml><Document>"
      "<Placemark><LineString><coordinates>1,2,300 3,4,400</coordinates></LineString></Placemark>"
      "<Placemark><Point><altitudeMode>absolute</altitudeMode><coordinates>5,6,700</coordinates></Point></Placemark>"
      "<Placemark><LineString><coordinates>7,8,900</coordinates>"
      "<gx:altitudeMode>relativeToSeaFloor</gx:altitudeMode></LineString></Placemark>"
      "<Placemark><Point><altitudeMode>clampToGround</altitudeMode><coordinates>9,9,99</coordinates></Point></Placemark>"
      "</Document></kml>");
  ASSERT_TRUE(r.root) << r.error;
  const auto& p = r.root->children();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_EQ(p[0]->geometry(0).coords()[1].alt, 0) << "on the ground: its altitudes do not count";
  EXPECT_NEAR(p[0]->geometry(0).coords()[1].lat, 4, 1e-9);
  EXPECT_EQ(p[1]->geometry(0).coords()[0].alt, 700);
  EXPECT_EQ(p[2]->geometry(0).coords()[0].alt, 900) << "the mode may follow the coordinates";
  EXPECT_EQ(p[3]->geometry(0).coords()[0].alt, 0);

  const auto first = earth::LoadKmlText(
      "<kml><Placemark><Point><altitudeMode>absolute</altitudeMode><coordinates>5,6,700</coordinates>"
      "</Point></Placemark></kml>");
  ASSERT_TRUE(first.root) << first.error;
  EXPECT_EQ(first.root->geometry(0).coords()[0].alt, 700) << "the document's first geometry lifted";
}

std::string Describe(const earth::Feature& f) { return earth::DumpPlaces(f); }

class KmlPartsTest : public ::testing::Test {
 protected:
  KmlPartsTest() {
    dir = FreshTestFolder("altimar_kml");
  }
  ~KmlPartsTest() override { fs::remove_all(dir); }

  std::string Write(const std::string& text) {
    const std::string path = (dir / "doc.kml").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Loaded by one reader, and by four from parts of about 2 KB.
  static earth::KmlLoadResult Whole(const std::string& path) {
    return earth::LoadKmlFile(path, {1, 0});
  }
  static earth::KmlLoadResult InParts(const std::string& path) {
    return earth::LoadKmlFile(path, {4, 2048});
  }
  static std::size_t Pieces(const earth::KmlLoadResult& r) {
    return r.root && r.root->document() ? r.root->document()->pieces.size() : 0;
  }

  fs::path dir;
};

// Placemarks of each kind, with a style defined late and the document's
// name given after its placemarks.
std::string Document(int placemarks, const std::string& between = "") {
  std::string s = "<?xml version='1.0' encoding='UTF-8'?><kml xmlns='http://www.opengis.net/kml/2.2'>\n<Document>"
                  "<Style id='a'><LineStyle><color>ff0000ff</color><width>2</width></LineStyle></Style>";
  for (int k = 0; k < placemarks; ++k) {
    s += "<Placemark><name>p" + std::to_string(k) + "</name><styleUrl>#" + (k % 2 ? "a" : "b") + "</styleUrl>";
    if (k % 3 == 0)
      s += "<MultiGeometry><LineString><coordinates>" + std::to_string(k % 90) + ".25,1 2,3,4</coordinates></LineString>"
           "<LineString><coordinates>5,6 7,8</coordinates></LineString></MultiGeometry>";
    else if (k % 3 == 1)
      s += "<Polygon><outerBoundaryIs><LinearRing><coordinates>0,0 1,0 1,1 0,0</coordinates></LinearRing></outerBoundaryIs>"
           "<innerBoundaryIs><LinearRing><coordinates>0.2,0.2 0.4,0.2 0.2,0.4</coordinates></LinearRing></innerBoundaryIs></Polygon>";
    else
      s += "<Point><coordinates>-" + std::to_string(k % 180) + ".5,-12.125,7</coordinates></Point>";
    s += "</Placemark>\n";
    if (k == placemarks / 2) s += between;
  }
  s += "<Style id='b'><PolyStyle><color>8000ff00</color></PolyStyle></Style>"
       "<name>Late name</name><visibility>0</visibility></Document></kml>\n";
  return s;
}

TEST_F(KmlPartsTest, PartsGiveWhatOneReaderGives) {
  const std::string path = Write(Document(400));
  const auto whole = Whole(path), parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Pieces(whole), 1u);
  EXPECT_EQ(Pieces(parts), 4u) << "read in four parts";
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
  EXPECT_EQ(parts.root->get_Name(), "Late name");
  EXPECT_EQ(parts.root->get_Visibility(), 0);
  EXPECT_EQ(parts.root->children().size(), 400u);
  EXPECT_EQ(parts.root->children()[1]->ResolveStyle().lineColor, 0xff0000ffu);
  EXPECT_EQ(parts.root->children()[398]->ResolveStyle().polyColor, 0x8000ff00u)
      << "a style defined after the placemarks, read by the last part";
}

TEST_F(KmlPartsTest, PartsSplitInsideFoldersJoinToTheRealFolders) {
  std::string doc = Document(300);
  doc.insert(doc.find("<Placemark>"), "<Folder><name>outer</name><Folder><name>inner</name>");
  doc.insert(doc.find("<Style id='b'>"), "</Folder><name>outer again</name></Folder>");
  const std::string path = Write(doc);
  const auto whole = Whole(path), parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Pieces(parts), 4u);
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
  ASSERT_EQ(parts.root->children().size(), 1u) << "stand-ins are not places";
  EXPECT_EQ(parts.root->children()[0]->get_Name(), "outer again");
  EXPECT_EQ(parts.root->children()[0]->children()[0]->children().size(), 300u);
}

TEST_F(KmlPartsTest, SplitPointsAtEmptyPlacemarksJoinAsWell) {
  std::string doc = Document(300);
  const std::string empty = "<Placemark/>";
  for (auto at = doc.find("<Placemark><name>p1"); at != std::string::npos;
       at = doc.find("<Placemark><name>p1", at + empty.size() + 1))
    doc.insert(at, empty);
  const std::string path = Write(doc);
  const auto whole = Whole(path), parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_GT(Pieces(parts), 1u);
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
}

TEST_F(KmlPartsTest, SplitPointsThatAreNotStartTagsAtTheSameDepthFallBackToOneReader) {
  // Text that looks like a placemark's start tag, and placemarks one level deeper.
  std::string decoys;
  for (int k = 0; k < 60; ++k)
    decoys += "<!-- <Placemark> --><![CDATA[<Placemark >]]><Folder><name>f</name><Placemark><name>deep</name>"
              "<Point><coordinates>1,2</coordinates></Point></Placemark></Folder>";
  std::string path = Write(Document(40, "<Folder>" + decoys + "</Folder>"));
  auto whole = Whole(path), parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));

  // The first placemark inside a style: the style must not be cut in two.
  std::string inStyle = Document(300);
  inStyle.replace(inStyle.find("<Style id='a'>"), 14, "<Style id='a'><Placemark/>");
  inStyle.replace(inStyle.find("<Style id='b'>"), 14, "</Style><Style id='b'>");
  inStyle.erase(inStyle.find("</LineStyle></Style>") + 12, 8);
  path = Write(inStyle);
  whole = Whole(path);
  parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
  EXPECT_EQ(parts.root->children()[2]->ResolveStyle().lineColor, 0xff0000ffu);
}

TEST_F(KmlPartsTest, ADeclaredEncodingOrADoctypeIsReadByOneReader) {
  std::string latin1 = Document(300);
  latin1.replace(latin1.find("UTF-8"), 5, "ISO-8859-1");
  latin1.insert(latin1.rfind("</Document>"), "<Placemark><name>M\xfcnchen</name></Placemark>");
  std::string path = Write(latin1);
  auto whole = Whole(path), parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
  EXPECT_EQ(parts.root->children().back()->get_Name(), "M\xc3\xbcnchen");

  std::string doctype = Document(300);
  doctype.insert(doctype.find("<kml"), "<!DOCTYPE kml [<!ENTITY town 'Graz'>]>");
  doctype.insert(doctype.rfind("</Document>"), "<Placemark><name>&town;</name></Placemark>");
  path = Write(doctype);
  whole = Whole(path);
  parts = InParts(path);
  ASSERT_TRUE(whole.root && parts.root) << whole.error << parts.error;
  EXPECT_EQ(Describe(*parts.root), Describe(*whole.root));
  EXPECT_EQ(parts.root->children().back()->get_Name(), "Graz");
}

TEST_F(KmlPartsTest, MalformedDocumentsFailWithTheReadersMessageLineAndColumn) {
  struct Case {
    std::string text;
    std::string message;
  };
  std::string late = Document(400);
  late.insert(late.rfind("<Placemark>"), "<Placemark></Folder>");
  std::string unclosed = Document(400);
  unclosed.erase(unclosed.rfind("</Document>"));
  std::string entity = Document(400);
  entity.insert(entity.rfind("<Placemark>"), "<Placemark><name>&nope;</name></Placemark>");
  std::string roots;
  for (int k = 0; k < 400; ++k) roots += "<Placemark><name>p</name></Placemark>\n";
  const Case cases[] = {
      {roots, "junk after document element at line 2, column 1"},
      {"<kml>\n<Document><Placemark></Document>", "mismatched tag at line 2, column 24"},
      {late, "mismatched tag at line 401, column 14"},
      {unclosed, "no element found at line"},
      {entity, "undefined entity at line 401, column 18"},
  };
  for (const Case& c : cases) {
    const std::string path = Write(c.text);
    const auto whole = Whole(path), parts = InParts(path);
    EXPECT_FALSE(whole.root);
    EXPECT_FALSE(parts.root);
    EXPECT_NE(whole.error.find(c.message), std::string::npos) << whole.error;
    EXPECT_EQ(parts.error, whole.error);
  }
}

}  // namespace
}  // namespace altimar::testing
