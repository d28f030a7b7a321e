// Checks of the files a contour run will write, made before the run so that
// a bad path costs nothing and replaces nothing.
#pragma once

#include <string>

#include "app/contour_options.h"

namespace altimar::app {

// Why files cannot be created in the folder, or empty. `what` names it in
// the message ("the folder", "the screenshot's folder").
std::string CheckWritableFolder(const std::string& dir, const std::string& what);

// Why the run's outputs (DIR/contour.kml, the screenshot) cannot all be
// written side by side, or empty: each folder must exist and take new
// files, the screenshot must not be a folder, the contour document or the
// DEM.
std::string CheckContourOutputs(const ContourOptions& o);

}  // namespace altimar::app
