// KML export: well-formed documents whatever the attribute bytes, every
// record written, and no document at all when the export fails.
#include <gtest/gtest.h>

#include "platform/shapefile/shape_library.h"
#include "platform/shapefile/text_encoding.h"
#include "tests/platform/shapefile_test_support.h"

namespace altimar::testing {
namespace {

using shapefile::ShapeLibrary;

TEST(ShapefileKmlExport, WritesEveryWorldRecordWithNameAndAttributes) {
  ScratchFolder dir;
  ShapeLibrary lib;
  std::vector<std::pair<int, int>> progress;
  const int n = lib.SW_ExportShp2Kml(ShpData("world"), dir / "world.kml",
                                     [&](int done, int total) { progress.emplace_back(done, total); });
  ASSERT_EQ(n, 177) << lib.LastError();
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), std::make_pair(177, 177));
  const std::string kml = ReadFileBytes(dir / "world.kml");
  int placemarks = 0, polygons = 0, inner = 0;
  std::string text;
  ASSERT_EQ(XmlProblem(kml, "Placemark", &placemarks, &text), "");
  EXPECT_EQ(placemarks, 177);
  XmlProblem(kml, "Polygon", &polygons);
  XmlProblem(kml, "innerBoundaryIs", &inner);
  EXPECT_GT(polygons, 177);  // multi-part countries
  EXPECT_GT(inner, 0);       // South Africa's hole (Lesotho)
  EXPECT_NE(kml.find("<Placemark id=\"f0\"><name>Fiji</name>"), std::string::npos);
  EXPECT_NE(kml.find("<Data name=\"pop\"><value>885806</value></Data>"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);  // no temporary left
}

TEST(ShapefileKmlExport, PolygonHolesAndPartsNullShapesAndMissingTable) {
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_EQ(lib.SW_ExportShp2Kml(ShpData("cases/polygons.shp"), dir / "p.kml"), 3);
  const std::string kml = ReadFileBytes(dir / "p.kml");
  EXPECT_EQ(XmlProblem(kml), "");
  EXPECT_NE(kml.find("<Placemark id=\"f1\"><name>1</name><styleUrl>#shape</styleUrl><ExtendedData><Data "
                     "name=\"FID\"><value>1</value></Data></ExtendedData><Polygon><outerBoundaryIs><LinearRing>"
                     "<coordinates>0,0,0 0,4,0 4,4,0 4,0,0 0,0,0</coordinates></LinearRing></outerBoundaryIs>"
                     "<innerBoundaryIs><LinearRing><coordinates>1,1,0 3,1,0 3,3,0 1,3,0 1,1,0</coordinates>"
                     "</LinearRing></innerBoundaryIs></Polygon></Placemark>"),
            std::string::npos);
  EXPECT_NE(kml.find("<MultiGeometry><Polygon><outerBoundaryIs><LinearRing><coordinates>2,2,0"), std::string::npos);

  ASSERT_EQ(lib.SW_ExportShp2Kml(ShpData("cases/null"), dir / "n.kml"), 9);
  int placemarks = 0, points = 0;
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "n.kml"), "Placemark", &placemarks), "");
  XmlProblem(ReadFileBytes(dir / "n.kml"), "Point", &points);
  EXPECT_EQ(placemarks, 9);
  EXPECT_EQ(points, 5);

  ASSERT_EQ(lib.SW_ExportShp2Kml(ShpData("cases/ignore-properties"), dir / "i.kml"), 3);
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "i.kml"), "Placemark", &placemarks), "");
  EXPECT_EQ(placemarks, 3);
}

TEST(ShapefileKmlExport, DecodesLatin1AndUtf8Tables) {
  ScratchFolder dir;
  ShapeLibrary lib;
  std::string text;
  ASSERT_EQ(lib.SW_ExportShp2Kml(ShpData("cases/latin1-property"), dir / "l.kml"), 1);
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "l.kml"), "", nullptr, &text), "");
  EXPECT_NE(text.find("M\xC3\xA9xico"), std::string::npos);
  text.clear();
  ASSERT_EQ(lib.SW_ExportShp2Kml(ShpData("cases/utf8-property"), dir / "u.kml"), 1);
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "u.kml"), "", nullptr, &text), "");
  EXPECT_NE(text.find("\xCE\xB7\xCE\xB5\xCE\xBB\xCE\xBB\xCE\xBF"), std::string::npos);
  EXPECT_NE(ReadFileBytes(dir / "u.kml").find("<Data name=\"\xE2\x98\x83\">"), std::string::npos);
}

// A point file whose one text field holds `value` raw, with an optional .cpg.
void WriteHostileTable(const std::string& base, const std::string& value, const char* cpg) {
  SHPHandle shp = SHPCreate(base.c_str(), SHPT_POINT);
  double x = 1, y = 2;
  SHPObject* o = SHPCreateSimpleObject(SHPT_POINT, 1, &x, &y, nullptr);
  SHPWriteObject(shp, -1, o);
  SHPDestroyObject(o);
  SHPClose(shp);
  DBFHandle dbf = DBFCreate((base + ".dbf").c_str());
  DBFAddField(dbf, "NAME", FTString, 60, 0);
  DBFAddField(dbf, "a<&\"b", FTString, 10, 0);
  std::string field = value;
  field.resize(60, ' ');
  std::string tuple = " " + field + "x         ";  // the deletion flag comes first
  DBFWriteTuple(dbf, 0, tuple.data());
  DBFClose(dbf);
  std::remove((base + ".cpg").c_str());
  if (cpg) WriteBytes(base + ".cpg", cpg);
}

TEST(ShapefileKmlExport, HostileAttributeBytesStillMakeWellFormedXml) {
  ScratchFolder dir;
  std::string control;
  for (int c = 1; c < 0x20; ++c) control += static_cast<char>(c);
  const std::string values[] = {
      "<b>&amp; \"quoted\" 'single' </Placemark>]]>",
      std::string("nul\0inside", 10) + control,
      "bad utf-8: \xC3\x28 \xA0\xA1 \xE2\x28\xA1 \xF0\x90\x28 \xED\xA0\x80 \xEF\xBF\xBF \xC0\xAF end\xE2\x82",
      "cp1252 undefined: \x81\x8D\x8F\x90\x9D and \x80 euro"};
  for (const char* cpg : {"UTF-8", "1252", "ISO-8859-1", static_cast<const char*>(nullptr), "no-such-codepage"}) {
    for (const auto& v : values) {
      const std::string base = dir / "hostile";
      WriteHostileTable(base, v, cpg);
      ShapeLibrary lib;
      ASSERT_EQ(lib.SW_ExportShp2Kml(base, dir / "h.kml"), 1) << lib.LastError();
      std::string text;
      const std::string kml = ReadFileBytes(dir / "h.kml");
      EXPECT_EQ(XmlProblem(kml, "", nullptr, &text), "") << (cpg ? cpg : "none") << ": " << v;
      // The attribute text of the same row is clean too: one line per field.
      ASSERT_TRUE(lib.SW_OpenShpFile(base + ".shp"));
      ASSERT_TRUE(lib.SW_OpenDBFFile(base + ".dbf"));
      std::string c, a, b;
      lib.SW_ReadFeature(0, 1, c, a, b);
      EXPECT_EQ(std::count(a.begin(), a.end(), '\n'), 2) << a;
      EXPECT_EQ(std::count(a.begin(), a.end(), '\r'), 2) << a;
      EXPECT_EQ(a.find('\0'), std::string::npos);
    }
  }
  // Markup in a value arrives as text.
  const std::string base = dir / "markup";
  WriteHostileTable(base, values[0], "UTF-8");
  ShapeLibrary lib;
  ASSERT_EQ(lib.SW_ExportShp2Kml(base, dir / "m.kml"), 1);
  std::string text;
  ASSERT_EQ(XmlProblem(ReadFileBytes(dir / "m.kml"), "", nullptr, &text), "");
  EXPECT_NE(text.find(values[0]), std::string::npos);
}

TEST(ShapefileKmlExport, AFailedExportLeavesNoDocumentAndReturnsMinusOne) {
  ScratchFolder dir;
  ShapeLibrary lib;
  EXPECT_EQ(lib.SW_ExportShp2Kml(ShpData("world"), dir / "missing-folder/w.kml"), -1);
  EXPECT_FALSE(lib.LastError().empty());
  WriteBytes(dir / "a-file", "x");
  EXPECT_EQ(lib.SW_ExportShp2Kml(ShpData("world"), dir / "a-file/w.kml"), -1);
  EXPECT_EQ(lib.SW_ExportShp2Kml(ShpData("world"), ""), -1);
  // A missing source keeps the document that was there.
  WriteBytes(dir / "old.kml", "earlier");
  EXPECT_EQ(lib.SW_ExportShp2Kml(dir / "no-such", dir / "old.kml"), -1);
  EXPECT_NE(lib.LastError().find("no-such"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir / "old.kml"), "earlier");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
  // A folder or a link at the path is not replaced.
  fs::create_directory(dir / "folder.kml");
  fs::create_symlink(dir / "old.kml", dir / "link.kml");
  EXPECT_EQ(lib.SW_ExportShp2Kml(ShpData("world"), dir / "folder.kml"), -1);
  EXPECT_EQ(lib.SW_ExportShp2Kml(ShpData("world"), dir / "link.kml"), -1);
  EXPECT_TRUE(fs::is_directory(dir / "folder.kml"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.kml"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

TEST(ShapefileText, CodePagesFromCpgAndLanguageDriver) {
  using shapefile::CodePageName;
  EXPECT_EQ(CodePageName("UTF-8", 0x57), "UTF-8");
  EXPECT_EQ(CodePageName(" utf8 ", 0), "UTF-8");
  EXPECT_EQ(CodePageName("65001", 0), "UTF-8");
  EXPECT_EQ(CodePageName("1252", 0), "CP1252");
  EXPECT_EQ(CodePageName("ANSI 1251", 0), "CP1251");
  EXPECT_EQ(CodePageName("88591", 0), "ISO-8859-1");
  EXPECT_EQ(CodePageName("ISO-8859-1", 0), "ISO-8859-1");
  EXPECT_EQ(CodePageName("88595", 0), "ISO-8859-5");
  EXPECT_EQ(CodePageName("", 0x57), "CP1252");
  EXPECT_EQ(CodePageName("", 0x03), "CP1252");
  EXPECT_EQ(CodePageName("", 0x01), "CP437");
  EXPECT_EQ(CodePageName("", 0x02), "CP850");
  EXPECT_EQ(CodePageName("", 0xC9), "CP1251");
  EXPECT_EQ(CodePageName("", 0), "CP1252");
}

TEST(ShapefileText, DecodingReplacesWhatIsNotWellFormed) {
  using shapefile::TextDecoder;
  std::string out;
  TextDecoder utf8("UTF-8");
  utf8.Append(out, "a\xC3\xA9\xC3\x28\xED\xA0\x80\xEF\xBF\xBE\xF4\x90\x80\x80\xE2\x82");
  // One replacement per byte that starts no well-formed sequence: 1 + 3 + 3 + 4 + 2.
  std::string expected = "a\xC3\xA9\xEF\xBF\xBD(";
  for (int i = 0; i < 12; ++i) expected += "\xEF\xBF\xBD";
  EXPECT_EQ(out, expected);
  out.clear();
  TextDecoder cp1252("CP1252");
  cp1252.Append(out, "\x80 \x81 \xE9\t\n");
  EXPECT_EQ(out, "\xE2\x82\xAC \xEF\xBF\xBD \xC3\xA9  ");
  out.clear();
  TextDecoder cp437("CP437");
  cp437.Append(out, "\x82");
  EXPECT_EQ(out, "\xC3\xA9");
  TextDecoder unknown("no-such-codepage");
  EXPECT_EQ(unknown.codePage(), "CP1252");
  out.clear();
  shapefile::AppendXmlEscaped(out, "<a & 'b'>\"");
  EXPECT_EQ(out, "&lt;a &amp; &apos;b&apos;&gt;&quot;");
}

}  // namespace
}  // namespace altimar::testing
