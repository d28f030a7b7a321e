// Writing shapefiles: create, open, add, close, with shapes that do not fit
// written as null shapes so that shapes and rows stay paired.
#include <gtest/gtest.h>

#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/shape_library.h"
#include "tests/platform/shapefile_test_support.h"

namespace altimar::testing {
namespace {

using shapefile::ShapeLibrary;

// The FID column of a table as shapelib reads it.
std::vector<int> FidColumn(const std::string& dbf) {
  std::vector<int> out;
  DBFHandle h = DBFOpen(dbf.c_str(), "rb");
  if (!h) return out;
  EXPECT_EQ(DBFGetFieldCount(h), 1);
  for (int i = 0; i < DBFGetRecordCount(h); ++i) out.push_back(DBFReadIntegerAttribute(h, i, 0));
  DBFClose(h);
  return out;
}

TEST(ShapefileWrite, CreateOpenAddCloseGivesAValidFile) {
  ScratchFolder dir;
  ShapeLibrary lib;
  const std::string path = dir / "drawn.shp";
  ASSERT_TRUE(lib.SW_CreateShapeFile(path, "polygon")) << lib.LastError();
  ASSERT_TRUE(lib.SW_OpenShpFile(path)) << lib.LastError();
  EXPECT_TRUE(lib.SW_AddFeatureInShapeFile("0,0 1,0,5 1,1"));  // open ring, counter-clockwise
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("0,0 1,1"));       // too few corners
  EXPECT_NE(lib.LastError().find("record 1 is a null shape"), std::string::npos) << lib.LastError();
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("2,2 3,x 4,4"));   // a bad tuple
  EXPECT_NE(lib.LastError().find("3,x"), std::string::npos) << lib.LastError();
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("0,0 1,0 0,0"));   // closed, but two corners
  EXPECT_TRUE(lib.SW_AddFeatureInShapeFile(" 5,5\t6,5\n6,6 5,5 "));

  // The open file shows what was added so far.
  std::string type, fields, c, a, b;
  int count = 0;
  ASSERT_TRUE(lib.SW_GetMetaInfoFromShpDBF(type, count, 0, fields));
  EXPECT_EQ(type, "Polygon");
  EXPECT_EQ(count, 5);
  EXPECT_EQ(lib.SW_ReadFeature(0, 0, c, a, b), 0);
  EXPECT_EQ(c, "0,0,0 1,1,0 1,0,0 0,0,0");
  lib.SW_CloseShpFile();

  const auto shapes = ReadWithShapelib(path);
  ASSERT_EQ(shapes.size(), 5u);
  EXPECT_EQ(OracleText(shapes[0]), "0,0,0 1,1,0 1,0,0 0,0,0");  // closed and turned clockwise
  EXPECT_TRUE(shapes[1].parts.empty());
  EXPECT_TRUE(shapes[2].parts.empty());
  EXPECT_TRUE(shapes[3].parts.empty());
  EXPECT_EQ(OracleText(shapes[4]), "5,5,0 6,6,0 6,5,0 5,5,0");
  EXPECT_EQ(FidColumn(dir / "drawn.dbf"), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ShapefileWrite, PointsAndPolylinesTakeTheirOwnVertexCounts) {
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_CreateShapeFile(dir / "p.shp", "Point"));
  EXPECT_TRUE(lib.SW_AddFeatureInShapeFile("1.5,-2.25,100"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2 3,4"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2,3,4"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("nan,2"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,,2"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2,"));
  ASSERT_TRUE(lib.SW_CreateShapeFile(dir / "l.shp", "PolyLine"));  // finishes p.shp
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2"));
  EXPECT_TRUE(lib.SW_AddFeatureInShapeFile("1,2 3,4\r\n5,6"));
  lib.SW_CloseShpFile();

  auto shapes = ReadWithShapelib(dir / "p.shp");
  ASSERT_EQ(shapes.size(), 7u);
  EXPECT_EQ(OracleText(shapes[0]), "1.5,-2.25,0");
  for (std::size_t i = 1; i < 7; ++i) EXPECT_TRUE(shapes[i].parts.empty()) << i;
  EXPECT_EQ(FidColumn(dir / "p.dbf").size(), 7u);
  shapes = ReadWithShapelib(dir / "l.shp");
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_TRUE(shapes[0].parts.empty());
  EXPECT_EQ(OracleText(shapes[1]), "1,2,0 3,4,0 5,6,0");
}

TEST(ShapefileWrite, RecreatingTheOpenFileStartsItAfresh) {
  ScratchFolder dir;
  ShapeLibrary lib;
  const std::string path = dir / "again.shp";
  ASSERT_TRUE(lib.SW_CreateShapeFile(path, "polyline"));
  ASSERT_TRUE(lib.SW_OpenShpFile(path));
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("0,0 1,1"));
  ASSERT_TRUE(lib.SW_OpenDBFFile(dir / "again.dbf"));
  ASSERT_TRUE(lib.SW_CreateShapeFile(path, "point"));  // same path, open and being written
  ASSERT_TRUE(lib.SW_OpenShpFile(path));
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("7,8"));
  ASSERT_TRUE(lib.SW_OpenDBFFile(dir / "again.dbf"));
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("9,10"));
  std::string c, a, b;
  EXPECT_EQ(lib.SW_ReadFeature(1, 1, c, a, b), 1);  // the open table follows the writing
  EXPECT_EQ(c, "9,10,0");
  EXPECT_EQ(a, "FID: 1\r\n");
  lib.SW_CloseShpFile();
  lib.SW_CloseDBFFile();
  const auto shapes = ReadWithShapelib(path);
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(OracleText(shapes[0]), "7,8,0");
  EXPECT_EQ(FidColumn(dir / "again.dbf"), (std::vector<int>{0, 1}));
}

TEST(ShapefileWrite, OpeningAnotherFileFinishesTheOneBeingWritten) {
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_CreateShapeFile(dir / "a.shp", "point"));
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("1,2"));
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("world.shp")));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("3,4"));
  EXPECT_EQ(ReadWithShapelib(dir / "a.shp").size(), 1u);
  // Refusals leave nothing behind and keep the library usable.
  EXPECT_FALSE(lib.SW_CreateShapeFile(dir / "b.shp", "circle"));
  EXPECT_NE(lib.LastError().find("circle"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "b.shp"));
  EXPECT_FALSE(lib.SW_CreateShapeFile(dir / "missing/c.shp", "point"));
  EXPECT_FALSE(lib.LastError().empty());
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile("1,2"));
}

}  // namespace
}  // namespace altimar::testing
