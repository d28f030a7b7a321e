// The RGB dialog ("Define a Color by Setting RGB"): three sliders, their
// single-colour pictures, the composite colour and its code, on a shaded
// background.
#pragma once

#include <cstdint>

#include "platform/forms/controls.h"
#include "platform/forms/pictures.h"

namespace altimar::ui {

class StyleForms;

// 63 bands across the surface, from the top (or from the bottom upwards when
// fromBottom), each channel 4 lower after every band, never below 0; the
// start values are changed in place.
void Gradient(win::Surface& s, std::int16_t& red, std::int16_t& green, std::int16_t& blue, bool fromBottom);

class FrmSetRGB : public forms::Form {
 public:
  FrmSetRGB(win::Desktop& desktop, int program, StyleForms& styles);

  forms::Slider Slider1{*this, "Slider1"};
  forms::Slider Slider2{*this, "Slider2"};
  forms::Slider Slider3{*this, "Slider3"};
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Label Label3{*this, "Label3"};
  forms::PictureBox Picture1{*this, "Picture1"};
  forms::PictureBox Picture2{*this, "Picture2"};
  forms::PictureBox Picture3{*this, "Picture3"};
  forms::PictureBox Picture4{*this, "Picture4"};
  forms::Label Label4{*this, "Label4"};
  forms::CommandButton cmdOK{*this, "cmdOK"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};

  // The colour picker of other dialogs: shown modally from a colour, it
  // gives the colour chosen with OK, or -1; nothing else changes.
  std::int32_t PickColour(std::int32_t start);

  void SliderChange(int which);
  void cmdOK_Click();
  void cmdCancel_Click() { Unload(); }
  std::int32_t Composite() const;

 protected:
  void Form_Load() override;

 private:
  void PaintBackground();
  StyleForms& styles_;
  bool pickOnly_ = false;
  std::int32_t picked_ = -1;
};

}  // namespace altimar::ui
