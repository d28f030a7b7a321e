#include "ui/style_dialogs.h"

#include <cmath>

#include "host/window_utils.h"
#include "platform/runtime/kml_color.h"
#include "ui/style_forms.h"

namespace altimar::ui {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr const char* kDrawStyles[7] = {"0 (Default) Solid", "1 Dash", "2 Dot", "3 Dash -Dot",
                                        "4 Dash -Dot - Dot", "5 Transparent", "6 Inside Solid"};
}  // namespace

// --- what the three dialogs share ---

StyleDialog::StyleDialog(Desktop& desktop, int program, std::string name, std::string caption,
                         StyleForms& styles, int target)
    : Form(desktop, program, std::move(name)), styles_(styles), target_(target) {
  initialCaption_ = std::move(caption);
  initialWidth_ = 4920;
  initialHeight_ = 4740;
  BorderStyle = vbFixedDialog;
  Frame1.Move(120, 60, 4560, 1320);
  lblColorTitle.Move(120, 300, 720, 255);
  lblCurColor.Move(840, 240, 720, 330);
  lblColorValueTitle.Move(1740, 300, 1080, 255);
  lblColor.Move(2820, 300, 1560, 255);
  cmdFromColorPalette.Move(120, 780, 1380, 375);
  cmdSettingRGB.Move(1590, 780, 1380, 375);
  cmdFromScreenPoint.Move(3060, 780, 1380, 375);
  cmdOK.Move(2160, 3780, 1200, 375);
  cmdCancel.Move(3480, 3780, 1200, 375);
}

StyleSettings& StyleDialog::style() { return styles_.style; }

void StyleDialog::Form_Load() {
  Frame1.Caption = "Color";
  lblColorTitle.Caption = "Color:";
  lblColorValueTitle.Caption = "Color Value:";
  lblCurColor.BackStyle = 1;
  cmdFromColorPalette.Caption = "Palette";
  cmdSettingRGB.Caption = "RGB...";
  cmdFromScreenPoint.Caption = "Screen";
  cmdOK.Caption = "OK";
  cmdCancel.Caption = "Cancel";
  cmdFromColorPalette.Click = [this] { cmdFromColorPalette_Click(); };
  cmdSettingRGB.Click = [this] { cmdSettingRGB_Click(); };
  cmdFromScreenPoint.Click = [this] { cmdFromScreenPoint_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  loaded_ = false;
  LoadControls();
  LoadColour();
}

void StyleDialog::LoadColour() {
  lblColor.Caption.clear();
  if (style().StyleColor < 0) style().StyleColor = static_cast<std::int32_t>(RGB(75, 75, 75));
  OldColor = style().StyleColor;
  loaded_ = true;
  ShowColour(style().StyleColor);
}

void StyleDialog::ShowColour(std::int32_t colour) {
  lblCurColor.BackColor = static_cast<COLORREF>(colour);
  lblCurColor.Refresh();
  lblColor.Caption = runtime::ColorToKmlHex(colour);
  lblColor.Refresh();
}

void StyleDialog::ShowPickedColour(std::int32_t colour) {
  const auto c = static_cast<COLORREF>(colour);
  lblCurColor.BackColor = c;
  lblCurColor.Refresh();
  lblColor.Caption = runtime::RgbHex(GetRValue(c), GetGValue(c), GetBValue(c));
  lblColor.Refresh();
}

void StyleDialog::cmdFromColorPalette_Click() {
  CommonDialog1.CancelError = true;
  CommonDialog1.Flags = 1;
  CommonDialog1.DialogTitle = "Select Color";
  CommonDialog1.Color = static_cast<COLORREF>(PaletteStart());
  try {
    CommonDialog1.ShowColor();
    const auto chosen = static_cast<std::int32_t>(CommonDialog1.Color);
    // Black (0) reads as no choice, as cancel does.
    if (chosen >= 1) style().StyleColor = chosen;
  } catch (const CommonDialogCancel&) {
  }
  ShowColour(style().StyleColor);
}

void StyleDialog::cmdSettingRGB_Click() {
  styles_.frmSetRGB.Show(true);
  lblColor.Caption = runtime::ColorToKmlHex(style().StyleColor);
  lblColor.Refresh();
  AfterRgb();
}

void StyleDialog::cmdFromScreenPoint_Click() {
  if (target_ == 1) styles_.pick.RubberBandBegin();
  styles_.pick.Start();
}

void StyleDialog::cmdOK_Click() {
  OnOK();
  Hide();
}

void StyleDialog::cmdCancel_Click() {
  style().StyleColor = OldColor;
  OnCancel();
  Unload();
}

// --- width and opacity ---

void WidthAndOpacityDialog::LayOutBars(double top) {
  lblWidth.Move(120, top + 30, 900, 255);
  hscrWidth.Move(1080, top, 3600, 255);
  lblOpacity.Move(120, top + 390, 900, 255);
  hscrTransparence.Move(1080, top + 360, 3600, 255);
  frameDimension.Move(120, top + 720, 4560, 600);
  for (int k = 0; k < 3; ++k) optDimension[k].Move(120 + 1440.0 * k, 240, 1320, 255);
}

void WidthAndOpacityDialog::LoadControls() {
  lblWidth.Caption = "Width:";
  lblOpacity.Caption = "Opacity:";
  frameDimension.Caption = "Dimension";
  const char* dims[3] = {"2D", "2.5D", "3D"};
  for (int k = 0; k < 3; ++k) optDimension[k].Caption = dims[k];
  if (!optDimension[1].Value() && !optDimension[2].Value()) optDimension[0].SetValue(true);
  hscrTransparence.Change = [this] { hscrTransparence_Change(); };
  hscrWidth.Change = [this] { hscrWidth_Change(); };
  hscrTransparence.Configure(0, 255, 10, 20, 255);
  hscrWidth.Configure(1, 40, 1, 10, static_cast<int>(std::nearbyint(style().StyleWidth * 10)));
}

void WidthAndOpacityDialog::hscrWidth_Change() {
  style().StyleWidth = static_cast<float>(hscrWidth.Value()) / 10.0f;
  if (Visible()) cmdOK.SetFocus();
}

// The opacity shows on the dialog itself only.
void WidthAndOpacityDialog::hscrTransparence_Change() {
  if (!loaded_) return;
  style().StyleOpacity = static_cast<std::int16_t>(hscrTransparence.Value());
  if (hscrTransparence.Value() != 255) host::SetWindowAlpha(desktop(), hwnd(), hscrTransparence.Value());
  else host::SetLayeredStyle(desktop(), hwnd(), false);
}

// --- bounding box ---

FrmBBoxStyle::FrmBBoxStyle(Desktop& desktop, int program, StyleForms& styles)
    : WidthAndOpacityDialog(desktop, program, "frmBBoxStyle", "Set BBox Style", styles, 1) {
  LayOutBars(1500);
  chkRubberband.Move(120, 3360, 2400, 255);
}

void FrmBBoxStyle::LoadControls() {
  WidthAndOpacityDialog::LoadControls();
  chkRubberband.Caption = "Rubber band";
  oldBBoxColor_ = style().BBoxColor;
}

void FrmBBoxStyle::AfterRgb() { style().BBoxColor = style().StyleColor; }
void FrmBBoxStyle::OnOK() { style().BBoxColor = style().StyleColor; }
// The RGB dialog already stored its colour as the bounding box's: Cancel takes that back too.
void FrmBBoxStyle::OnCancel() { style().BBoxColor = oldBBoxColor_; }

void FrmBBoxStyle::Reopen() {
  WidthAndOpacityDialog::Reopen();
  oldBBoxColor_ = style().BBoxColor;
}

// --- highlight ---

FrmHighlightStyle::FrmHighlightStyle(Desktop& desktop, int program, StyleForms& styles)
    : WidthAndOpacityDialog(desktop, program, "frmHighlightStyle", "Style, Color", styles, 2) {
  LayOutBars(1500);
  frameFloating.Move(120, 3240, 4560, 480);
  Check1.Move(120, 180, 1800, 255);
  Check2.Move(2160, 180, 1800, 255);
}

void FrmHighlightStyle::LoadControls() {
  WidthAndOpacityDialog::LoadControls();
  frameFloating.Caption = "Floating Info Window";
  Check1.Caption = "Show";
  Check2.Caption = "Float";
  Check1.Click = [this] { Check1_Click(); };
  Check1_Click();
}

void FrmHighlightStyle::Check1_Click() { Check2.SetEnabled(Check1.Value == 1); }

// --- cursor ---

FrmCursorStyle::FrmCursorStyle(Desktop& desktop, int program, StyleForms& styles)
    : StyleDialog(desktop, program, "frmCursorStyle", "Set Corsur Style", styles, 3) {
  frameShape.Move(120, 1500, 4560, 600);
  for (int k = 0; k < 3; ++k) optSelectCursor[k].Move(120 + 1440.0 * k, 240, 1380, 255);
  lblWidth.Move(120, 2280, 900, 255);
  hscrCursorWidth.Move(1080, 2250, 3600, 255);
  lblDrawStyle.Move(120, 2700, 900, 255);
  cmbDrawStyle.Move(1080, 2640, 3600, 315);
}

void FrmCursorStyle::LoadControls() {
  frameShape.Caption = "Cursor";
  const char* shapes[3] = {"None", "Small Cross", "Big Cross"};
  for (int k = 0; k < 3; ++k) {
    optSelectCursor[k].Caption = shapes[k];
    optSelectCursor[k].ClickIndex = [this](int i) { optSelectCursor_Click(i); };
  }
  lblWidth.Caption = "Width:";
  lblDrawStyle.Caption = "Line type:";
  hscrCursorWidth.Change = [this] { hscrCursorWidth_Change(); };
  hscrCursorWidth.Configure(1, 100, 1, 10, 1);
  style().CursorDrawStyle = 0;
  cmbDrawStyle.Clear();
  for (int k = 0; k < 7; ++k) {
    cmbDrawStyle.AddItem(kDrawStyles[k]);
    cmbDrawStyle.ItemData().back() = k;
  }
  cmbDrawStyle.Click = [this] { style().CursorDrawStyle = cmbDrawStyle.ListIndex(); };
  cmbDrawStyle.SetListIndex(0);
  // The shape the program uses now is the one chosen.
  const std::int32_t shape = style().CursorShape;
  optSelectCursor[shape == -1 ? 0 : shape == 20 ? 1 : 2].SetValue(true);
}

void FrmCursorStyle::hscrCursorWidth_Change() {
  style().StyleWidth = static_cast<float>(hscrCursorWidth.Value()) / 10.0f;
  if (Visible()) cmdOK.SetFocus();
}

// With no cursor, its colour and width have nothing to apply to.
void FrmCursorStyle::optSelectCursor_Click(int index) {
  const bool on = index != 0;
  Frame1.SetEnabled(on);
  hscrCursorWidth.SetEnabled(on);
  lblWidth.SetEnabled(on);
}

std::int32_t FrmCursorStyle::ChosenShape() const {
  if (optSelectCursor[0].Value()) return -1;
  if (optSelectCursor[1].Value()) return 20;
  return 0;
}

void FrmCursorStyle::AfterRgb() { ShowColour(style().CursorColor); }
void FrmCursorStyle::OnOK() { style().CursorColor = style().StyleColor; }

}  // namespace altimar::ui
