// The window front end's command-line options (`altimar` with no command):
// what the window's globe shows at start-up, and unattended runs.
#pragma once

#include <optional>
#include <string>

#include "app/contour_options.h"

namespace CLI {
class App;
}

namespace altimar::app {

struct WindowOptions {
  ContourOptions globe;  // --dem, the camera options and --dir
  // A KML file the globe opens once it runs, before the window shows.
  std::optional<std::string> kml;
  // For unattended runs (a screenshot in CI): end after this many ms and
  // write the screen to this PNG first.
  std::optional<int> quitAfterMs;
  std::optional<std::string> screenshot;
};

// Adds the window's options to the program's top level.
void AddWindowOptions(CLI::App& app, WindowOptions& o);

}  // namespace altimar::app
