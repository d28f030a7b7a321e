// `altimar open FILE`: start the globe and the program, dock the workspace
// beside the globe and open FILE (a shapefile or a KML file) the way a user
// does: the open button, the file dialog answered with FILE. One summary
// line; on failure the message the program showed.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/earth/globe.h"
#include "platform/win/desktop.h"

namespace altimar::app {

struct OpenOptions {
  std::string file;
  std::string dir = ".";  // the program folder: bexo.mdb, the KML export
  std::optional<std::string> screenshot;
};

struct OpenBatchResult {
  int exitCode = 0;
  std::string summary;
  std::string error;
  std::shared_ptr<earth::Globe> globe;
};

OpenBatchResult RunOpenBatch(const OpenOptions& options, win::Desktop& desktop);

}  // namespace altimar::app
