#include "host/window_utils.h"

#include <algorithm>

namespace altimar::host {

using namespace altimar::win;

int AttachedWindows::Find(HWND control) const {
  for (int k = 1; k <= Count(); ++k)
    if (Hwnd[static_cast<std::size_t>(k)] == control) return k;
  return 0;
}

bool AttachedWindows::AttachWindow(HWND control, HWND parent) {
  if (!desktop_.IsWindow(control)) return false;
  int k = Find(control);
  if (k != 0 && State[static_cast<std::size_t>(k)] == 1) {
    // Still attached: move it, but keep the parent it first came from.
    NewParent[static_cast<std::size_t>(k)] = parent;
    desktop_.SetParent(control, parent);
    return true;
  }
  if (k == 0) {
    if (Count() >= 100) return false;
    k = static_cast<int>(++Hwnd[0]);
  }
  const auto e = static_cast<std::size_t>(k);
  Hwnd[e] = control;
  NewParent[e] = parent;
  OldParent[e] = desktop_.SetParent(control, parent);
  State[e] = 1;
  return true;
}

void AttachedWindows::DetachWindow(HWND control) {
  const int k = Find(control);
  if (k == 0 || State[static_cast<std::size_t>(k)] != 1) return;
  const auto e = static_cast<std::size_t>(k);
  NewParent[e] = 0;
  desktop_.SetParent(control, OldParent[e]);
  OldParent[e] = 0;
  State[e] = 0;
}

void SetLayeredStyle(Desktop& d, HWND hwnd, bool layered) {
  const LONG ex = d.GetWindowLongA(hwnd, GWL_EXSTYLE);
  d.SetWindowLongA(hwnd, GWL_EXSTYLE, layered ? (ex | WS_EX_LAYERED) : (ex & ~WS_EX_LAYERED));
}

void SetWindowAlpha(Desktop& d, HWND hwnd, int alpha) {
  SetLayeredStyle(d, hwnd, true);
  d.SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(std::clamp(alpha, 0, 255)), LWA_ALPHA);
}

void FadeInWindow(Desktop& d, HWND hwnd, bool pause) {
  for (int alpha = 1; alpha <= 255; ++alpha) {
    SetWindowAlpha(d, hwnd, alpha);
    if (pause) d.Sleep(1);
    d.DoEvents();
  }
  SetLayeredStyle(d, hwnd, false);
}

}  // namespace altimar::host
