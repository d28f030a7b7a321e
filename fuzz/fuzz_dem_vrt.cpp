// VRT files: whatever bytes, written as input.vrt beside a small GeoTIFF
// tile, a text file and a FIFO in a folder of the fuzzer's own, then opened
// through DemTerrain::Open and queried. Opening the FIFO would hang (and
// the run time out); a raw band that opens is a failure.
#include <cpl_minixml.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/earth/dem_terrain.h"

namespace {

namespace fs = std::filesystem;

fs::path gDir;

void RemoveFolder() {
  std::error_code ec;
  fs::remove_all(gDir, ec);
}

// tile.tif: 8 x 8 cells in lon/lat from 6 E 50 N, 0.01 degree apart.
fs::path MakeFolder() {
  char tmpl[] = "/tmp/altimar_fuzz_vrt_XXXXXX";
  if (::mkdtemp(tmpl) == nullptr) std::abort();
  gDir = tmpl;
  std::atexit(RemoveFolder);
  GDALAllRegister();
  auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* ds = drv->Create((gDir / "tile.tif").c_str(), 8, 8, 1, GDT_Float32, nullptr);
  if (ds == nullptr) std::abort();
  double gt[6] = {6.0, 0.01, 0, 50.0, 0, -0.01};
  ds->SetGeoTransform(gt);
  OGRSpatialReference srs;
  srs.SetWellKnownGeogCS("WGS84");
  ds->SetSpatialRef(&srs);
  float cells[64];
  for (int k = 0; k < 64; ++k) cells[k] = 1000.0f + static_cast<float>(k);
  if (ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 8, 8, cells, 8, 8, GDT_Float32, 0, 0, nullptr) != CE_None)
    std::abort();
  GDALClose(ds);
  std::ofstream(gDir / "notes.txt") << "ncols are not heights\n";
  if (::mkfifo((gDir / "pipe.tif").c_str(), 0600) != 0) std::abort();
  return gDir / "input.vrt";
}

// Whether the VRT has a band GDAL reads as raw cells, found as GDAL finds it.
bool HasRawBand(const CPLXMLNode* node) {
  for (; node != nullptr; node = node->psNext) {
    if (node->eType != CXT_Element) continue;
    if (std::strcmp(node->pszValue, "VRTRasterBand") == 0 &&
        std::strcmp(CPLGetXMLValue(node, "subClass", ""), "VRTRawRasterBand") == 0)
      return true;
    if (HasRawBand(node->psChild)) return true;
  }
  return false;
}

bool HasRawBand(const fs::path& vrt) {
  CPLXMLNode* tree = CPLParseXMLFile(vrt.c_str());
  const bool raw = HasRawBand(tree);
  CPLDestroyXMLNode(tree);
  return raw;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fs::path input = MakeFolder();
  {
    std::ofstream out(input, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    auto dem = altimar::earth::DemTerrain::Open(input.string(), 64);
    if (HasRawBand(input)) std::abort();  // a file was read as raw cells
    const auto c = dem->CellCentres();
    for (int k = 0; k <= 8; ++k) {
      const double lon = c.west + (c.east - c.west) * k / 8.0;
      const double lat = c.south + (c.north - c.south) * k / 8.0;
      (void)dem->HeightAt(lon, lat);
      (void)dem->HeightAt(lon + 400, -lat);
    }
  } catch (const altimar::earth::DemError&) {
  }
  return 0;
}
