// Makes the export benchmark's input and runs the export alone, for
// export_vs_ogr.sh:
//   shapefile_tool points BASE N   writes N random points with 7 attributes
//   shapefile_tool export BASE KML exports BASE.shp/.dbf to KML
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/synthetic_shapefiles.h"
#include "platform/shapefile/shape_library.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "points" && argc == 4) return altimar::bench::WriteRandomPoints(argv[2], std::atoi(argv[3])) ? 0 : 1;
  if (command == "export" && argc == 4) {
    altimar::shapefile::ShapeLibrary lib;
    const int n = lib.SW_ExportShp2Kml(argv[2], argv[3]);
    if (n < 0) {
      std::fprintf(stderr, "shapefile_tool: %s\n", lib.LastError().c_str());
      return 1;
    }
    std::printf("%d records processed.\n", n);
    return 0;
  }
  std::fprintf(stderr, "usage: shapefile_tool points BASE N | export BASE KML\n");
  return 2;
}
