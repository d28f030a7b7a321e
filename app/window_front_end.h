// The windowed front end: a real window (SDL2) showing the desktop with the
// globe and the program embedded in it. The person's mouse and keys go into
// the desktop as injected input does, through hooks, hot keys and capture.
#pragma once

#include <optional>
#include <string>

#include "app/contour_options.h"

namespace altimar::app {

struct WindowOptions {
  ContourOptions globe;  // --dem, the camera options and --dir
  // For unattended runs (a screenshot in CI): end after this many ms and
  // write the screen to this PNG first.
  std::optional<int> quitAfterMs;
  std::optional<std::string> screenshot;
};

// Runs until the window closes or the program ends; the exit code. Without
// a display it says so on stderr and returns 2.
int RunWindow(const WindowOptions& options);

}  // namespace altimar::app
