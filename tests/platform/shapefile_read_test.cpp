// Reading shapefiles and their tables: meta information, coordinate,
// attribute and box texts, null shapes, files without .shx and cut files.
#include <gtest/gtest.h>

#include "platform/shapefile/shape_library.h"
#include "tests/platform/shapefile_test_support.h"

namespace altimar::testing {
namespace {

using shapefile::ShapeLibrary;
using shapefile::SplitCoordinateParts;

struct Meta {
  bool ok;
  std::string type;
  int count;
  std::string fields;
};

Meta MetaOf(ShapeLibrary& lib, int withDbf = 1) {
  Meta m;
  m.ok = lib.SW_GetMetaInfoFromShpDBF(m.type, m.count, withDbf, m.fields);
  return m;
}

ShapeLibrary& Open(ShapeLibrary& lib, const std::string& name) {
  EXPECT_TRUE(lib.SW_OpenShpFile(ShpData(name + ".shp"))) << lib.LastError();
  EXPECT_TRUE(lib.SW_OpenDBFFile(ShpData(name + ".dbf"))) << lib.LastError();
  return lib;
}

TEST(ShapefileMetaInfo, GivesTypeCountAndFieldsOfRealFiles) {
  ShapeLibrary lib;
  Meta m = MetaOf(Open(lib, "world"));
  EXPECT_TRUE(m.ok);
  EXPECT_EQ(m.type, "Polygon");
  EXPECT_EQ(m.count, 177);
  EXPECT_EQ(m.fields,
            "iso_a2 string 80\r\nname_long string 80\r\ncontinent string 80\r\nregion_un string 80\r\n"
            "subregion string 80\r\ntype string 80\r\narea_km2 float 24\r\npop float 24\r\n"
            "lifeExp float 24\r\ngdpPercap float 24\r\n");

  m = MetaOf(Open(lib, "columbus"));
  EXPECT_EQ(m.type, "Polygon");
  EXPECT_EQ(m.count, 49);
  EXPECT_EQ(m.fields,
            "AREA float 13\r\nPERIMETER float 13\r\nCOLUMBUS_ integer 11\r\nCOLUMBUS_I integer 11\r\n"
            "POLYID integer 16\r\nNEIG integer 2\r\nHOVAL float 9\r\nINC float 9\r\nCRIME float 9\r\n"
            "OPEN float 9\r\nPLUMB float 9\r\nDISCBD float 8\r\nX float 9\r\nY float 9\r\nNSA float 8\r\n"
            "NSB float 8\r\nEW float 8\r\nCP float 8\r\nTHOUS float 11\r\nNEIGNO float 11\r\n");

  m = MetaOf(Open(lib, "baltim"));
  EXPECT_EQ(m.type, "Point");
  EXPECT_EQ(m.count, 211);
  EXPECT_EQ(m.fields,
            "STATION integer 6\r\nPRICE float 10\r\nNROOM float 9\r\nDWELL float 8\r\nNBATH float 8\r\n"
            "PATIO float 8\r\nFIREPL float 8\r\nAC float 8\r\nBMENT float 8\r\nNSTOR float 8\r\nGAR float 8\r\n"
            "AGE float 10\r\nCITCOU float 8\r\nLOTSZ float 10\r\nSQFT float 9\r\nX float 10\r\nY float 10\r\n");

  // Without the table flag, or with no table open, no fields are described.
  EXPECT_EQ(MetaOf(lib, 0).fields, "");
  lib.SW_CloseDBFFile();
  m = MetaOf(lib, 1);
  EXPECT_TRUE(m.ok);
  EXPECT_EQ(m.fields, "");
  EXPECT_EQ(m.count, 211);
}

TEST(ShapefileMetaInfo, NamesTheShapeTypeOfEachCaseAndBoolDateFields) {
  const std::pair<const char*, const char*> cases[] = {
      {"null", "Point"},          {"empty", "PolyLine"},         {"polygons", "Polygon"},
      {"multipoints", "MultiPoint"}, {"polylines", "PolyLine"},  {"points", "Point"},
      {"ignore-properties", "Point"}};
  for (const auto& [name, type] : cases) {
    ShapeLibrary lib;
    ASSERT_TRUE(lib.SW_OpenShpFile(ShpData(std::string("cases/") + name + ".shp"))) << name << lib.LastError();
    EXPECT_EQ(MetaOf(lib).type, type) << name;
  }
  ShapeLibrary lib;
  EXPECT_EQ(MetaOf(Open(lib, "cases/boolean-property")).fields, "foo bool 1\r\n");
  EXPECT_EQ(MetaOf(Open(lib, "cases/date-property")).fields, "date string 8\r\n");
  EXPECT_EQ(MetaOf(Open(lib, "cases/mixed-properties")).fields, "foo integer 10\r\nbar string 80\r\n");
  EXPECT_EQ(MetaOf(Open(lib, "cases/utf8-property")).fields, "\xE2\x98\x83 string 80\r\n");
}

TEST(ShapefileMetaInfo, NamesZAndMVariantsAndReadsTheirHeights) {
  // Files with heights or measures, written by shapelib: the type keeps its
  // Z or M, and the coordinate text carries the heights shapelib reads.
  ScratchFolder dir;
  const std::vector<std::pair<int, std::string>> types = {
      {SHPT_POINTZ, "PointZ"},     {SHPT_ARCZ, "PolyLineZ"},
      {SHPT_POLYGONZ, "PolygonZ"}, {SHPT_MULTIPOINTZ, "MultiPointZ"},
      {SHPT_POINTM, "PointM"},     {SHPT_ARCM, "PolyLineM"},
      {SHPT_POLYGONM, "PolygonM"}, {SHPT_MULTIPOINTM, "MultiPointM"}};
  for (const auto& [type, name] : types) {
    const std::string path = dir / (name + ".shp");
    SHPHandle h = SHPCreate(path.c_str(), type);
    ASSERT_NE(h, nullptr);
    const bool point = type == SHPT_POINTZ || type == SHPT_POINTM;
    const int n = point ? 1 : 4;
    const double x[] = {0, 1, 1, 0}, y[] = {0, 0, 1, 0}, z[] = {5, 6.5, 7, 5}, m[] = {1, 2, 3, 1};
    SHPObject* o = SHPCreateObject(type, -1, 0, nullptr, nullptr, n, x, y, z, m);
    SHPWriteObject(h, -1, o);
    SHPDestroyObject(o);
    SHPClose(h);

    ShapeLibrary lib;
    ASSERT_TRUE(lib.SW_OpenShpFile(path)) << lib.LastError();
    const Meta meta = MetaOf(lib, 0);
    EXPECT_EQ(meta.type, name);
    EXPECT_EQ(meta.count, 1);
    std::string c, a, b;
    ASSERT_EQ(lib.SW_ReadFeature(0, 1, c, a, b), 0) << name;
    EXPECT_EQ(c, OracleText(ReadWithShapelib(path)[0])) << name;
    EXPECT_EQ(c.rfind(name.back() == 'Z' ? "0,0,5" : "0,0,0", 0), 0u) << name << ": " << c;
  }
}

TEST(ShapefileMetaInfo, NothingOpenGivesFalseAndEmptyOutputs) {
  ShapeLibrary lib;
  Meta m = MetaOf(lib);
  EXPECT_FALSE(m.ok);
  EXPECT_EQ(m.type, "");
  EXPECT_EQ(m.count, 0);
  EXPECT_FALSE(lib.LastError().empty());
  std::string c = "x", a = "x", b = "x";
  EXPECT_EQ(lib.SW_ReadFeature(0, 1, c, a, b), -1);
  EXPECT_EQ(c + a + b, "");
  EXPECT_EQ(lib.SW_FindNearest(0, 0, c, a), -1);
  EXPECT_EQ(lib.SW_MultiSearchShpFile(-180, -90, 180, 90, c, ""), -1);
  EXPECT_EQ(lib.SW_MultiSearchFeatureByCircle(0, 0, 10, 0, c, "", ""), -1);
  EXPECT_EQ(c, "");
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2"));
  // Closing again, and reading after a close, stay harmless.
  Open(lib, "world");
  lib.SW_CloseShpFile();
  lib.SW_CloseShpFile();
  lib.SW_CloseDBFFile();
  EXPECT_EQ(lib.SW_ReadFeature(0, 1, c, a, b), -1);
  EXPECT_FALSE(lib.SW_OpenShpFile(ShpData("no-such-file.shp")));
  EXPECT_NE(lib.LastError().find("no-such-file"), std::string::npos);
}

TEST(ShapefileCoordinates, EveryShapeOfTheRealFilesMatchesShapelibsReading) {
  for (const char* name : {"world", "columbus", "baltim", "cases/polygons", "cases/polylines", "cases/multipoints",
                           "cases/null", "cases/points"}) {
    ShapeLibrary lib;
    ASSERT_TRUE(lib.SW_OpenShpFile(ShpData(std::string(name) + ".shp")));
    const auto oracle = ReadWithShapelib(ShpData(std::string(name) + ".shp"));
    ASSERT_EQ(MetaOf(lib).count, static_cast<int>(oracle.size())) << name;
    for (int fid = 0; fid < static_cast<int>(oracle.size()); ++fid) {
      std::string c, a, b;
      ASSERT_EQ(lib.SW_ReadFeature(fid, 0, c, a, b), fid);
      ASSERT_EQ(c, OracleText(oracle[static_cast<std::size_t>(fid)])) << name << " FID " << fid;
    }
  }
}

TEST(ShapefileCoordinates, MultiPartWorldShapeKeepsItsPartsApart) {
  ShapeLibrary lib;
  Open(lib, "world");
  std::string c, a, b;
  ASSERT_EQ(lib.SW_ReadFeature(159, 1, c, a, b), 159);
  EXPECT_NE(a.find("name_long: Antarctica\r\n"), std::string::npos);
  EXPECT_GT(c.size(), 20000u);
  const auto parts = SplitCoordinateParts(c);
  ASSERT_EQ(parts.size(), 8u);
  for (auto p : parts) {
    // Each part is a closed ring of whole tuples.
    EXPECT_EQ(p.substr(0, p.find(' ')), p.substr(p.rfind(' ') + 1));
    EXPECT_EQ(p.find('\n'), std::string_view::npos);
  }
  EXPECT_EQ(c.rfind("-180,-89.9,0 -180,-84.71338,0 ", 0), 0u);
  EXPECT_EQ(b, "-180,-89.9,0 179.99999,-63.2706604895046,0");
  // Split on whitespace, the text is still one tuple list.
  std::size_t tuples = 0;
  for (auto p : parts) tuples += static_cast<std::size_t>(std::count(p.begin(), p.end(), ' ')) + 1;
  EXPECT_EQ(tuples, static_cast<std::size_t>(std::count(c.begin(), c.end(), ',')) / 2);
}

TEST(ShapefileCoordinates, SinglePartShapesAreTheirTuples) {
  ShapeLibrary lib;
  Open(lib, "cases/polygons");
  std::string c, a, b;
  EXPECT_EQ(lib.SW_ReadFeature(0, 1, c, a, b), 0);
  EXPECT_EQ(c, "0,0,0 0,1,0 1,1,0 1,0,0 0,0,0");
  EXPECT_EQ(b, "0,0,0 1,1,0");
  EXPECT_EQ(a, "FID: 0\r\n");
  Open(lib, "cases/multipoints");
  EXPECT_EQ(lib.SW_ReadFeature(1, 0, c, a, b), 1);
  EXPECT_EQ(c, "11,12,0 13,14,0 15,16,0 17,18,0 19,20,0");
  EXPECT_EQ(a, "FID: 1\r\n") << "read by number, with its attributes too";
  Open(lib, "columbus");
  EXPECT_EQ(lib.SW_ReadFeature(0, 1, c, a, b), 0);
  EXPECT_EQ(c.rfind("8.62412929534912,14.2369804382324,0 8.55970001220703,14.742449760437,0 ", 0), 0u);
  EXPECT_EQ(SplitCoordinateParts(c).size(), 1u);
}

TEST(ShapefileCoordinates, SplitCoordinatePartsDropsEmptyPieces) {
  EXPECT_EQ(SplitCoordinateParts(""), std::vector<std::string_view>{});
  EXPECT_EQ(SplitCoordinateParts("1,2,0 3,4,0"), std::vector<std::string_view>{"1,2,0 3,4,0"});
  EXPECT_EQ(SplitCoordinateParts("\n1,2,0\r\n\n 3,4,0 \n"), (std::vector<std::string_view>{"1,2,0", "3,4,0"}));
}

TEST(ShapefileFeatures, NullShapesKeepTheirFidAndRow) {
  ShapeLibrary lib;
  Open(lib, "cases/null");
  std::string c, a, b;
  EXPECT_EQ(lib.SW_ReadFeature(1, 1, c, a, b), 1);
  EXPECT_EQ(c, "");
  EXPECT_EQ(b, "");
  EXPECT_EQ(a, "FID: 1\r\n");
  EXPECT_EQ(lib.SW_ReadFeature(8, 1, c, a, b), 8);
  EXPECT_EQ(c, "17,18,0");
  EXPECT_EQ(lib.SW_ReadFeature(9, 1, c, a, b), -1);
  EXPECT_EQ(lib.SW_ReadFeature(-1, 1, c, a, b), -1);
  EXPECT_EQ(c + a + b, "");
}

TEST(ShapefileFeatures, AttributeTextPerFieldTypeAndCodePage) {
  ShapeLibrary lib;
  std::string c, a, b;
  Open(lib, "world");
  lib.SW_ReadFeature(0, 1, c, a, b);
  EXPECT_EQ(a,
            "iso_a2: FJ\r\nname_long: Fiji\r\ncontinent: Oceania\r\nregion_un: Oceania\r\nsubregion: Melanesia\r\n"
            "type: Sovereign country\r\narea_km2: 19289.970732976504223\r\npop: 885806\r\n"
            "lifeExp: 69.959999999999994\r\ngdpPercap: 8222.253784368420384\r\n");
  lib.SW_ReadFeature(159, 1, c, a, b);  // missing numbers are empty
  EXPECT_NE(a.find("\r\npop: \r\nlifeExp: \r\ngdpPercap: \r\n"), std::string::npos);
  Open(lib, "baltim");
  lib.SW_ReadFeature(0, 1, c, a, b);
  EXPECT_EQ(a.substr(0, 40), "STATION: 1\r\nPRICE: 47\r\nNROOM: 4\r\nDWELL: ");
  EXPECT_NE(a.find("\r\nLOTSZ: 5.7\r\nSQFT: 11.25\r\n"), std::string::npos);

  Open(lib, "cases/latin1-property");  // CP1252 by the language driver byte
  lib.SW_ReadFeature(0, 1, c, a, b);
  EXPECT_EQ(a, "name: M\xC3\xA9xico\r\n");
  Open(lib, "cases/utf8-property");  // UTF-8 by its .cpg
  lib.SW_ReadFeature(0, 1, c, a, b);
  EXPECT_EQ(a, "\xE2\x98\x83: \xCE\xB7\xCE\xB5\xCE\xBB\xCE\xBB\xCE\xBF \xCF\x82\xCE\xBF\xCF\x81\xCE\xBB\xCE\xB4\r\n");

  Open(lib, "cases/boolean-property");
  const char* expected[] = {"", "true", "true", "false", "false", "true", "true", "false", "false"};
  for (int fid = 0; fid < 9; ++fid) {
    lib.SW_ReadFeature(fid, 1, c, a, b);
    EXPECT_EQ(a, std::string("foo: ") + expected[fid] + "\r\n") << fid;
  }
  Open(lib, "cases/date-property");
  lib.SW_ReadFeature(2, 1, c, a, b);
  EXPECT_EQ(a, "date: 2013-01-03\r\n");
  Open(lib, "cases/mixed-properties");
  lib.SW_ReadFeature(1, 1, c, a, b);
  EXPECT_EQ(a, "foo: 42\r\nbar: \r\n");
  lib.SW_ReadFeature(2, 1, c, a, b);
  EXPECT_EQ(a, "foo: \r\nbar: blue\r\n");
  Open(lib, "cases/number-property");
  lib.SW_ReadFeature(2, 1, c, a, b);
  EXPECT_EQ(a, "foo: -4\r\n");
}

TEST(ShapefileFeatures, ATableWithFewerRowsGivesNoAttributes) {
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("world.shp")));
  ASSERT_TRUE(lib.SW_OpenDBFFile(ShpData("cases/polygons.dbf")));  // 3 rows
  std::string c, a, b;
  EXPECT_EQ(lib.SW_ReadFeature(2, 1, c, a, b), 2);
  EXPECT_EQ(a, "FID: 2\r\n");
  EXPECT_EQ(lib.SW_ReadFeature(3, 1, c, a, b), 3);
  EXPECT_EQ(a, "");
  EXPECT_FALSE(c.empty());
}

// Texts of all features, for comparing two ways of opening the same geometry.
std::vector<std::string> AllTexts(ShapeLibrary& lib) {
  std::vector<std::string> out;
  std::string t, f, c, a, b;
  int n = 0;
  lib.SW_GetMetaInfoFromShpDBF(t, n, 0, f);
  for (int fid = 0; fid < n; ++fid) {
    EXPECT_EQ(lib.SW_ReadFeature(fid, 0, c, a, b), fid);
    out.push_back(c + "|" + b);
  }
  return out;
}

TEST(ShapefileOpen, WorksWithoutShxAndWritesNothingBesideTheFile) {
  ScratchFolder dir;
  fs::copy_file(ShpData("world.shp"), dir / "world.shp");
  ShapeLibrary indexed, walked;
  ASSERT_TRUE(indexed.SW_OpenShpFile(ShpData("world.shp")));
  ASSERT_TRUE(walked.SW_OpenShpFile(dir / "world.shp")) << walked.LastError();
  EXPECT_EQ(walked.LastError(), "");
  EXPECT_EQ(AllTexts(walked), AllTexts(indexed));
  std::string c, a;
  EXPECT_EQ(walked.SW_FindNearest(2.35, 48.85, c, a), indexed.SW_FindNearest(2.35, 48.85, c, a));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

  ShapeLibrary lib;  // the case file shipped without .shx and .dbf
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("cases/ignore-properties.shp")));
  EXPECT_EQ(AllTexts(lib), (std::vector<std::string>{"1,2,0|1,2,0 1,2,0", "3,4,0|3,4,0 3,4,0", "7,8,0|7,8,0 7,8,0"}));
}

TEST(ShapefileOpen, CutFilesGiveAReadablePrefixOrFail) {
  ScratchFolder dir;
  const std::string shp = ReadFileBytes(ShpData("world.shp"));
  const std::string shx = ReadFileBytes(ShpData("world.shx"));
  ShapeLibrary whole;
  ASSERT_TRUE(whole.SW_OpenShpFile(ShpData("world.shp")));
  const auto expected = AllTexts(whole);

  const auto check = [&](const std::string& shpBytes, const std::string* shxBytes, const std::string& what) {
    fs::remove(dir / "cut.shx");
    WriteBytes(dir / "cut.shp", shpBytes);
    if (shxBytes) WriteBytes(dir / "cut.shx", *shxBytes);
    ShapeLibrary lib;
    if (!lib.SW_OpenShpFile(dir / "cut.shp")) {
      EXPECT_FALSE(lib.LastError().empty()) << what;
      return;
    }
    const auto texts = AllTexts(lib);
    ASSERT_LE(texts.size(), expected.size()) << what;
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], expected[i]) << what << " FID " << i;
    if (texts.size() < expected.size()) {
      EXPECT_NE(lib.LastError().find("cut short"), std::string::npos) << what;
    }
    std::string list, c, a;
    lib.SW_MultiSearchShpFile(-180, -90, 180, 90, list, "");
    lib.SW_FindNearest(10, 50, c, a);
  };
  for (std::size_t cut : {0ul, 50ul, 99ul, 100ul, 107ul, 108ul, 1000ul, shp.size() / 2, shp.size() - 1}) {
    const std::string part = shp.substr(0, cut);
    check(part, &shx, "shp cut at " + std::to_string(cut));
    check(part, nullptr, "shp without shx cut at " + std::to_string(cut));
  }
  for (std::size_t cut : {0ul, 99ul, 100ul, 108ul, 109ul, shx.size() / 2, shx.size() - 3}) {
    const std::string part = shx.substr(0, cut);
    check(shp, &part, "shx cut at " + std::to_string(cut));
  }
}

TEST(ShapefileOpen, RefusesFilesThatAreNoShapefilesAndNullsDamagedRecords) {
  ScratchFolder dir;
  ShapeLibrary lib;
  std::string shp = ReadFileBytes(ShpData("cases/polylines.shp"));
  std::string bad = shp;
  bad[3] = 0;  // file code
  WriteBytes(dir / "a.shp", bad);
  EXPECT_FALSE(lib.SW_OpenShpFile(dir / "a.shp"));
  EXPECT_NE(lib.LastError().find("9994"), std::string::npos);
  bad = shp;
  bad[32] = 7;  // shape type
  WriteBytes(dir / "a.shp", bad);
  EXPECT_FALSE(lib.SW_OpenShpFile(dir / "a.shp"));
  EXPECT_NE(lib.LastError().find("unknown shape type 7"), std::string::npos);

  // Record 0 claims a huge point count; record 1 a part start out of order.
  bad = shp;
  bad[100 + 8 + 40 + 3] = 0x7F;
  const std::size_t second = 100 + 8 + 2 * ((std::uint8_t(shp[106]) << 8) | std::uint8_t(shp[107]));
  bad[second + 8 + 48] = 9;
  WriteBytes(dir / "a.shp", bad);
  ASSERT_TRUE(lib.SW_OpenShpFile(dir / "a.shp"));
  EXPECT_NE(lib.LastError().find("2 damaged records"), std::string::npos) << lib.LastError();
  std::string c, a, b;
  EXPECT_EQ(lib.SW_ReadFeature(0, 0, c, a, b), 0);
  EXPECT_EQ(c, "");
  EXPECT_EQ(lib.SW_ReadFeature(1, 0, c, a, b), 1);
  EXPECT_EQ(c, "");
  EXPECT_EQ(lib.SW_FindNearest(0, 0, c, a), -1);
}

}  // namespace
}  // namespace altimar::testing
