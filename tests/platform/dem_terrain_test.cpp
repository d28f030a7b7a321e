#include "platform/earth/dem_terrain.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using earth::DemError;
using earth::DemTerrain;

const std::string kLuxembourg = std::string(ALTIMAR_TESTDATA) + "/dem/luxembourg_elev.tif";

fs::path TempFile(const std::string& name) {
  return fs::temp_directory_path() / ("altimar_dem_" + name);
}

// Cell values read with GDAL itself, to compare with.
std::vector<float> ReadBand(const std::string& path, int& w, int& h) {
  GDALAllRegister();
  auto* ds = GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY);
  w = ds->GetRasterXSize();
  h = ds->GetRasterYSize();
  std::vector<float> v(static_cast<std::size_t>(w * h));
  EXPECT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Read, 0, 0, w, h, v.data(), w, h, GDT_Float32, 0, 0,
                                           nullptr),
            CE_None);
  GDALClose(ds);
  return v;
}

TEST(DemTerrain, ReadsTheLuxembourgGridAtItsCellCentres) {
  auto dem = DemTerrain::Open(kLuxembourg);
  const auto c = dem->CellCentres();
  EXPECT_EQ(c.cols, 95);
  EXPECT_EQ(c.rows, 90);
  const double cell = 1.0 / 120;  // 30 seconds
  EXPECT_NEAR(c.west, 5.7417 + cell / 2, 1e-3);
  EXPECT_NEAR(c.north, 50.1917 - cell / 2, 1e-3);
  EXPECT_NEAR(c.east - c.west, 94 * cell, 1e-9);
  EXPECT_NEAR(c.north - c.south, 89 * cell, 1e-9);

  int w = 0, h = 0;
  const auto cells = ReadBand(kLuxembourg, w, h);
  int valid = 0, nodata = 0;
  double lo = 1e9, hi = -1e9;
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const float v = cells[static_cast<std::size_t>(row * w + col)];
      const auto got = dem->HeightAt(c.west + col * (c.east - c.west) / (c.cols - 1),
                                     c.north - row * (c.north - c.south) / (c.rows - 1));
      if (v == -32768.0f) {
        EXPECT_FALSE(got.has_value()) << col << "," << row;
        ++nodata;
      } else {
        ASSERT_TRUE(got.has_value()) << col << "," << row;
        EXPECT_NEAR(*got, v, 1e-6) << col << "," << row;
        lo = std::min(lo, *got);
        hi = std::max(hi, *got);
        ++valid;
      }
    }
  }
  EXPECT_GT(nodata, 0) << "the file has nodata cells";
  EXPECT_NEAR(lo, 141, 1e-6);
  EXPECT_NEAR(hi, 547, 1e-6);
}

TEST(DemTerrain, InterpolatesBetweenCentresAndHasNoDataOutside) {
  auto dem = DemTerrain::Open(kLuxembourg);
  const auto c = dem->CellCentres();
  EXPECT_FALSE(dem->HeightAt(c.west - 0.1, c.south + 0.1));
  EXPECT_FALSE(dem->HeightAt(c.east + 0.1, c.south + 0.1));
  EXPECT_FALSE(dem->HeightAt(6.0, 60.0));
  // Halfway between two valid centres: their mean.
  const double cell = 1.0 / 120;
  const double lat = c.north - 45 * cell;
  auto a = dem->HeightAt(c.west + 40 * cell, lat), b = dem->HeightAt(c.west + 41 * cell, lat);
  auto mid = dem->HeightAt(c.west + 40.5 * cell, lat);
  ASSERT_TRUE(a && b && mid);
  EXPECT_NEAR(*mid, (*a + *b) / 2, 1e-6);
}

TEST(DemTerrain, FilesThatCannotBeUsedGiveAClearError) {
  const fs::path notRaster = TempFile("not_a_raster.tif");
  std::ofstream(notRaster) << "this is not a raster";
  try {
    DemTerrain::Open(notRaster.string());
    FAIL() << "expected DemError";
  } catch (const DemError& e) {
    EXPECT_NE(std::string(e.what()).find("cannot open"), std::string::npos) << e.what();
  }
  fs::remove(notRaster);
  EXPECT_THROW(DemTerrain::Open("/nonexistent/dem.tif"), DemError);

  // A raster without a geotransform.
  GDALAllRegister();
  const fs::path bare = TempFile("bare.tif");
  auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
  auto* ds = drv->Create(bare.string().c_str(), 4, 4, 1, GDT_Int16, nullptr);
  GDALClose(ds);
  try {
    DemTerrain::Open(bare.string());
    FAIL() << "expected DemError";
  } catch (const DemError& e) {
    EXPECT_NE(std::string(e.what()).find("no georeferencing"), std::string::npos) << e.what();
  }
  fs::remove(bare);
}

TEST(DemTerrain, AsciiGridsWithoutACoordinateSystemAreLonLatWhenTheyCanOnlyBeThat) {
  const fs::path asc = TempFile("grid.asc");
  std::ofstream(asc) << "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 45\ncellsize 0.5\n"
                        "NODATA_value -9999\n1 2 3\n4 -9999 6\n";
  auto dem = DemTerrain::Open(asc.string());
  EXPECT_DOUBLE_EQ(*dem->HeightAt(10.25, 45.75), 1);   // top row
  EXPECT_DOUBLE_EQ(*dem->HeightAt(11.25, 45.25), 6);   // bottom row
  EXPECT_FALSE(dem->HeightAt(10.75, 45.25));            // its nodata cell
  fs::remove(asc);

  std::ofstream(asc) << "ncols 2\nnrows 2\nxllcorner 600000\nyllcorner 5200000\ncellsize 100\n"
                        "1 2\n3 4\n";
  EXPECT_THROW(DemTerrain::Open(asc.string()), DemError);
  fs::remove(asc);
}

TEST(DemTerrain, ProjectedRastersAreReachedFromLonLat) {
  GDALAllRegister();
  const fs::path utm = TempFile("utm.tif");
  auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
  auto* ds = drv->Create(utm.string().c_str(), 100, 100, 1, GDT_Float32, nullptr);
  double gt[6] = {600000, 100, 0, 5250000, 0, -100};
  ds->SetGeoTransform(gt);
  OGRSpatialReference srs;
  srs.importFromEPSG(32632);
  ds->SetSpatialRef(&srs);
  std::vector<float> v(100 * 100);
  for (int r = 0; r < 100; ++r)
    for (int col = 0; col < 100; ++col) v[static_cast<std::size_t>(r * 100 + col)] = static_cast<float>(col);
  ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 100, 100, v.data(), 100, 100,
                                           GDT_Float32, 0, 0, nullptr),
            CE_None);
  GDALClose(ds);

  // The centre of column 50, row 50, in lon/lat.
  OGRSpatialReference wgs;
  wgs.SetWellKnownGeogCS("WGS84");
  wgs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&srs, &wgs));
  double x = 600000 + 50.5 * 100, y = 5250000 - 50.5 * 100;
  ASSERT_TRUE(t->Transform(1, &x, &y));
  auto dem = DemTerrain::Open(utm.string());
  auto h = dem->HeightAt(x, y);
  ASSERT_TRUE(h);
  EXPECT_NEAR(*h, 50, 1e-3);
  const auto c = dem->CellCentres();
  EXPECT_LT(c.west, x);
  EXPECT_GT(c.east, x);
  EXPECT_EQ(c.cols, 100);

  auto small = DemTerrain::Open(utm.string(), 10);  // read decimated
  EXPECT_EQ(small->width(), 10);
  ASSERT_TRUE(small->HeightAt(x, y));
  EXPECT_NEAR(*small->HeightAt(x, y), 50, 10);
  fs::remove(utm);
}

}  // namespace
}  // namespace altimar::testing
