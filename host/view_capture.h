// Capture of the globe's 3D view to "Altimar.bmp" in the program folder:
// the visible part of the view (clamped to the screen), through an
// off-screen picture; a second capture replaces the first.
#pragma once

#include <string>

#include "platform/automation/ge_interfaces.h"
#include "platform/forms/pictures.h"

namespace altimar::host {

// renderHwnd receives the 3D view's handle. Returns "" on success, "" too
// when the view's rectangle cannot be read (nothing is captured then), or
// why the file could not be written (the earlier file stays as it was).
std::string CaptureView(win::Desktop& d, automation::IApplicationGE& ge, forms::PictureBox& picBmp,
                        const std::string& programDir, win::HWND& renderHwnd);

}  // namespace altimar::host
