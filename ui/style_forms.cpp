#include "ui/style_forms.h"

#include <cmath>

namespace altimar::ui {

StyleForms::StyleForms(win::Desktop& desktop, int program, StyleSettings& s, host::MouseHooks& h)
    : style(s),
      hooks(h),
      frmBBoxStyle(desktop, program, *this),
      frmHighlightStyle(desktop, program, *this),
      frmCursorStyle(desktop, program, *this),
      frmSetRGB(desktop, program, *this),
      pick(desktop, h, *this) {}

StyleDialog* StyleForms::DialogOf(int target) {
  switch (target) {
    case 1: return &frmBBoxStyle;
    case 2: return &frmHighlightStyle;
    case 3: return &frmCursorStyle;
    default: return nullptr;
  }
}

namespace {
void ShowModal(StyleDialog& d) {
  if (d.loaded()) d.Reopen();
  d.Show(true);
}
}  // namespace

void StyleForms::OpenBBoxStyle() {
  style.StyleTarget = 1;
  style.StyleColor = style.BBoxColor;
  ShowModal(frmBBoxStyle);
}

void StyleForms::OpenHighlightStyle() {
  style.StyleTarget = 2;
  style.StyleColor = style.HighlightColor;
  ShowModal(frmHighlightStyle);
  style.HighlightColor = style.StyleColor;
}

void StyleForms::OpenCursorStyle() {
  style.StyleTarget = 3;
  style.StyleColor = style.CursorColor;
  ShowModal(frmCursorStyle);
  style.CursorShape = frmCursorStyle.ChosenShape();
  style.CursorColor = style.StyleColor;
  style.CursorWidth = static_cast<std::int32_t>(std::nearbyint(style.StyleWidth));
}

}  // namespace altimar::ui
