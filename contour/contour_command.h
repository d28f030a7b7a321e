// The toolbar's contour command: sample the view with the current sampling
// mode, then run the contour run into the program folder's contour.kml,
// with the toolbar disabled and the progress bar shown meanwhile.
#pragma once

#include <functional>
#include <string>

#include "contour/contour.h"

namespace altimar::contour {

// What the command does to the toolbar around it; the workspace fills it in.
struct ContourCommandUi {
  std::function<void(bool enabled)> enableToolbar;
  std::function<void(bool pressed)> pressContourButton;
  std::function<bool()> showProgress;  // the contour dialog's progress check box
  std::function<void()> placeProgressBar;
};

struct ContourCommandResult {
  bool sampled = false;
  ContourRunResult run;
};

// Errors of the globe calls end the command (the toolbar is restored) and
// propagate as automation::AutomationError.
ContourCommandResult RunContourCommand(Contour& c, const std::string& programDir,
                                       const ContourCommandUi& ui = {});

}  // namespace altimar::contour
