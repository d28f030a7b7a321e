// Re-parenting the program's windows into other programs' windows (the
// attached-window registry) and window transparency.
#pragma once

#include <array>
#include <cstdint>

#include "platform/win/desktop.h"

namespace altimar::host {

class AttachedWindows {
 public:
  explicit AttachedWindows(win::Desktop& desktop) : desktop_(desktop) {}

  // Re-parents the control's window and records where it came from. A
  // control still attached keeps its entry and its first old parent. Returns
  // false (and changes nothing) when all 100 entries are taken.
  bool AttachWindow(win::HWND control, win::HWND parent);
  bool SetFormParentToGE(win::HWND form, win::HWND parent) { return AttachWindow(form, parent); }
  // Puts an attached window back under its old parent.
  void DetachWindow(win::HWND control);
  int Count() const { return static_cast<int>(Hwnd[0]); }

  // Element 0 of Hwnd holds the number of entries in use.
  std::array<std::intptr_t, 101> Hwnd{};
  std::array<std::intptr_t, 101> NewParent{};
  std::array<std::intptr_t, 101> OldParent{};
  std::array<std::int32_t, 101> State{};

 private:
  int Find(win::HWND control) const;
  win::Desktop& desktop_;
};

void SetLayeredStyle(win::Desktop& d, win::HWND hwnd, bool layered);
void SetWindowAlpha(win::Desktop& d, win::HWND hwnd, int alpha);
// Alpha 1 to 255 in steps of 1, yielding to events between steps (and
// sleeping 1 ms each when pause is set); the layered style goes at the end.
void FadeInWindow(win::Desktop& d, win::HWND hwnd, bool pause);

}  // namespace altimar::host
