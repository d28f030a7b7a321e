// DEM files: whatever bytes, opened through GDAL from memory, then queried.
#include <cpl_vsi.h>

#include <cstdint>
#include <string>

#include "platform/earth/dem_terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = "/vsimem/fuzz_dem";
  VSILFILE* f = VSIFileFromMemBuffer(path, const_cast<GByte*>(data), size, FALSE);
  if (!f) return 0;
  VSIFCloseL(f);
  try {
    auto dem = altimar::earth::DemTerrain::Open(path, 256);
    const auto c = dem->CellCentres();
    for (int k = 0; k <= 8; ++k) {
      const double lon = c.west + (c.east - c.west) * k / 8.0;
      const double lat = c.south + (c.north - c.south) * k / 8.0;
      (void)dem->HeightAt(lon, lat);
      (void)dem->HeightAt(lon + 400, -lat);
    }
  } catch (const altimar::earth::DemError&) {
  }
  VSIUnlink(path);
  return 0;
}
