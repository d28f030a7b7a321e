// Generated shapefiles for the shapefile benchmarks, written with shapelib:
// random points over the globe with seven attributes of every dBASE type,
// and random-walk polylines.
#pragma once

#include <shapefil.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace altimar::bench {

// base.shp/.shx/.dbf with n points; fields NAME C20, CODE N10, VALUE N15.6,
// FLAG L1, DAY D8, KIND C10, HEIGHT F12.3.
inline bool WriteRandomPoints(const std::string& base, int n, unsigned seed = 1) {
  SHPHandle shp = SHPCreate(base.c_str(), SHPT_POINT);
  DBFHandle dbf = DBFCreate((base + ".dbf").c_str());
  if (!shp || !dbf) return false;
  DBFAddField(dbf, "NAME", FTString, 20, 0);
  DBFAddField(dbf, "CODE", FTInteger, 10, 0);
  DBFAddField(dbf, "VALUE", FTDouble, 15, 6);
  DBFAddField(dbf, "FLAG", FTLogical, 1, 0);
  DBFAddNativeFieldType(dbf, "DAY", 'D', 8, 0);
  DBFAddField(dbf, "KIND", FTString, 10, 0);
  DBFAddNativeFieldType(dbf, "HEIGHT", 'F', 12, 3);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-85, 85), value(-1000, 1000);
  const char* kinds[] = {"town", "peak", "lake", "spring", "pass"};
  for (int i = 0; i < n; ++i) {
    double x = lon(rng), y = lat(rng);
    SHPObject* o = SHPCreateSimpleObject(SHPT_POINT, 1, &x, &y, nullptr);
    SHPWriteObject(shp, -1, o);
    SHPDestroyObject(o);
    char name[32], day[16];
    std::snprintf(name, sizeof name, "Place %d", i);
    std::snprintf(day, sizeof day, "20%02d%02d%02d", i % 25, 1 + i % 12, 1 + i % 28);
    DBFWriteStringAttribute(dbf, i, 0, name);
    DBFWriteIntegerAttribute(dbf, i, 1, i * 7);
    DBFWriteDoubleAttribute(dbf, i, 2, value(rng));
    DBFWriteLogicalAttribute(dbf, i, 3, i % 2 ? 'T' : 'F');
    DBFWriteStringAttribute(dbf, i, 4, day);
    DBFWriteStringAttribute(dbf, i, 5, kinds[i % 5]);
    DBFWriteDoubleAttribute(dbf, i, 6, y * 50);
  }
  SHPClose(shp);
  DBFClose(dbf);
  return true;
}

// base.shp/.shx/.dbf with n polylines of `vertices` vertices each, random
// walks of steps up to 0.05 degrees.
inline bool WriteRandomPolylines(const std::string& base, int n, int vertices, unsigned seed = 2) {
  SHPHandle shp = SHPCreate(base.c_str(), SHPT_ARC);
  DBFHandle dbf = DBFCreate((base + ".dbf").c_str());
  if (!shp || !dbf) return false;
  DBFAddField(dbf, "ID", FTInteger, 10, 0);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-85, 85), step(-0.05, 0.05);
  std::vector<double> x(static_cast<std::size_t>(vertices)), y(x.size());
  for (int i = 0; i < n; ++i) {
    x[0] = lon(rng);
    y[0] = lat(rng);
    for (std::size_t k = 1; k < x.size(); ++k) {
      x[k] = x[k - 1] + step(rng);
      y[k] = y[k - 1] + step(rng);
    }
    SHPObject* o = SHPCreateSimpleObject(SHPT_ARC, vertices, x.data(), y.data(), nullptr);
    SHPWriteObject(shp, -1, o);
    SHPDestroyObject(o);
    DBFWriteIntegerAttribute(dbf, i, 0, i);
  }
  SHPClose(shp);
  DBFClose(dbf);
  return true;
}

}  // namespace altimar::bench
