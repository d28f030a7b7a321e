// Writes the embedded terrain over a window as a GeoTIFF DEM, for runs that
// compare the contour command with other contouring tools on the same
// heights:  procedural_dem OUT.tif [SIDE]   (SIDE cells a side, default 999;
// the Alpine window 11.2..11.6 E, 47.15..47.45 N).
#include <gdal_priv.h>
#include <ogr_srs_api.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/contour_batch.h"
#include "platform/earth/procedural_terrain.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: procedural_dem OUT.tif [SIDE]\n");
    return 2;
  }
  const int side = argc > 2 ? std::atoi(argv[2]) : 999;
  if (side < 2 || side > 20000) {
    std::fprintf(stderr, "SIDE must be 2 to 20000\n");
    return 2;
  }
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* ds = driver ? driver->Create(argv[1], side, side, 1, GDT_Float32, nullptr) : nullptr;
  if (!ds) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }
  const auto w = altimar::app::kDefaultWindow;
  const double dx = (w.east - w.west) / side, dy = (w.north - w.south) / side;
  double transform[6] = {w.west, dx, 0, w.north, 0, -dy};
  ds->SetGeoTransform(transform);
  ds->SetProjection(SRS_WKT_WGS84_LAT_LONG);
  std::vector<float> row(static_cast<std::size_t>(side));
  CPLErr err = CE_None;
  for (int j = 0; j < side && err == CE_None; ++j) {
    const double lat = w.north - (j + 0.5) * dy;
    for (int i = 0; i < side; ++i)
      row[static_cast<std::size_t>(i)] =
          static_cast<float>(altimar::earth::ProceduralTerrain::Height(w.west + (i + 0.5) * dx, lat));
    err = ds->GetRasterBand(1)->RasterIO(GF_Write, 0, j, side, 1, row.data(), side, 1, GDT_Float32, 0, 0);
  }
  GDALClose(ds);
  return err == CE_None ? 0 : 1;
}
