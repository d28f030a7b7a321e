#include "host/window_search.h"

namespace altimar::host {

using namespace altimar::win;

namespace {
// Window texts and class names are read into 255-character buffers.
std::string Text(Desktop& d, HWND h) {
  char buf[256] = {};
  d.GetWindowTextA(h, buf, sizeof buf);
  return buf;
}
std::string Class(Desktop& d, HWND h) {
  char buf[256] = {};
  d.GetClassNameA(h, buf, sizeof buf);
  return buf;
}
}  // namespace

HWND WindowSearch::FindGEChildWindow(const std::string& text) {
  TopHwnd = 0;
  ChildHwnd = 0;
  Found = false;
  desktop_.EnumWindows([&](HWND h) {
    if (Text(desktop_, h) != TopTitle) return true;
    TopHwnd = h;
    return false;
  });
  if (TopHwnd == 0) return 0;
  Search(TopHwnd, text);
  return ChildHwnd;
}

void WindowSearch::Search(HWND parent, const std::string& text) {
  for (HWND c = desktop_.GetWindow(parent, GW_CHILD); c != 0 && !Found;
       c = desktop_.GetWindow(c, GW_HWNDNEXT)) {
    if (Text(desktop_, c) == text && Class(desktop_, c) == ClassName) {
      ChildHwnd = c;
      Found = true;
      return;
    }
    Search(c, text);
  }
}

}  // namespace altimar::host
