#include "host/hotkeys.h"

namespace altimar::host {

using namespace altimar::win;

Hotkeys::Hotkeys(Desktop& desktop) : desktop_(desktop) {
  proc_ = desktop_.RegisterWndProc(
      [this](HWND h, UINT m, WPARAM w, LPARAM l) { return HotkeyProc(h, m, w, l); });
}

void Hotkeys::HotkeyInstall(HWND hwnd) {
  if (!desktop_.IsWindow(hwnd)) return;
  SavedWndProc = desktop_.SetWindowLongA(hwnd, GWL_WNDPROC, proc_);
  for (int k = 0; k < kUsed; ++k)
    desktop_.RegisterHotKey(hwnd, HotkeyIds[static_cast<std::size_t>(k)],
                            static_cast<UINT>(HotkeyModifiers[static_cast<std::size_t>(k)]),
                            static_cast<UINT>(HotkeyKeys[static_cast<std::size_t>(k)]));
}

void Hotkeys::HotkeyRemove(HWND hwnd) {
  if (!desktop_.IsWindow(hwnd)) return;
  desktop_.SetWindowLongA(hwnd, GWL_WNDPROC, SavedWndProc);
  for (int k = 0; k < kUsed; ++k) desktop_.UnregisterHotKey(hwnd, HotkeyIds[static_cast<std::size_t>(k)]);
}

LRESULT Hotkeys::HotkeyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_HOTKEY) {
    for (int k = 0; k < kUsed; ++k) {
      const auto slot = static_cast<std::size_t>(k);
      if (HotkeyIds[slot] != static_cast<std::int32_t>(wp)) continue;
      if (LOWORD(static_cast<WPARAM>(lp)) != HotkeyModifiers[slot] ||
          HIWORD(static_cast<WPARAM>(lp)) != HotkeyKeys[slot])
        break;
      const HWND ge = actions.geMainWindow ? actions.geMainWindow() : 0;
      const HWND dialog = actions.contourDialog ? actions.contourDialog() : 0;
      switch (k) {
        case 0:
          if (InFront(ge) && actions.contourBarClick) actions.contourBarClick();
          break;
        case 1:
          if (InFront(ge) && actions.cancelSampling) actions.cancelSampling();
          break;
        case 2:
          if ((InFront(ge) || InFront(dialog)) && actions.cameraClick) actions.cameraClick();
          break;
        default:
          break;  // Ctrl+X: registered, no action
      }
      break;
    }
  }
  // Every message, handled or not, goes on to the window's own procedure.
  return desktop_.CallWindowProcA(SavedWndProc, hwnd, msg, wp, lp);
}

}  // namespace altimar::host
