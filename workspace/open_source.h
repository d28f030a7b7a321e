// The open data source: what an open sets and the next open replaces.
#pragma once

#include <cstdint>
#include <string>

namespace altimar::workspace {

enum OpenFileTypes : std::int16_t { kNoSource = 0, kShapefile = 1, kKml = 2, kGml = 3 };

struct OpenSource {
  std::string OpenFileBase;  // the chosen path without its extension
  std::int16_t OpenFileType = kNoSource;
  std::string ShapeTypeName;     // as the shapefile library names it
  std::int32_t RecordCount = 0;  // records of the open shapefile
};

}  // namespace altimar::workspace
