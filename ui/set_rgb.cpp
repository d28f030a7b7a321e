#include "ui/set_rgb.h"

#include <algorithm>

#include "platform/runtime/kml_color.h"
#include "ui/style_forms.h"

namespace altimar::ui {

using namespace altimar::forms;
using namespace altimar::win;

void Gradient(Surface& s, std::int16_t& red, std::int16_t& green, std::int16_t& blue, bool fromBottom) {
  const int band = s.height() / 63;
  for (int k = 0; k < 63; ++k) {
    const int top = fromBottom ? s.height() - (k + 1) * band : k * band;
    s.FillRect(0, top, s.width(), top + band, ToPixel(RGB(red, green, blue)));
    red = static_cast<std::int16_t>(std::max(0, red - 4));
    green = static_cast<std::int16_t>(std::max(0, green - 4));
    blue = static_cast<std::int16_t>(std::max(0, blue - 4));
  }
}

FrmSetRGB::FrmSetRGB(Desktop& desktop, int program, StyleForms& styles)
    : Form(desktop, program, "frmSetRGB"), styles_(styles) {
  initialCaption_ = "Define a Color by Setting RGB";
  initialWidth_ = 5400;
  initialHeight_ = 3900;
  BorderStyle = vbFixedDialog;
  Slider* sliders[3] = {&Slider1, &Slider2, &Slider3};
  Label* labels[3] = {&Label1, &Label2, &Label3};
  PictureBox* pictures[3] = {&Picture1, &Picture2, &Picture3};
  for (int k = 0; k < 3; ++k) {
    labels[k]->Move(120, 180 + 600.0 * k, 1320, 255);
    sliders[k]->Move(1500, 120 + 600.0 * k, 2700, 420);
    pictures[k]->Move(4320, 120 + 600.0 * k, 780, 420);
  }
  Picture4.Move(4320, 1980, 780, 600);
  Label4.Move(1500, 2100, 2700, 255);
  cmdOK.Move(2700, 2880, 1200, 375);
  cmdCancel.Move(3960, 2880, 1200, 375);
}

void FrmSetRGB::Form_Load() {
  cmdOK.Caption = "OK";
  cmdCancel.Caption = "Cancel";
  Label4.BackStyle = 1;
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  Slider* sliders[3] = {&Slider1, &Slider2, &Slider3};
  const auto c = static_cast<COLORREF>(std::max(0, styles_.style.StyleColor));
  const int parts[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  for (int k = 0; k < 3; ++k) {
    sliders[k]->Min = 0;
    sliders[k]->Max = 255;
    sliders[k]->Change = [this, k] { SliderChange(k + 1); };
    sliders[k]->SetValue(parts[k]);
    SliderChange(k + 1);
  }
}

std::int32_t FrmSetRGB::Composite() const {
  return static_cast<std::int32_t>(RGB(Slider1.Value(), Slider2.Value(), Slider3.Value()));
}

void FrmSetRGB::SliderChange(int which) {
  static const char* kNames[3] = {"Red = ", "Green = ", "Blue = "};
  Slider* sliders[3] = {&Slider1, &Slider2, &Slider3};
  Label* labels[3] = {&Label1, &Label2, &Label3};
  PictureBox* pictures[3] = {&Picture1, &Picture2, &Picture3};
  const int k = which - 1, v = sliders[k]->Value();
  labels[k]->Caption = kNames[k] + std::to_string(v);
  labels[k]->Refresh();
  pictures[k]->BackColor = RGB(k == 0 ? v : 0, k == 1 ? v : 0, k == 2 ? v : 0);
  pictures[k]->Cls();
  Picture4.BackColor = static_cast<COLORREF>(Composite());
  Picture4.Cls();
  Label4.Caption = runtime::RgbHex(Slider1.Value(), Slider2.Value(), Slider3.Value());
  Label4.Refresh();
  PaintBackground();
}

// The dialog's background: shades from the chosen colour, the brightest at the bottom.
void FrmSetRGB::PaintBackground() {
  RECT client;
  desktop().GetClientRect(hwnd(), &client);
  Background = Surface(client.width(), client.height(), ToPixel(RGB(0, 0, 0)));
  std::int16_t r = static_cast<std::int16_t>(Slider1.Value()), g = static_cast<std::int16_t>(Slider2.Value()),
               b = static_cast<std::int16_t>(Slider3.Value());
  Gradient(Background, r, g, b, true);
  RepaintBackground();
}

void FrmSetRGB::cmdOK_Click() {
  StyleSettings& s = styles_.style;
  if (pickOnly_) {
    picked_ = Composite();
  } else {
    s.StyleColor = Composite();
    // The swatch of the dialog in use takes the colour; the cursor's colour
    // changes only when the cursor dialog is the one in use.
    if (StyleDialog* d = styles_.DialogOf(s.StyleTarget); d && d->loaded()) d->ShowColour(s.StyleColor);
    if (s.StyleTarget == 3) s.CursorColor = s.StyleColor;
  }
  Unload();
}

std::int32_t FrmSetRGB::PickColour(std::int32_t start) {
  StyleSettings& s = styles_.style;
  const std::int32_t working = s.StyleColor;
  s.StyleColor = start;
  pickOnly_ = true;
  picked_ = -1;
  struct Restore {
    FrmSetRGB& f;
    StyleSettings& s;
    std::int32_t working;
    ~Restore() {
      f.pickOnly_ = false;
      s.StyleColor = working;
    }
  } restore{*this, s, working};
  Show(true);
  return picked_;
}

}  // namespace altimar::ui
