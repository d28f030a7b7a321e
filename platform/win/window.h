// A window on the desktop. Internal to platform/win.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::win {

// Callers may pass any int as a coordinate or size. The desktop keeps every
// coordinate it stores or computes within +-kCoordinateLimit, so the sum or
// difference of two of them always fits a LONG; far-off values saturate.
// A window keeps its own pixels, so its sides are at most kMaxExtent.
inline constexpr LONG kCoordinateLimit = 1 << 29;
inline constexpr LONG kMaxExtent = 4096;
inline LONG Coordinate(std::int64_t v) {
  return static_cast<LONG>(std::clamp<std::int64_t>(v, -kCoordinateLimit, kCoordinateLimit));
}
inline LONG Extent(std::int64_t v) { return static_cast<LONG>(std::clamp<std::int64_t>(v, 0, kMaxExtent)); }
// A rectangle at x, y of size w by h: the size saturates, then the position
// does, so that the rectangle keeps its size.
inline RECT Placed(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  const LONG width = Extent(w), height = Extent(h);
  const LONG left = static_cast<LONG>(std::clamp<std::int64_t>(x, -kCoordinateLimit, kCoordinateLimit - width));
  const LONG top = static_cast<LONG>(std::clamp<std::int64_t>(y, -kCoordinateLimit, kCoordinateLimit - height));
  return {left, top, left + width, top + height};
}

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
  int clientWidth() const { return Coordinate(std::int64_t{rect.width()} - frame.left - frame.right); }
  int clientHeight() const { return Coordinate(std::int64_t{rect.height()} - frame.top - frame.bottom); }
};

}  // namespace altimar::win
