// The program's global hot keys, handled by subclassing a window of its own:
// Ctrl+F9 toggles the contour toolbar and F9 stops a fly-over (with the
// globe in front), F10 captures the view (globe or contour dialog in front),
// Ctrl+X is registered without an action. The actions belong to forms built
// elsewhere and are plugged in through HotkeyActions.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "platform/win/desktop.h"

namespace altimar::host {

struct HotkeyActions {
  std::function<void()> contourBarClick;     // the menu bar form's contour toolbar toggle
  std::function<void()> cancelSampling;      // sets CancelSampling
  std::function<void()> cameraClick;         // the menu bar form's view capture
  std::function<win::HWND()> geMainWindow;   // GEMainHwnd
  std::function<win::HWND()> contourDialog;  // the contour dialog's window, 0 if none
};

class Hotkeys {
 public:
  explicit Hotkeys(win::Desktop& desktop);

  void HotkeyInstall(win::HWND hwnd);
  void HotkeyRemove(win::HWND hwnd);

  std::array<std::int32_t, 10> HotkeyIds{1, 2, 3, 4};
  std::array<std::int32_t, 10> HotkeyModifiers{win::MOD_CONTROL, 0, 0, win::MOD_CONTROL};
  std::array<std::int32_t, 10> HotkeyKeys{win::VK_F9, win::VK_F9, win::VK_F10, 'X'};
  win::LONG SavedWndProc = 0;
  HotkeyActions actions;

 private:
  win::LRESULT HotkeyProc(win::HWND hwnd, win::UINT msg, win::WPARAM wp, win::LPARAM lp);
  bool InFront(win::HWND hwnd) const { return hwnd != 0 && desktop_.GetForegroundWindow() == hwnd; }

  win::Desktop& desktop_;
  win::LONG proc_ = 0;  // this module's window procedure, registered once
  static constexpr int kUsed = 4;
};

}  // namespace altimar::host
