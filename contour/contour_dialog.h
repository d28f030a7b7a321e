// The contour dialog ("Altimar"): every contour setting in controls, copied
// into the contour state with OK or Apply and back with Cancel or Esc;
// Apply also redraws the contours from the stored grid. Closing only hides
// it: it loads once and keeps its controls for the rest of the run.
#pragma once

#include <cstdint>
#include <string>

#include "contour/contour.h"
#include "host/application_ge.h"
#include "host/ge_windows.h"
#include "platform/forms/controls.h"
#include "platform/forms/pictures.h"
#include "ui/set_rgb.h"

namespace altimar::contour {

class FrmContour : public forms::Form {
 public:
  FrmContour(win::Desktop& desktop, int program, Contour& contour, host::GEWindows& ge,
             ui::FrmSetRGB& colourPicker, std::string programDir);

  forms::CommandButton Command1{*this, "Command1"};  // OK
  forms::CommandButton Command2{*this, "Command2"};  // Cancel
  forms::CommandButton Command3{*this, "Command3"};  // Apply
  forms::Frame Frame3{*this, "Frame3"};
  forms::Frame Frame4{*this, "Frame4", &Frame3};
  forms::OptionButton Option1[3] = {{*this, "Option1", 0, &Frame4}, {*this, "Option1", 1, &Frame4},
                                    {*this, "Option1", 2, &Frame4}};
  forms::Label Label16{*this, "Label16", &Frame4};
  forms::VScrollBar VScroll4{*this, "VScroll4", &Frame4};
  forms::TextBox Text13{*this, "Text13", &Frame4};
  forms::VScrollBar VScroll3{*this, "VScroll3", &Frame4};
  forms::TextBox Text1{*this, "Text1", &Frame4};
  forms::TextBox Text12{*this, "Text12", &Frame4};
  forms::Frame Frame1{*this, "Frame1", &Frame3};
  forms::PictureBox Picture1{*this, "Picture1", &Frame1};
  forms::Label Label19{*this, "Label19", &Frame1};
  forms::CheckBox chcLabelContours{*this, "chcLabelContours", &Frame1};
  forms::Label Label18{*this, "Label18", &Frame1};
  forms::VScrollBar VScroll5{*this, "VScroll5", &Frame1};
  forms::TextBox Text14{*this, "Text14", &Frame1};
  forms::Label Label22{*this, "Label22", &Frame1};
  forms::VScrollBar VScroll6{*this, "VScroll6", &Frame1};
  forms::TextBox Text15{*this, "Text15", &Frame1};
  forms::Frame Frame2{*this, "Frame2"};
  forms::Label Label21{*this, "Label21", &Frame2};
  forms::OptionButton Option2[3] = {{*this, "Option2", 0, &Frame2}, {*this, "Option2", 1, &Frame2},
                                    {*this, "Option2", 2, &Frame2}};
  forms::Label Label20{*this, "Label20", &Frame2};
  forms::Slider Slider1{*this, "Slider1", &Frame2};
  forms::CheckBox chcContourProgress{*this, "chcContourProgress", &Frame2};
  forms::Label Label9{*this, "Label9", &Frame2};
  forms::VScrollBar VScroll1{*this, "VScroll1", &Frame2};
  forms::VScrollBar VScroll2{*this, "VScroll2", &Frame2};
  forms::TextBox Text9{*this, "Text9", &Frame2};
  forms::Label Label10{*this, "Label10", &Frame2};

  void ApplySettings();
  void LoadSettings();
  void Command1_Click();
  void Command2_Click();
  // Apply: the settings, then the contours again from the stored grid.
  ContourRunResult Command3_Click();
  void Option1_Click(int index);
  void Option2_Click(int index);
  void VScroll1_Change();
  void Label9_Click();
  void Picture1_MouseDown(int button, int shift, double x, double y);
  void PaintColorPreview(std::int32_t low, std::int32_t high);
  // The progress box the contour command reads (loads the dialog).
  bool ProgressChecked();
  host::ApplicationGE objGE;

  int levelMode() const { return levelMode_; }
  int samplingMode() const { return samplingMode_; }
  std::int32_t lowColor() const { return low_; }
  std::int32_t highColor() const { return high_; }

 protected:
  void Form_Load() override;

 private:
  void LayOut();
  void FocusIfEnabled(forms::TextBox& box);
  Contour& c_;
  host::GEWindows& ge_;
  ui::FrmSetRGB& picker_;
  std::string programDir_;
  int levelMode_ = 0, samplingMode_ = 0;
  std::int32_t low_ = 0, high_ = 0;
  bool loaded_ = false;
};

}  // namespace altimar::contour
