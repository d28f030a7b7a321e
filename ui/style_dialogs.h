// The three style dialogs: bounding box ("Set BBox Style"), highlight
// ("Style, Color") and cursor ("Set Corsur Style"). Each edits the shared
// working colour and width and takes a colour from the colour dialog, from
// the RGB dialog or from a point on the screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms/common_dialog.h"
#include "platform/forms/controls.h"
#include "platform/forms/pictures.h"
#include "ui/style_settings.h"

namespace altimar::ui {

class StyleForms;

class StyleDialog : public forms::Form {
 public:
  StyleDialog(win::Desktop& desktop, int program, std::string name, std::string caption,
              StyleForms& styles, int target);

  forms::Frame Frame1{*this, "Frame1"};
  forms::Label lblColorTitle{*this, "lblColorTitle", &Frame1};
  forms::Label lblCurColor{*this, "lblCurColor", &Frame1};  // the swatch
  forms::Label lblColorValueTitle{*this, "lblColorValueTitle", &Frame1};
  forms::Label lblColor{*this, "lblColor", &Frame1};  // the colour code
  forms::CommandButton cmdFromColorPalette{*this, "cmdFromColorPalette", &Frame1};
  forms::CommandButton cmdSettingRGB{*this, "cmdSettingRGB", &Frame1};
  forms::CommandButton cmdFromScreenPoint{*this, "cmdFromScreenPoint", &Frame1};
  forms::CommandButton cmdOK{*this, "cmdOK"};
  forms::CommandButton cmdCancel{*this, "cmdCancel"};
  forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

  std::int32_t OldColor = 0;
  int target() const { return target_; }

  // The swatch and the code (blue, green, red order) for a colour.
  void ShowColour(std::int32_t colour);
  // The swatch and the code in red, green, blue order (the screen pick's).
  void ShowPickedColour(std::int32_t colour);

  // Each later showing starts from the working colour of that moment, as the
  // first did (the dialog stays loaded between showings).
  virtual void Reopen() { LoadColour(); }

  void cmdFromColorPalette_Click();
  void cmdSettingRGB_Click();
  void cmdFromScreenPoint_Click();
  void cmdOK_Click();
  void cmdCancel_Click();

 protected:
  void Form_Load() override;
  // Steps every dialog's load ends with: the colour it opens with.
  void LoadColour();
  // The colour the palette opens with.
  virtual std::int32_t PaletteStart() { return style().StyleColor; }
  virtual void AfterRgb() {}
  virtual void OnOK() {}
  virtual void OnCancel() {}
  virtual void LoadControls() = 0;
  StyleSettings& style();
  StyleForms& styles_;
  bool loaded_ = false;  // keeps change handlers quiet while the dialog fills its controls

 private:
  int target_;
};

// The width and opacity bars and the dimension choice of the bounding-box
// and highlight dialogs.
class WidthAndOpacityDialog : public StyleDialog {
 public:
  using StyleDialog::StyleDialog;
  forms::Label lblWidth{*this, "lblWidth"};
  forms::HScrollBar hscrWidth{*this, "hscrWidth"};
  forms::Label lblOpacity{*this, "lblOpacity"};
  forms::HScrollBar hscrTransparence{*this, "hscrTransparence"};
  forms::Frame frameDimension{*this, "frameDimension"};
  forms::OptionButton optDimension[3] = {{*this, "optDimension", 0, &frameDimension},
                                         {*this, "optDimension", 1, &frameDimension},
                                         {*this, "optDimension", 2, &frameDimension}};

  void hscrWidth_Change();
  void hscrTransparence_Change();

 protected:
  void LoadControls() override;
  void LayOutBars(double top);
};

class FrmBBoxStyle : public WidthAndOpacityDialog {
 public:
  FrmBBoxStyle(win::Desktop& desktop, int program, StyleForms& styles);
  forms::CheckBox chkRubberband{*this, "chkRubberband"};
  void Reopen() override;

 protected:
  void AfterRgb() override;
  void OnOK() override;
  void OnCancel() override;
  void LoadControls() override;

 private:
  std::int32_t oldBBoxColor_ = 0;
};

class FrmHighlightStyle : public WidthAndOpacityDialog {
 public:
  FrmHighlightStyle(win::Desktop& desktop, int program, StyleForms& styles);
  forms::Frame frameFloating{*this, "frameFloating"};
  forms::CheckBox Check1{*this, "Check1", &frameFloating};  // "Show"
  forms::CheckBox Check2{*this, "Check2", &frameFloating};  // "Float"
  void Check1_Click();

 protected:
  void LoadControls() override;
};

class FrmCursorStyle : public StyleDialog {
 public:
  FrmCursorStyle(win::Desktop& desktop, int program, StyleForms& styles);
  forms::Frame frameShape{*this, "frameShape"};
  forms::OptionButton optSelectCursor[3] = {{*this, "optSelectCursor", 0, &frameShape},
                                            {*this, "optSelectCursor", 1, &frameShape},
                                            {*this, "optSelectCursor", 2, &frameShape}};
  forms::Label lblWidth{*this, "lblWidth"};
  forms::HScrollBar hscrCursorWidth{*this, "hscrCursorWidth"};
  forms::Label lblDrawStyle{*this, "lblDrawStyle"};
  forms::ComboBox cmbDrawStyle{*this, "cmbDrawStyle"};

  void hscrCursorWidth_Change();
  void optSelectCursor_Click(int index);
  // The shape chosen: -1 none, 20 small cross, 0 big cross.
  std::int32_t ChosenShape() const;

 protected:
  std::int32_t PaletteStart() override { return static_cast<std::int32_t>(win::RGB(255, 255, 255)); }
  void AfterRgb() override;
  void OnOK() override;
  void LoadControls() override;
};

}  // namespace altimar::ui
