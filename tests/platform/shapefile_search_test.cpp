// Nearest, rectangle and circle searches, checked on real files against a
// brute force over shapelib's own reading of the geometry.
#include <gtest/gtest.h>

#include <random>

#include "platform/shapefile/shape_library.h"
#include "platform/shapefile/spherical_dist.h"
#include "tests/platform/shapefile_test_support.h"

namespace altimar::testing {
namespace {

using shapefile::ShapeLibrary;

int Nearest(ShapeLibrary& lib, double x, double y) {
  std::string c, a;
  return lib.SW_FindNearest(x, y, c, a);
}

TEST(ShapefileNearest, InsideAPolygonGivesThatPolygon) {
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("world.shp")));
  ASSERT_TRUE(lib.SW_OpenDBFFile(ShpData("world.dbf")));
  std::string c, a, b;
  const int fid = lib.SW_FindNearest(2.35, 48.85, c, a);  // Paris
  EXPECT_NE(a.find("name_long: France\r\n"), std::string::npos) << a;
  std::string c2, a2;
  EXPECT_EQ(lib.SW_ReadFeature(fid, 1, c2, a2, b), fid);
  EXPECT_EQ(c, c2);
  EXPECT_EQ(a, a2);
  lib.SW_FindNearest(-60, -15, c, a);  // the middle of Brazil
  EXPECT_NE(a.find("name_long: Brazil\r\n"), std::string::npos);
}

TEST(ShapefileNearest, HolesAreOutsideAndNestedPartsInside) {
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("cases/polygons.shp")));
  // FID 1 is a 4x4 square with a 2x2 hole; FID 2 has a square in that hole.
  EXPECT_EQ(Nearest(lib, 2.5, 2.5), 2);  // in the hole and in FID 2: FID 2 alone has it inside
  EXPECT_EQ(Nearest(lib, 3.5, 3.5), 1);  // between the hole and the outer ring
  EXPECT_EQ(Nearest(lib, 1.2, 2.5), 1);  // in the hole, nearest to its edge at x = 1
  EXPECT_EQ(Nearest(lib, 0.5, 0.5), 0);  // inside FID 0 and FID 1: the lower FID
  EXPECT_EQ(Nearest(lib, 4.5, 4.5), 2);  // FID 2's second part
}

TEST(ShapefileNearest, MeasuresToSegmentsNotOnlyVerticesAndSkipsNullShapes) {
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_CreateShapeFile(dir / "lines.shp", "polyline"));
  ASSERT_TRUE(lib.SW_OpenShpFile(dir / "lines.shp"));
  EXPECT_FALSE(lib.SW_AddFeatureInShapeFile(""));  // FID 0: null shape
  EXPECT_EQ(Nearest(lib, 0, 0), -1);               // nothing but a null shape
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("0,0 10,0"));   // FID 1: a long segment
  ASSERT_TRUE(lib.SW_AddFeatureInShapeFile("5,1 5,1.1"));  // FID 2: short, 0.6 above the query
  EXPECT_EQ(Nearest(lib, 5, 0.4), 1);  // the segment's vertices are 5 away
  EXPECT_EQ(Nearest(lib, 5, 0.6), 2);
  EXPECT_EQ(Nearest(lib, -3, 0), 1);
  lib.SW_CloseShpFile();

  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("cases/null.shp")));  // FIDs 1, 3, 4, 7 are null
  EXPECT_EQ(Nearest(lib, 0, 0), 0);
  EXPECT_EQ(Nearest(lib, 7, 8), 2);
  EXPECT_EQ(Nearest(lib, 12, 13), 5);
}

// Brute force over shapelib's reading with the test's own distance.
struct Oracle {
  explicit Oracle(const std::string& shp) : shapes(ReadWithShapelib(shp)) {}
  double Distance(int fid, double x, double y) const {
    return OracleDistance(shapes[static_cast<std::size_t>(fid)], x, y);
  }
  double Least(double x, double y) const {
    double best = INFINITY;
    for (int fid = 0; fid < static_cast<int>(shapes.size()); ++fid) best = std::min(best, Distance(fid, x, y));
    return best;
  }
  std::string InBox(double x1, double y1, double x2, double y2) const {
    std::string list;
    for (std::size_t fid = 0; fid < shapes.size(); ++fid) {
      bool meets = false;
      double xmin = INFINITY, ymin = INFINITY, xmax = -INFINITY, ymax = -INFINITY;
      for (const auto& p : shapes[fid].parts)
        for (const auto& v : p) {
          xmin = std::min(xmin, v[0]), xmax = std::max(xmax, v[0]);
          ymin = std::min(ymin, v[1]), ymax = std::max(ymax, v[1]);
          meets = true;
        }
      if (meets && xmin <= x2 && xmax >= x1 && ymin <= y2 && ymax >= y1) list += std::to_string(fid) + ",";
    }
    return list;
  }
  std::string InCircle(double cx, double cy, double metres) const {
    std::string list;
    for (int fid = 0; fid < static_cast<int>(shapes.size()); ++fid)
      if (Distance(fid, cx, cy) * M_PI / 180 * shapefile::kSphereRadius <= metres) list += std::to_string(fid) + ",";
    return list;
  }
  std::vector<OracleShape> shapes;
};

TEST(ShapefileNearest, AgreesWithBruteForceOnRandomQueries) {
  std::mt19937 rng(12345);
  for (const char* name : {"world", "columbus", "baltim", "cases/polylines", "cases/multipoints"}) {
    ShapeLibrary lib;
    ASSERT_TRUE(lib.SW_OpenShpFile(ShpData(std::string(name) + ".shp")));
    const Oracle oracle(ShpData(std::string(name) + ".shp"));
    double xmin = INFINITY, ymin = INFINITY, xmax = -INFINITY, ymax = -INFINITY;
    for (const auto& s : oracle.shapes)
      for (const auto& p : s.parts)
        for (const auto& v : p)
          xmin = std::min(xmin, v[0]), xmax = std::max(xmax, v[0]), ymin = std::min(ymin, v[1]),
          ymax = std::max(ymax, v[1]);
    const double w = xmax - xmin, h = ymax - ymin;
    std::uniform_real_distribution<double> ux(xmin - w / 4, xmax + w / 4), uy(ymin - h / 4, ymax + h / 4);
    for (int i = 0; i < 300; ++i) {
      const double x = ux(rng), y = std::clamp(uy(rng), -89.0, ymax + h / 4);
      const int fid = Nearest(lib, x, y);
      ASSERT_GE(fid, 0);
      EXPECT_NEAR(oracle.Distance(fid, x, y), oracle.Least(x, y), 1e-9) << name << " at " << x << "," << y;
    }
  }
}

TEST(ShapefileSearch, RectangleAgreesWithBruteForceOverExtents) {
  std::mt19937 rng(777);
  std::uniform_real_distribution<double> ux(-200, 200), uy(-100, 100);
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("world.shp")));
  const Oracle oracle(ShpData("world.shp"));
  int nonEmpty = 0;
  for (int i = 0; i < 300; ++i) {
    const double x1 = ux(rng), y1 = uy(rng), x2 = x1 + ux(rng) / 8, y2 = y1 + uy(rng) / 8;
    std::string list = "stale";
    const int n = lib.SW_MultiSearchShpFile(x1, y1, x2, y2, list, "");
    const std::string expected = oracle.InBox(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
    EXPECT_EQ(list, expected);
    EXPECT_EQ(n, expected.empty() ? -1 : static_cast<int>(std::count(expected.begin(), expected.end(), ',')));
    nonEmpty += n > 0;
  }
  EXPECT_GT(nonEmpty, 100);
  std::string list;
  EXPECT_EQ(lib.SW_MultiSearchShpFile(-180, -90, 180, 90, list, ""), 177);
  EXPECT_EQ(lib.SW_MultiSearchShpFile(NAN, 0, 1, 1, list, ""), -1);

  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("cases/null.shp")));  // null shapes are never found
  EXPECT_EQ(lib.SW_MultiSearchShpFile(0, 0, 20, 20, list, ""), 5);
  EXPECT_EQ(list, "0,2,5,6,8,");
  EXPECT_EQ(lib.SW_MultiSearchShpFile(3, 3, 4, 4, list, ""), -1);  // borders count: (5,6) is out
  EXPECT_EQ(lib.SW_MultiSearchShpFile(3, 3, 5, 6, list, ""), 1);
  EXPECT_EQ(list, "2,");
}

TEST(ShapefileSearch, CircleAgreesWithBruteForceInMetres) {
  std::mt19937 rng(99);
  std::uniform_real_distribution<double> ux(-170, 170), uy(-70, 70), ur(-15, 15);
  for (const char* name : {"world", "cases/polylines"}) {
    ShapeLibrary lib;
    ASSERT_TRUE(lib.SW_OpenShpFile(ShpData(std::string(name) + ".shp")));
    const Oracle oracle(ShpData(std::string(name) + ".shp"));
    for (int i = 0; i < 200; ++i) {
      const double cx = ux(rng) / (name[0] == 'c' ? 8 : 1), cy = uy(rng) / (name[0] == 'c' ? 4 : 1);
      const double ex = cx + ur(rng), ey = std::clamp(cy + ur(rng), -89.0, 89.0);
      std::string list;
      const int n = lib.SW_MultiSearchFeatureByCircle(cx, cy, ex, ey, list, "", "");
      const std::string expected = oracle.InCircle(cx, cy, shapefile::SphericalDist(cx, cy, ex, ey));
      EXPECT_EQ(list, expected) << name << " " << cx << "," << cy << " " << ex << "," << ey;
      EXPECT_EQ(n, expected.empty() ? -1 : static_cast<int>(std::count(expected.begin(), expected.end(), ',')));
    }
  }
  // A point on the edge of the circle is in it (along a meridian and the
  // equator both measures agree exactly).
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_CreateShapeFile(dir / "p.shp", "point"));
  for (const char* p : {"0,0", "0,1", "1,0", "0,1.000001", "1.000001,0"}) ASSERT_TRUE(lib.SW_AddFeatureInShapeFile(p));
  ASSERT_TRUE(lib.SW_OpenShpFile(dir / "p.shp"));
  std::string list;
  EXPECT_EQ(lib.SW_MultiSearchFeatureByCircle(0, 0, 0, 1, list, "", ""), 3);
  EXPECT_EQ(list, "0,1,2,");
  EXPECT_EQ(lib.SW_MultiSearchFeatureByCircle(0, 0, 1, 0, list, "", ""), 3);
  EXPECT_EQ(list, "0,1,2,");
}

TEST(ShapefileSearch, SelectionDocumentsAreWellFormedKml) {
  ScratchFolder dir;
  ShapeLibrary lib;
  ASSERT_TRUE(lib.SW_OpenShpFile(ShpData("world.shp")));
  std::string list;
  const int n = lib.SW_MultiSearchShpFile(0, 40, 20, 55, list, dir / "rect.kml");
  ASSERT_GT(n, 3);
  int placemarks = 0;
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "rect.kml"), "Placemark", &placemarks), "");
  EXPECT_EQ(placemarks, n);

  const int m = lib.SW_MultiSearchFeatureByCircle(10, 50, 12, 50, list, "9,49,0 11,49,0\n11,51,0 9,51 9,49,0",
                                                  dir / "circle.kml");
  ASSERT_GT(m, 0);
  std::string text;
  EXPECT_EQ(XmlProblem(ReadFileBytes(dir / "circle.kml"), "Placemark", &placemarks, &text), "");
  EXPECT_EQ(placemarks, m + 1);
  EXPECT_NE(text.find("9,49,0 11,49,0 11,51,0 9,51,0 9,49,0"), std::string::npos);
  EXPECT_NE(ReadFileBytes(dir / "circle.kml").find("<Style id=\"selection\">"), std::string::npos);

  // A document that cannot be written makes the search fail; nothing found writes nothing.
  EXPECT_EQ(lib.SW_MultiSearchShpFile(0, 40, 20, 55, list, dir / "no-folder/rect.kml"), -1);
  EXPECT_FALSE(lib.LastError().empty());
  EXPECT_EQ(lib.SW_MultiSearchShpFile(500, 500, 600, 600, list, dir / "none.kml"), -1);
  EXPECT_FALSE(fs::exists(dir / "none.kml"));
}

TEST(ShapefileSearch, CutFidListEndsAfterAWholeFid) {
  int listed = -1;
  EXPECT_EQ(ShapeLibrary::CutFidList("12,345,6,", 100, &listed), "12,345,6,");
  EXPECT_EQ(listed, 3);
  EXPECT_EQ(ShapeLibrary::CutFidList("12,345,6,", 8, &listed), "12,345,");
  EXPECT_EQ(listed, 2);
  EXPECT_EQ(ShapeLibrary::CutFidList("12,345,6,", 7, &listed), "12,345,");
  EXPECT_EQ(listed, 2);
  EXPECT_EQ(ShapeLibrary::CutFidList("12,345,6,", 6, &listed), "12,");
  EXPECT_EQ(listed, 1);
  EXPECT_EQ(ShapeLibrary::CutFidList("12,345,6,", 2, &listed), "");
  EXPECT_EQ(listed, 0);
  EXPECT_EQ(ShapeLibrary::CutFidList("1;-2;3;", 5, nullptr), "1;-2;");
  EXPECT_EQ(ShapeLibrary::CutFidList("", 5, &listed), "");
  EXPECT_EQ(listed, 0);
}

}  // namespace
}  // namespace altimar::testing
