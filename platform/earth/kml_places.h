// Loads KML into a feature tree: Document, Folder, Placemark and the other
// features become nodes named by their <name>. The whole text must be
// well-formed XML, or nothing is loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/earth/features.h"

namespace altimar::earth {

struct KmlLoadResult {
  std::shared_ptr<Feature> root;  // null on failure
  std::string error;              // why it failed
};

struct KmlLoadOptions {
  // Threads a big file is read with (0: one per core, at most 8).
  unsigned threads = 0;
  // A file is read in parts only when each part gets at least this much.
  std::uint64_t minPartBytes = 16u << 20;
};

// From a file; the root is named after the document's name, else the file name.
KmlLoadResult LoadKmlFile(const std::string& path, const KmlLoadOptions& options = {});
// From text; the root is named after the document's name, else "Untitled".
KmlLoadResult LoadKmlText(std::string_view text);

}  // namespace altimar::earth
