// Picking a colour from any point of the screen: the "GetColor" mouse-hook
// client previews the colour under the pointer in the dialog that started
// the pick, the next left press ends it (and never reaches the window under
// the pointer), Escape abandons it. With the bounding-box dialog's "Rubber
// band" ticked, a red XOR line runs from its swatch to the pointer.
#pragma once

#include <cstdint>

#include "host/mouse_hooks.h"
#include "platform/win/desktop.h"

namespace altimar::ui {

class StyleForms;

class ScreenPick {
 public:
  ScreenPick(win::Desktop& desktop, host::MouseHooks& hooks, StyleForms& styles);

  // The "Screen" button: the client starts listening.
  void Start();
  void PreviewScreenColor();
  void RubberBandBegin();
  void RubberBandDraw();
  void RubberBandEnd();

  bool PickBusy = false;
  win::POINT PickPoint{};
  win::POINT RubberAnchor{}, RubberEnd{};
  bool RubberFirst = false;

 private:
  bool Client(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool RubberBandOn() const;
  void EraseRubberLine();
  win::Desktop& desktop_;
  host::MouseHooks& hooks_;
  StyleForms& styles_;
  win::HDC dc_ = 0;
  win::HPEN pen_ = 0;
  win::HGDIOBJ brush_ = 0, oldPen_ = 0, oldBrush_ = 0;
};

}  // namespace altimar::ui
