// What the workspace does around a dBASE import, for the benchmarks and
// tests: open the shapefile and its table, read the field description into
// AttrDef, then ImportDbf.
#pragma once

#include <string>

#include "data/attribute_database.h"
#include "platform/shapefile/shape_library.h"

namespace altimar::bench {

// Opens base.shp and base.dbf and fills AttrDef from the field
// description; the record count, or -1 when the shapefile does not open.
inline int OpenShapefileColumns(data::AttributeDatabase& rdb, shapefile::ShapeLibrary& shapes,
                                const std::string& base) {
  if (!shapes.SW_OpenShpFile(base + ".shp")) return -1;
  shapes.SW_OpenDBFFile(base + ".dbf");
  std::string type, description;
  int records = 0;
  shapes.SW_GetMetaInfoFromShpDBF(type, records, 1, description);
  rdb.AttrCount = 0;
  for (std::size_t at; (at = description.find("\r\n")) != std::string::npos;) {
    const std::string line = description.substr(0, at);
    description.erase(0, at + 2);
    const std::size_t b1 = line.find(' '), b2 = line.rfind(' ');
    rdb.AttrDef[static_cast<std::size_t>(rdb.AttrCount++)] = {
        line.substr(0, b1), line.substr(b1 + 1, b2 - b1 - 1), line.substr(b2 + 1), "", "1", "1"};
  }
  return records;
}

inline bool ImportShapefileAttributes(data::AttributeDatabase& rdb, shapefile::ShapeLibrary& shapes,
                                      const std::string& base) {
  const int records = OpenShapefileColumns(rdb, shapes, base);
  return records >= 0 && rdb.ImportDbf(base + ".shp", records);
}

}  // namespace altimar::bench
