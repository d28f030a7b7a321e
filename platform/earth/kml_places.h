// Loads KML into a feature tree: Document, Folder, Placemark and the other
// features become nodes named by their <name>. The whole text must be
// well-formed XML, or nothing is loaded.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/earth/features.h"

namespace altimar::earth {

struct KmlLoadResult {
  std::shared_ptr<Feature> root;  // null on failure
  std::string error;              // why it failed
};

// From a file; the root is named after the document's name, else the file name.
KmlLoadResult LoadKmlFile(const std::string& path);
// From text; the root is named after the document's name, else "Untitled".
KmlLoadResult LoadKmlText(std::string_view text);

}  // namespace altimar::earth
