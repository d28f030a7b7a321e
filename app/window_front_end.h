// The windowed front end: a real window (SDL2) showing the desktop with the
// globe and the program embedded in it. The person's mouse and keys go into
// the desktop as injected input does, through hooks, hot keys and capture.
#pragma once

#include "app/window_options.h"

namespace altimar::app {

// Runs until the window closes or the program ends; the exit code. Without
// a display it says so on stderr and returns 2; a --kml file the globe
// cannot open is reported on stderr, before the window opens, with 1.
int RunWindow(const WindowOptions& options);

}  // namespace altimar::app
