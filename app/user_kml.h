// A KML file a person names at start-up (`altimar --kml`, a script's
// `globe kml=`), opened in the running globe as its own File menu would.
#pragma once

#include <string>

#include "platform/automation/ge_interfaces.h"

namespace altimar::app {

// "" once the globe has opened the file, else why not: the globe's message,
// which carries the reader's (with line and column). A folder, device or
// pipe is refused before the globe would wait on it or read without end.
std::string OpenUserKml(automation::IApplicationGE& globe, const std::string& path);

}  // namespace altimar::app
