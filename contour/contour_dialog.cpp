#include "contour/contour_dialog.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/runtime/number_text.h"
#include "platform/shapefile/spherical_dist.h"

namespace altimar::contour {

using namespace altimar::forms;
using namespace altimar::win;

FrmContour::FrmContour(Desktop& desktop, int program, Contour& contour, host::GEWindows& ge,
                       ui::FrmSetRGB& colourPicker, std::string programDir)
    : Form(desktop, program, "frmContour"),
      objGE(desktop),
      c_(contour),
      ge_(ge),
      picker_(colourPicker),
      programDir_(std::move(programDir)) {
  initialCaption_ = "Altimar";
  initialWidth_ = 8520;
  initialHeight_ = 5460;
  BorderStyle = vbFixedDialog;
  LayOut();
}

void FrmContour::LayOut() {
  Frame3.Move(120, 120, 5160, 4200);
  Frame4.Move(120, 240, 4920, 1800);
  Option1[0].Move(120, 240, 2400, 255);
  Label16.Move(2640, 270, 1320, 255);
  Text13.Move(3960, 210, 480, 285);
  VScroll4.Move(4440, 180, 240, 360);
  Option1[1].Move(120, 600, 2400, 255);
  Text1.Move(3960, 570, 480, 285);
  VScroll3.Move(4440, 540, 240, 360);
  Option1[2].Move(120, 960, 4600, 255);
  Text12.Move(120, 1320, 4680, 285);
  Frame1.Move(120, 2160, 4920, 1920);
  Label19.Move(120, 300, 720, 255);
  Picture1.Move(840, 240, 3960, 330);
  chcLabelContours.Move(120, 720, 2400, 255);
  Label18.Move(120, 1200, 720, 255);
  Text14.Move(840, 1170, 600, 285);
  VScroll5.Move(1440, 1140, 240, 360);
  Label22.Move(2040, 1200, 900, 255);
  Text15.Move(2940, 1170, 660, 285);
  VScroll6.Move(3600, 1140, 240, 360);
  Frame2.Move(5400, 120, 2880, 4200);
  Label21.Move(120, 240, 1200, 255);
  for (int k = 0; k < 3; ++k) Option2[k].Move(120, 540 + 300.0 * k, 1800, 255);
  Label20.Move(120, 1500, 1200, 255);
  Slider1.Move(120, 1800, 2640, 420);
  chcContourProgress.Move(120, 2340, 2400, 255);
  Label9.Move(120, 2700, 1200, 255);
  Text9.Move(120, 3000, 1500, 285);
  VScroll1.Move(1680, 2940, 240, 360);
  VScroll2.Move(1980, 2940, 240, 360);
  Label10.Move(120, 3420, 2640, 255);
  Command1.Move(4440, 4500, 1200, 375);
  Command2.Move(5760, 4500, 1200, 375);
  Command3.Move(7080, 4500, 1200, 375);
}

void FrmContour::Form_Load() {
  loaded_ = false;
  c_.SetDialogDefaults();
  Command1.Caption = "OK";
  Command2.Caption = "Cancel";
  Command3.Caption = "Apply";
  Frame3.Caption = "Contour";
  Frame4.Caption = "Levels";
  Option1[0].Caption = "Determine automatically";
  Option1[1].Caption = "Define interval";
  Option1[2].Caption = "Customize (use separator \",\")";
  Label16.Caption = "Levels number:";
  Frame1.Caption = "Line Style";
  Label19.Caption = "Color:";
  chcLabelContours.Caption = "Elevation label";
  Label18.Caption = "Width:";
  Label22.Caption = "Opacity:";
  Frame2.Caption = "Sampling";
  Label21.Caption = "Accuracy:";
  Option2[0].Caption = "Low";
  Option2[1].Caption = "Middle";
  Option2[2].Caption = "High";
  Label20.Caption = "Speed:";
  chcContourProgress.Caption = "Progress";
  Label9.Caption = "Resolution:";

  // Ranges and first values (the dialog's defaults), before the change
  // handlers listen.
  const ContourDefaults& d = kContourDefaults;
  VScroll4.Configure(1, 30, 1, 5, d.numLevels);
  VScroll3.Configure(1, 1000, 1, 5, d.dialogLevelInterval);
  VScroll5.Configure(1, 50, 1, 10, static_cast<int>(std::nearbyint(d.lineWidth * 10)));
  VScroll6.Configure(0, 100, 10, 10, d.lineOpacity);
  VScroll1.Configure(10, 999, 5, 10, d.gridCols);
  VScroll2.Configure(5, 999, 5, 10, d.gridRows);
  Slider1.Min = 0;
  Slider1.Max = 10;
  Slider1.SetValue(static_cast<int>(std::nearbyint(10 - d.sampleDelayMs / 10.0)));
  Text13.SetText(std::to_string(d.numLevels));
  Text1.SetText(std::to_string(d.dialogLevelInterval));
  Text14.SetText(runtime::General7(d.lineWidth));
  Text15.SetText(std::to_string(d.lineOpacity) + "%");
  Text9.SetText(std::to_string(d.gridCols) + " X " + std::to_string(d.gridRows));
  Text12.SetText(c_.LevelList);

  for (auto& o : Option1) o.ClickIndex = [this](int i) { Option1_Click(i); };
  for (auto& o : Option2) o.ClickIndex = [this](int i) { Option2_Click(i); };
  VScroll1.Change = [this] { VScroll1_Change(); };
  VScroll3.Change = [this] {
    Text1.SetText(std::to_string(VScroll3.Value()));
    FocusIfEnabled(Text1);
  };
  VScroll4.Change = [this] {
    Text13.SetText(std::to_string(VScroll4.Value()));
    FocusIfEnabled(Text13);
  };
  VScroll5.Change = [this] {
    Text14.SetText(runtime::General7(static_cast<float>(VScroll5.Value()) / 10.0f));
    if (loaded_) Text14.SetFocus();
  };
  VScroll6.Change = [this] {
    Text15.SetText(std::to_string(VScroll6.Value()) + "%");
    if (loaded_) Text15.SetFocus();
  };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Label9.Click = [this] { Label9_Click(); };
  Picture1.MouseDown = [this](int b, int s, double x, double y) { Picture1_MouseDown(b, s, x, y); };
  KeyPreview = true;
  KeyDown = [this](int& key, int) {
    if (key == VK_ESCAPE) {
      key = 0;
      Command2_Click();
    }
  };
  // Closing the window only hides it.
  QueryUnload = [](bool& cancel, int mode) {
    if (mode == vbFormControlMenu) cancel = true;
  };

  Option1[d.dialogLevelMode].SetValue(true);
  Option2[d.samplingMode].SetValue(true);
  chcContourProgress.Value = d.dialogShowProgress ? 1 : 0;
  chcContourProgress.Refresh();
  c_.ShowProgress = d.dialogShowProgress;
  chcLabelContours.Value = c_.LabelContours ? 1 : 0;
  chcLabelContours.Refresh();
  low_ = c_.LowColor;
  high_ = c_.HighColor;
  PaintColorPreview(low_, high_);
  Command3.SetEnabled(c_.GridReady);
  loaded_ = true;
}

void FrmContour::FocusIfEnabled(TextBox& box) {
  if (box.Enabled()) box.SetFocus();
}

bool FrmContour::ProgressChecked() {
  Load();
  return chcContourProgress.Value == 1;
}

void FrmContour::ApplySettings() {
  c_.SampleDelayMs = (10 - Slider1.Value()) * 10;
  c_.GridCols = static_cast<Integer>(VScroll1.Value());
  c_.GridRows = static_cast<Integer>(VScroll2.Value());
  c_.SamplingMode = static_cast<Integer>(samplingMode_);
  c_.LineWidth = static_cast<float>(VScroll5.Value()) / 10.0f;
  c_.LineOpacity = static_cast<Integer>(VScroll6.Value());
  c_.LowColor = low_;
  c_.HighColor = high_;
  c_.LevelMode = static_cast<Integer>(levelMode_);
  c_.LabelContours = chcLabelContours.Value == 1;
  c_.ShowProgress = chcContourProgress.Value == 1;
  c_.NumLevels = static_cast<Integer>(VScroll4.Value());
  c_.LevelInterval = static_cast<Integer>(VScroll3.Value());
  c_.LevelList = Text12.Text();
}

void FrmContour::LoadSettings() {
  Slider1.SetValue(static_cast<int>(std::nearbyint(10 - c_.SampleDelayMs / 10.0)));
  VScroll1.SetValue(c_.GridCols);
  VScroll2.SetValue(c_.GridRows);
  Option2[std::clamp<int>(c_.SamplingMode, 0, 2)].SetValue(true);
  VScroll5.SetValue(static_cast<int>(std::nearbyint(c_.LineWidth * 10)));
  VScroll6.SetValue(c_.LineOpacity);
  low_ = c_.LowColor;
  high_ = c_.HighColor;
  PaintColorPreview(low_, high_);
  chcLabelContours.Value = c_.LabelContours ? 1 : 0;
  chcLabelContours.Refresh();
  chcContourProgress.Value = c_.ShowProgress ? 1 : 0;
  chcContourProgress.Refresh();
  Option1[std::clamp<int>(c_.LevelMode, 0, 2)].SetValue(true);
  VScroll4.SetValue(c_.NumLevels);
  VScroll3.SetValue(c_.LevelInterval);
  Text12.SetText(c_.LevelList);
}

void FrmContour::Command1_Click() {
  ApplySettings();
  Hide();
}

void FrmContour::Command2_Click() {
  LoadSettings();
  Hide();
}

ContourRunResult FrmContour::Command3_Click() {
  ApplySettings();
  c_.RetraceOnly = true;
  ContourRunResult r;
  try {
    r = c_.MakeContourFile((std::filesystem::path(programDir_) / "contour.kml").string());
  } catch (const automation::AutomationError& e) {
    desktop().MessageBoxA(0, std::string("Google Earth failed: ") + e.what(), "Altimar", MB_OK);
  }
  c_.RetraceOnly = false;
  return r;
}

void FrmContour::Option1_Click(int index) {
  levelMode_ = index;
  VScroll4.SetEnabled(index == 0);
  Text13.SetEnabled(index == 0);
  VScroll3.SetEnabled(index == 1);
  Text1.SetEnabled(index == 1);
  Text12.SetEnabled(index == 2);
}

void FrmContour::Option2_Click(int index) {
  samplingMode_ = index;
  Label10.SetVisible(index == 1);
}

// Rows follow the columns in the shape of the 3D view.
void FrmContour::VScroll1_Change() {
  RECT r = ge_.GERenderRect;
  try {
    RECT now;
    if (desktop().GetWindowRect(objGE->GetRenderHwnd(), &now)) r = ge_.GERenderRect = now;
  } catch (const automation::AutomationError&) {
    // No globe to ask: the rectangle last read stands.
  }
  const long cols = VScroll1.Value();
  long rows = r.width() > 0 ? static_cast<long>(std::floor(static_cast<double>(cols * r.height()) / r.width())) : 5;
  if (rows < 5) rows = 5;
  const long shown = rows >= 1000 ? 999 : rows;
  VScroll2.SetValue(static_cast<int>(shown));
  Text9.SetText(std::to_string(cols) + " X " + std::to_string(shown));
  Label10.Caption = "time: " + std::to_string(cols * rows / 5000) + " minutes";
  Label10.Refresh();
  if (loaded_) Text9.SetFocus();
}

// The resolution that puts a node about every 50 m along the view's south edge.
void FrmContour::Label9_Click() {
  try {
    if (!c_.RangeWithin(50000)) {
      c_.ShowTooHighMessage();
      return;
    }
    c_.CaptureViewExtents();
  } catch (const automation::AutomationError& e) {
    desktop().MessageBoxA(0, std::string("Google Earth failed: ") + e.what(), "Altimar", MB_OK);
    return;
  }
  const double d = shapefile::SphericalDist(c_.ViewWest, c_.ViewSouth, c_.ViewEast, c_.ViewSouth);
  double cols = std::nearbyint(d / 50);
  if (cols < 5) cols = 5;
  VScroll1.SetValue(cols >= 1000 ? 999 : static_cast<int>(cols));
}

void FrmContour::Picture1_MouseDown(int, int, double x, double) {
  const double w = Picture1.ScaleWidth();
  if (x > w / 3 && x < 2 * w / 3) return;
  const std::int32_t chosen = picker_.PickColour(x < w / 3 ? low_ : high_);
  if (chosen < 0) return;
  if (x < w / 3) low_ = chosen;
  else if (x > 2 * w / 3) high_ = chosen;
  PaintColorPreview(low_, high_);
}

void FrmContour::PaintColorPreview(std::int32_t low, std::int32_t high) {
  Surface& s = Picture1.Canvas();
  const auto a = static_cast<COLORREF>(low), b = static_cast<COLORREF>(high);
  const int w = s.width();
  for (int x = 0; x < w; ++x) {
    const double t = w > 1 ? static_cast<double>(x) / (w - 1) : 0;
    auto mix = [t](int p, int q) { return static_cast<int>(std::nearbyint(p + (q - p) * t)); };
    const Pixel colour = ToPixel(RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
                                     mix(GetBValue(a), GetBValue(b))));
    s.FillRect(x, 0, x + 1, s.height(), colour);
  }
  Picture1.Refresh();
}

}  // namespace altimar::contour
