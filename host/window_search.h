// Finding the globe's child windows: the top-level window titled exactly
// "Google Earth", then depth-first among its descendants the first whose
// text is the one asked for and whose class is "QWidget".
#pragma once

#include <string>

#include "platform/win/desktop.h"

namespace altimar::host {

class WindowSearch {
 public:
  explicit WindowSearch(win::Desktop& desktop) : desktop_(desktop) {}
  // The child's handle, or 0 when the globe or the child is missing.
  win::HWND FindGEChildWindow(const std::string& text);

  std::string TopTitle = "Google Earth";
  std::string ClassName = "QWidget";
  win::HWND TopHwnd = 0;
  win::HWND ChildHwnd = 0;
  bool Found = false;

 private:
  void Search(win::HWND parent, const std::string& text);
  win::Desktop& desktop_;
};

}  // namespace altimar::host
