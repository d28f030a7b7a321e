// `altimar contour`: fill the height grid from the embedded terrain or a
// DEM, run the contour run into DIR/contour.kml with a globe running, and
// report one summary line.
#pragma once

#include <memory>
#include <string>

#include "app/contour_options.h"
#include "contour/contour.h"
#include "platform/earth/globe.h"
#include "platform/win/desktop.h"

namespace altimar::app {

// The Alpine window the embedded terrain is contoured over by default.
inline constexpr contour::GridWindow kDefaultWindow{11.2, 47.15, 11.6, 47.45};

struct ContourCommandResult {
  int exitCode = 0;
  std::string summary;  // the line printed on success
  std::string error;    // the message on failure
  contour::ContourRunResult run;
  int cols = 0, rows = 0;  // the grid that was contoured
  std::shared_ptr<earth::Globe> globe;  // the globe the file was opened in
};

ContourCommandResult RunContourCommand(const ContourOptions& options, win::Desktop& desktop,
                                       contour::ProgressBar* progress = nullptr);

}  // namespace altimar::app
