// Runs one dBASE import alone, for import_vs_ogr.sh:
//   data_tool import BASE FOLDER   imports BASE.dbf into FOLDER/bexo.mdb
#include <cstdio>
#include <string>

#include "attribute_import.h"

int main(int argc, char** argv) {
  if (argc != 4 || std::string(argv[1]) != "import") {
    std::fprintf(stderr, "usage: data_tool import BASE FOLDER\n");
    return 2;
  }
  altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  altimar::shapefile::ShapeLibrary shapes;
  altimar::data::AttributeDatabase rdb(desktop, shapes, argv[3]);
  if (!altimar::bench::ImportShapefileAttributes(rdb, shapes, argv[2])) {
    std::fprintf(stderr, "data_tool: %s\n", rdb.LastError().c_str());
    return 1;
  }
  std::printf("%lld rows\n", static_cast<long long>(rdb.FeatureRs->RecordCount()));
  return 0;
}
