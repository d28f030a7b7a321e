// Shapefiles: whatever bytes, written to a .shp (and, by the first byte, a
// .shx and a .dbf) in a scratch folder, then opened, every feature read,
// searched once by nearest point and once by rectangle, and exported to KML.
//
// Input: byte 0 % 3 == 0: the rest is the .shp alone. Otherwise the rest is
// pieces, each a 4-byte little-endian length then that many bytes (cut to
// what is left): .shp, .shx, and for byte 0 % 3 == 2 also the .dbf.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/shapefile/shape_library.h"
#include "scratch_files.h"

namespace {
using altimar::fuzzing::WriteBytes;
const std::string& Folder() { return altimar::fuzzing::ScratchFolder("shp"); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string base = Folder() + "/input";
  for (const char* ext : {".shp", ".shx", ".dbf"}) std::remove((base + ext).c_str());
  const int mode = data[0] % 3;
  ++data;
  --size;
  if (mode == 0) {
    WriteBytes(base + ".shp", data, size);
  } else {
    const char* exts[] = {".shp", ".shx", ".dbf"};
    for (int k = 0; k < mode + 1; ++k) {
      std::size_t n = 0;
      for (int b = 0; b < 4 && size > 0; ++b, ++data, --size) n |= std::size_t{*data} << (8 * b);
      n = std::min(n, size);
      WriteBytes(base + exts[k], data, n);
      data += n;
      size -= n;
    }
  }

  altimar::shapefile::ShapeLibrary lib;
  if (!lib.SW_OpenShpFile(base + ".shp")) return 0;
  lib.SW_OpenDBFFile(base + ".dbf");
  std::string type, fields, coords, attrs, box;
  int count = 0;
  lib.SW_GetMetaInfoFromShpDBF(type, count, 1, fields);
  for (int fid = 0; fid < count; ++fid) lib.SW_ReadFeature(fid, 1, coords, attrs, box);
  lib.SW_FindNearest(1.5, 2.5, coords, attrs);
  std::string list;
  lib.SW_MultiSearchShpFile(-10, -10, 10, 10, list, "");
  lib.SW_MultiSearchFeatureByCircle(0, 0, 3, 4, list, "", "");
  lib.SW_ExportShp2Kml(base, Folder() + "/out.kml");
  return 0;
}
