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

// Network links are followed to local files only, and only to regular files
// in the opened file's folder or below it (a relative href is taken from the
// linking file's folder; absolute paths and file:// URLs must lead there
// too), each file once, at most kMaxLinkedFiles files of kMaxLinkedBytes in
// all, kMaxLinkDepth links deep. A link that may not be followed stays an
// empty feature.
inline constexpr int kMaxLinkDepth = 4;
inline constexpr std::size_t kMaxLinkedFiles = 100;
inline constexpr std::uint64_t kMaxLinkedBytes = 1ull << 30;

// From a file; the root is named after the document's name, else the file name.
KmlLoadResult LoadKmlFile(const std::string& path, const KmlLoadOptions& options = {});
// From text; the root is named after the document's name, else "Untitled".
KmlLoadResult LoadKmlText(std::string_view text);

}  // namespace altimar::earth
