// KML files into the work shapefile and the Feature table: the two passes,
// declared columns, what each placemark row holds, and hostile documents.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "attribute_fixture.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::string Doc(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
         "xmlns:qelix=\"urn:x\"><Document>\n" +
         body + "\n</Document></kml>\n";
}

class KmlImportTest : public AttributeFixture {
 protected:
  // Record count and type of the work shapefile.
  std::pair<int, std::string> WorkShapes() {
    shapefile::ShapeLibrary reader;
    EXPECT_TRUE(reader.SW_OpenShpFile(rdb->WorkShapePath())) << reader.LastError();
    std::string type, description;
    int count = 0;
    reader.SW_GetMetaInfoFromShpDBF(type, count, 0, description);
    return {count, type};
  }
  bool Import(const std::string& body) {
    WriteText("in.kml", Doc(body));
    const bool ok = rdb->ImportKml(Path("in.kml"));
    shapes.SW_CloseShpFile();  // as the workspace does after an import
    return ok;
  }
};

TEST_F(KmlImportTest, TheSamplesGiveOneFeatureAndOneRowPerCoordinatesElement) {
  const std::string path = std::string(ALTIMAR_TESTDATA) + "/kml/kmlsamples.kml";
  ASSERT_TRUE(rdb->ImportKml(path)) << rdb->LastError();
  shapes.SW_CloseShpFile();
  const auto elements = static_cast<std::int64_t>(Count(ReadFileBytes(path), "<coordinates>"));
  ASSERT_GT(elements, 10);
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), elements);
  const auto [count, type] = WorkShapes();
  EXPECT_EQ(count, elements) << "shape n and row n stay together";
  EXPECT_EQ(type, "Point") << "the type of the first geometry";

  EXPECT_EQ(FeatureText(0, "PName"), "Simple placemark") << "no trailing line break or indentation";
  EXPECT_EQ(FeatureText(0, "FID"), "1") << "rows are numbered from 1";
  EXPECT_EQ(FeatureText(1, "styleUrl"), "#downArrowIcon");
  EXPECT_EQ(FeatureText(2, "extrude"), "1");
  EXPECT_EQ(FeatureText(0, "extrude"), "")
      << "no extrude element: Null, not the previous placemark's";
  EXPECT_EQ(FeatureText(0, "styleUrl"), " ");
  // The schema pass logs each placemark's geometry word.
  EXPECT_NE(log.find("point\r\npoint\r\npoint\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("polyline\r\n"), std::string::npos);
  EXPECT_EQ(pointers.back(), 0) << "the hourglass ends";
}

TEST_F(KmlImportTest, ThePointsOfTheArchKeepTheirNamesAndHeights) {
  ASSERT_TRUE(
      rdb->ImportKml(std::string(ALTIMAR_TESTDATA) + "/kml/hello_world_4_gateway_arch.kml"));
  shapes.SW_CloseShpFile();
  ASSERT_GE(rdb->FeatureRs->RecordCount(), 11);
  std::string word;
  for (int i = 0; i < 11; ++i) word += FeatureText(i, "PName");
  EXPECT_EQ(word, "HelloWorld!");
  EXPECT_EQ(FeatureText(0, "altitudeMode"), "relativeToGround");
  EXPECT_EQ(WorkShapes().first, rdb->FeatureRs->RecordCount());
}

TEST_F(KmlImportTest, EachPlacemarkStartsEmptyAndIsNamedWhereverItsNameStands) {
  ASSERT_TRUE(Import(
      "<Placemark><name>A</name>\n   <description>first</description>\n"
      "<Point><coordinates>1,2,0</coordinates></Point></Placemark>\n"
      "<Placemark><Point><coordinates>3,4,0</coordinates></Point></Placemark>\n"
      "<Placemark><Point><coordinates>5,6,0</coordinates></Point><name>after</name></Placemark>\n"
      "<Placemark><name>" +
      std::string(29, 'x') + "\xC3\xA9\xC3\xA9</name><description>" + std::string(49, 'd') +
      "\xC3\xBC\xC3\xBC" +
      "</description><Polygon><outerBoundaryIs><LinearRing><coordinates>0,0 1,0 1,1 "
      "0,0</coordinates>"
      "</LinearRing></outerBoundaryIs><innerBoundaryIs><LinearRing><coordinates>0.1,0.1 0.2,0.1 "
      "0.2,0.2 "
      "0.1,0.1</coordinates></LinearRing></innerBoundaryIs></Polygon></Placemark>"));
  ASSERT_EQ(rdb->FeatureRs->RecordCount(), 5);
  EXPECT_EQ(FeatureText(0, "PName"), "A");
  EXPECT_EQ(FeatureText(0, "description"), "first");
  EXPECT_EQ(FeatureText(1, "PName"), " ") << "a placemark never inherits the previous one's name";
  EXPECT_EQ(FeatureText(1, "description"), " ") << "empty texts are stored as one blank";
  EXPECT_EQ(FeatureText(2, "PName"), "after") << "the row is written at the placemark's end";
  // The cuts count characters: a two-byte letter across the cut stays whole.
  EXPECT_EQ(FeatureText(3, "PName"), std::string(29, 'x') + "\xC3\xA9") << "30 characters";
  EXPECT_EQ(FeatureText(3, "description"), std::string(49, 'd') + "\xC3\xBC");
  EXPECT_EQ(FeatureText(4, "PName"), std::string(29, 'x') + "\xC3\xA9")
      << "both rings of the polygon carry its texts";
  EXPECT_EQ(WorkShapes().first, 5);
}

TEST_F(KmlImportTest, TextCutIntoPiecesByTheParserIsOneValue) {
  // Character references and CDATA make the parser deliver text in pieces.
  ASSERT_TRUE(
      Import("<Placemark><name>Caf&#233; <![CDATA[au]]> lait</name><LineString><coordinates>"
             "1,1,0&#32;2,2,0 <![CDATA[3,3,0]]> 4,4,0</coordinates></LineString></Placemark>"));
  ASSERT_EQ(rdb->FeatureRs->RecordCount(), 1);
  EXPECT_EQ(FeatureText(0, "PName"), "Caf\xC3\xA9 au lait");
  const auto [count, type] = WorkShapes();
  EXPECT_EQ(count, 1) << "one coordinates element, one feature";
  EXPECT_EQ(type, "PolyLine");
  shapefile::ShapeLibrary reader;
  ASSERT_TRUE(reader.SW_OpenShpFile(rdb->WorkShapePath()));
  std::string coords, attrs, box;
  ASSERT_EQ(reader.SW_ReadFeature(0, 0, coords, attrs, box), 0);
  EXPECT_EQ(Count(coords, ","), 8u) << coords;
}

TEST_F(KmlImportTest, DeclaredColumnsTakeTheirTypedValues) {
  ASSERT_TRUE(Import(
      "<qelix:propertyDef name=\"floors\" type=\"integer\"/>\n"
      "<qelix:propertyDef type=\"string\" name=\"owner\"/>\n"
      "<qelix:propertyDef name=\"floors\" type=\"integer\"/>\n"  // declared twice: one column
      "<qelix:propertyDef name=\"odd\" type=\"wobbly\"/>\n"
      "<qelix:propertyDef name=\"nameless\"/>\n"
      "<Placemark><name>a</name><qelix:property ref=\"x:qelix_floors\">12m</qelix:property>"
      "<qelix:property ref=\"qelix_owner\">Ann</qelix:property><qelix:property "
      "ref=\"floors\">9</qelix:property>"
      "<Point><coordinates>1,2</coordinates></Point></Placemark>\n"
      "<Placemark><name>b</name><qelix:property ref=\"x:qelix_floors\">many</qelix:property>"
      "<qelix:property ref=\"x:qelix_odd\">yes</qelix:property>"
      "<Point><coordinates>3,4</coordinates></Point></Placemark>"));
  EXPECT_EQ(rdb->AttrCount, 10);
  const auto fields = rdb->AttrDb->Fields("Feature");
  ASSERT_EQ(fields.size(), 12u) << "FID, Note, seven fixed and three declared";
  EXPECT_EQ(fields[9].name, "qelix_floors");
  EXPECT_EQ(fields[9].type, dao::DataType::Integer);
  EXPECT_EQ(fields[11].type, dao::DataType::Text) << "an unknown type word is text";
  EXPECT_EQ(FeatureValue(0, "qelix_floors"), dao::Value(std::int64_t{12}))
      << "the number the text starts with";
  EXPECT_EQ(FeatureText(0, "qelix_owner"), "Ann");
  EXPECT_TRUE(dao::IsNull(FeatureValue(1, "qelix_floors"))) << "no number: Null";
  EXPECT_EQ(FeatureText(1, "qelix_owner"), " ") << "not inherited from the first placemark";
  EXPECT_EQ(FeatureText(1, "qelix_odd"), "yes");
  EXPECT_NE(log.find("qelix_floors:integer\r\nqelix_owner:string\r\nqelix_odd:wobbly\r\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(Count(log, "qelix_floors:integer"), 1u) << "logged once, in the schema pass only";
}

TEST_F(KmlImportTest, TooManyDeclaredColumnsAreRefusedAndThePreviousDatabaseStays) {
  ASSERT_TRUE(Import(
      "<Placemark><name>kept</name><Point><coordinates>1,2</coordinates></Point></Placemark>"));
  std::string many;
  for (int i = 0; i < 94; ++i)
    many += "<qelix:propertyDef name=\"c" + std::to_string(i) + "\" type=\"long\"/>";
  EXPECT_FALSE(
      Import(many + "<Placemark><Point><coordinates>1,2</coordinates></Point></Placemark>"));
  EXPECT_NE(LastBox().find("declares more attribute columns than the attribute table holds"),
            std::string::npos)
      << LastBox();
  EXPECT_EQ(desktop.MessageBoxLog().back().caption, "Altimar");
  EXPECT_EQ(rdb->AttrCount, 7) << "the columns of the open source";
  ASSERT_TRUE(rdb->FeatureRs);
  EXPECT_EQ(FeatureText(0, "PName"), "kept");

  std::string most;
  for (int i = 0; i < 93; ++i)
    most += "<qelix:propertyDef name=\"c" + std::to_string(i) + "\" type=\"long\"/>";
  EXPECT_TRUE(Import(most + "<Placemark><qelix:property ref=\"q:qelix_c92\">7</qelix:property>"
                            "<Point><coordinates>1,2</coordinates></Point></Placemark>"));
  EXPECT_EQ(rdb->AttrCount, 100);
  EXPECT_EQ(FeatureText(0, "qelix_c92"), "7");
}

TEST_F(KmlImportTest, HostileDocumentsEndInTheLogNeverInACrash) {
  // Prefixed names are not KML's: nothing is read from them.
  EXPECT_TRUE(
      Import("<kml:Placemark xmlns:kml=\"k\"><kml:name>n</kml:name><kml:Point><kml:coordinates>1,2"
             "</kml:coordinates></kml:Point></kml:Placemark>"));
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 0);
  // An undeclared prefix is read as a name like any other.
  EXPECT_TRUE(Import(
      "<Placemark><undeclared:x>1</undeclared:x><Point><coordinates>1,2</coordinates></Point>"
      "</Placemark>"));
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 1);

  // Entity expansion: the parser refuses the bomb; the log says where.
  log.clear();
  std::string bomb;
  char prev;
  bomb = "<?xml version=\"1.0\"?><!DOCTYPE kml [<!ENTITY a \"aaaaaaaaaa\">";
  prev = 'a';
  for (char e = 'b'; e <= 'k'; prev = e, ++e) {
    std::string refs;
    for (int i = 0; i < 10; ++i) refs += std::string("&") + prev + ";";
    bomb += std::string("<!ENTITY ") + e + " \"" + refs + "\">";
  }
  bomb +=
      "]><kml><Placemark><name>&k;</name><Point><coordinates>1,2</coordinates></Point></"
      "Placemark></kml>";
  WriteText("bomb.kml", bomb);
  EXPECT_FALSE(rdb->ImportKml(Path("bomb.kml")));
  shapes.SW_CloseShpFile();
  EXPECT_NE(log.find("*** error1 *** "), std::string::npos) << log;
  EXPECT_NE(log.find("at line 1"), std::string::npos) << log;

  // A malformed document is refused with the parser's message and place;
  // the database and columns of the import before it stay.
  ASSERT_TRUE(
      Import("<Placemark><name>a</name><Point><coordinates>1,2</coordinates></Point></Placemark>"
             "<Placemark><name>b</name><Point><coordinates>3,4</coordinates></Point></Placemark>"));
  const int columns = rdb->AttrCount;
  log.clear();
  WriteText(
      "bad.kml",
      Doc("<Placemark><name>ok</name><Point><coordinates>1,2</coordinates></Point></Placemark>"
          "<Placemark><name>x</Point>"));
  EXPECT_FALSE(rdb->ImportKml(Path("bad.kml")));
  shapes.SW_CloseShpFile();
  EXPECT_NE(log.find("mismatched tag"), std::string::npos) << log;
  EXPECT_NE(rdb->LastError().find("mismatched tag at line 3, column"), std::string::npos)
      << rdb->LastError();
  EXPECT_FALSE(rdb->ReplacedDatabase());
  ASSERT_TRUE(rdb->FeatureRs);
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 2);
  EXPECT_EQ(rdb->AttrCount, columns);
  EXPECT_FALSE(std::filesystem::exists(rdb->DatabasePath() + ".new"));
  EXPECT_EQ(pointers.back(), 0);

  // Coordinates that are no geometry of the file's type become null shapes.
  EXPECT_TRUE(
      Import("<Placemark><LineString><coordinates>1,1 2,2</coordinates></LineString></Placemark>"
             "<Placemark><LineString><coordinates>1,1</coordinates></LineString></Placemark>"
             "<Placemark><LineString><coordinates>a,b c</coordinates></LineString></Placemark>"));
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 3);
  EXPECT_EQ(WorkShapes().first, 3);
}

TEST_F(KmlImportTest, AMissingFileIsRefusedAndBuildsNothing) {
  EXPECT_FALSE(rdb->ImportKml(Path("missing.kml")));
  EXPECT_NE(rdb->LastError().find("missing.kml"), std::string::npos) << rdb->LastError();
  EXPECT_FALSE(rdb->ReplacedDatabase());
  EXPECT_FALSE(rdb->FeatureRs) << "no database was open before, and none is now";
  EXPECT_FALSE(std::filesystem::exists(rdb->DatabasePath()));
  EXPECT_FALSE(std::filesystem::exists(rdb->WorkShapePath()))
      << "no coordinates, no work shapefile";
}

}  // namespace
}  // namespace altimar::testing
