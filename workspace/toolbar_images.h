// The pictures of the toolbar's buttons, drawn by the program itself.
#pragma once

#include <string>

#include "platform/win/font.h"
#include "platform/win/surface.h"

namespace altimar::workspace {

inline constexpr int kToolbarImageSize = 16;

// The picture for a button key: contour lines for the contour commands, a
// letter on a coloured tile for the workspace commands.
win::Surface ToolbarImage(const std::string& key, win::FontEngine& fonts);

}  // namespace altimar::workspace
