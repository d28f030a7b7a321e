// What the program knows of the globe's windows, shared by every part that
// draws on them or measures them (each re-reads them before use).
#pragma once

#include "platform/win/desktop.h"

namespace altimar::host {

struct GEWindows {
  win::HWND GEMainHwnd = 0;
  win::RECT GEMainRect{};    // screen pixels
  win::RECT GERenderRect{};  // screen pixels
  bool GEWasMaximized = false, GEWasMinimized = false;
};

// True when a top-level "QWidget" window titled "Google Earth", "Google
// Earth Plus" or "Google Earth Pro" exists.
inline bool IsGERunning(win::Desktop& d) {
  for (const char* title : {"Google Earth", "Google Earth Plus", "Google Earth Pro"})
    if (d.FindWindowA("QWidget", title) != 0) return true;
  return false;
}

}  // namespace altimar::host
