// `altimar contour`: start the globe on the embedded terrain (or a DEM), put
// the camera over the view and run the contour command (sampling, then the
// contour run into DIR/contour.kml); or, for a DEM without a camera option,
// fill the grid straight from the DEM's cells. One summary line.
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
// The default view the globe opens with: straight down over the Alps.
inline constexpr double kDefaultLat = 47.3, kDefaultLon = 11.4, kDefaultRange = 30000;

struct ContourBatchResult {
  int exitCode = 0;
  std::string summary;  // the line printed on success
  std::string error;    // the message on failure
  contour::ContourRunResult run;
  int cols = 0, rows = 0;  // the grid that was contoured
  std::shared_ptr<earth::Globe> globe;  // the globe the file was opened in
};

ContourBatchResult RunContourBatch(const ContourOptions& options, win::Desktop& desktop,
                                   contour::ProgressBar* progress = nullptr);

}  // namespace altimar::app
