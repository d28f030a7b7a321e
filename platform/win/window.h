// A window on the desktop. Internal to platform/win.
#pragma once

#include <string>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::win {

struct Window {
  HWND handle = 0;
  std::string className, text;
  HWND parent = 0;              // Desktop::kDesktopWindow for top-level windows
  std::vector<HWND> children;   // z-order, front first
  RECT rect;                    // relative to the parent's client area
  RECT frame;                   // non-client insets: left, top, right, bottom
  RECT restore;                 // where a maximised window goes back to
  bool visible = false, enabled = true, minimized = false, maximized = false;
  LONG style = 0, exStyle = 0;
  BYTE alpha = 255;
  LONG proc = 0;                // registered window procedure, 0 for none
  int program = 0;
  int flashes = 0;
  int cursor = 0;  // pointer shape over it: 0 inherit/default, 11 hourglass
  bool invalid = false;  // needs WM_PAINT before the screen is next composed
  Surface surface;

  bool topmost() const { return (exStyle & WS_EX_TOPMOST) != 0; }
  int clientWidth() const { return rect.width() - frame.left - frame.right; }
  int clientHeight() const { return rect.height() - frame.top - frame.bottom; }
};

}  // namespace altimar::win
