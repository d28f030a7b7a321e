#include "ui/screen_pick.h"

#include "platform/win/gdi.h"
#include "ui/style_forms.h"

namespace altimar::ui {

using namespace altimar::win;

ScreenPick::ScreenPick(Desktop& desktop, host::MouseHooks& hooks, StyleForms& styles)
    : desktop_(desktop), hooks_(hooks), styles_(styles) {
  hooks_.SetClientHandler(host::kHookGetColor, [this](WPARAM m, const MSLLHOOKSTRUCT& e) { return Client(m, e); });
}

void ScreenPick::Start() { hooks_.HookPush("GetColor"); }

// The client does its work quickly: a preview, and on the picking press the
// end of the pick. Only that press is swallowed.
bool ScreenPick::Client(WPARAM message, const MSLLHOOKSTRUCT&) {
  if (PickBusy) return false;
  PreviewScreenColor();
  if (message != WM_LBUTTONDOWN || hooks_.Top() != host::kHookGetColor) return false;
  hooks_.HookPop();
  RubberBandEnd();
  return true;
}

bool ScreenPick::RubberBandOn() const {
  const FrmBBoxStyle& b = styles_.frmBBoxStyle;
  return b.chkRubberband.Value == 1;
}

void ScreenPick::PreviewScreenColor() {
  PickBusy = true;
  PickPoint = hooks_.LastHookPoint;
  Gdi& gdi = desktop_.gdi();
  const HDC screen = gdi.GetWindowDC(0);
  const COLORREF pixel = gdi.GetPixel(screen, PickPoint.x, PickPoint.y);
  gdi.ReleaseDC(0, screen);
  if (pixel == CLR_INVALID) {  // off the screen: nothing to preview
    PickBusy = false;
    return;
  }
  // The old rubber line goes before the swatch repaints: a repaint under an
  // XOR line would leave a piece of it behind.
  const bool rubber = RubberBandOn() && dc_ != 0;
  if (rubber) EraseRubberLine();
  StyleSettings& s = styles_.style;
  if (StyleDialog* d = styles_.DialogOf(s.StyleTarget); d && d->loaded())
    d->ShowPickedColour(static_cast<std::int32_t>(pixel));
  if (desktop_.GetAsyncKeyState(VK_ESCAPE) < 0) {
    // Abandoned: the colour stays the last one previewed before.
    if (hooks_.Top() == host::kHookGetColor) hooks_.HookPop();
    RubberBandEnd();
    PickBusy = false;
    return;
  }
  s.StyleColor = static_cast<std::int32_t>(pixel);
  if (rubber) RubberBandDraw();
  PickBusy = false;
}

void ScreenPick::RubberBandBegin() {
  if (!RubberBandOn() || dc_ != 0) return;
  RubberFirst = true;
  FrmBBoxStyle& b = styles_.frmBBoxStyle;
  RubberAnchor.x = static_cast<LONG>((b.Left() + b.Frame1.Left() + b.lblCurColor.Left() + b.lblCurColor.Width() / 2) / 15);
  RubberAnchor.y =
      static_cast<LONG>((b.Top() + b.Frame1.Top() + b.lblCurColor.Top() + b.lblCurColor.Height() / 2) / 15) + 30;
  Gdi& gdi = desktop_.gdi();
  dc_ = gdi.GetDC(desktop_.GetDesktopWindow());
  gdi.SetROP2(dc_, R2_XORPEN);
  gdi.SetBkColor(dc_, 0);
  brush_ = gdi.GetStockObject(NULL_BRUSH);
  pen_ = gdi.CreatePen(PS_SOLID, 1, 255);
  oldBrush_ = gdi.SelectObject(dc_, brush_);
  oldPen_ = gdi.SelectObject(dc_, pen_);
}

// The XOR pen draws the line drawn last over itself, which takes it away.
void ScreenPick::EraseRubberLine() {
  if (dc_ == 0 || RubberFirst) return;
  Gdi& gdi = desktop_.gdi();
  gdi.MoveToEx(dc_, RubberAnchor.x, RubberAnchor.y, nullptr);
  gdi.LineTo(dc_, RubberEnd.x, RubberEnd.y);
  RubberFirst = true;
}

void ScreenPick::RubberBandDraw() {
  if (dc_ == 0) return;
  Gdi& gdi = desktop_.gdi();
  EraseRubberLine();
  RubberFirst = false;
  const POINT p = hooks_.LastHookPoint;
  gdi.MoveToEx(dc_, RubberAnchor.x, RubberAnchor.y, nullptr);
  gdi.LineTo(dc_, p.x, p.y);
  RubberEnd = p;
}

void ScreenPick::RubberBandEnd() {
  if (dc_ == 0) return;
  EraseRubberLine();
  Gdi& gdi = desktop_.gdi();
  gdi.SelectObject(dc_, oldPen_);
  gdi.SelectObject(dc_, oldBrush_);
  gdi.DeleteObject(pen_);
  gdi.DeleteObject(brush_);
  gdi.ReleaseDC(desktop_.GetDesktopWindow(), dc_);
  dc_ = 0;
  pen_ = 0;
}

}  // namespace altimar::ui
