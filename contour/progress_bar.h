// The progress bar the contour code reports to (ProgressBar1 of the
// workspace form): the form runtime's progress interface.
#pragma once

#include "platform/forms/progress.h"

namespace altimar::contour {

using ProgressBar = forms::IProgressBar;
using forms::PlainProgressBar;
using forms::SetProgressValue;

}  // namespace altimar::contour
