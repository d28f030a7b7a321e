#include "workspace/open_forms.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr int kLabel = 0, kThreeD = 2;
}

FrmOpenOptions::FrmOpenOptions(Desktop& desktop, int program)
    : Form(desktop, program, "frmOpenOptions") {
  initialCaption_ = "Open Options";
  initialWidth_ = 6360;
  initialHeight_ = 5940;
  BorderStyle = vbFixedDialog;
  // The options the open command reads exist before the dialog first shows:
  // a shapefile is converted to KML, the globe's places are left alone.
  chkConvert.Value = 1;
  chkCloseGEPlaces.Value = 0;
  for (int i = 0; i < 3; ++i) chkOpenFileOption[i].Index = i;

  Frame3.Move(120, 60, 6000, 1140);
  chkConvert.Move(240, 300, 1800, 300);
  chkLoadinGE.Move(2160, 300, 1800, 300);
  chkCloseGEPlaces.Move(240, 720, 5400, 300);
  Frame2.Move(120, 1260, 6000, 780);
  Check2.Move(240, 300, 2880, 300);
  Check1.Move(3240, 300, 2400, 300);
  Frame1.Move(120, 2100, 6000, 2940);
  chkOpenFileOption[0].Move(240, 300, 1200, 300);
  chkOpenFileOption[1].Move(1560, 300, 1560, 300);
  chkOpenFileOption[2].Move(3240, 300, 1200, 300);
  lblLabelField.Move(240, 720, 2880, 255);
  cmbSelectFieldToLabel.Move(3240, 690, 2520, 315);
  frameHeightParameter.Move(240, 1140, 2760, 1620);
  lblHeightField.Move(120, 300, 2520, 495);
  Combo1.Move(120, 840, 2520, 315);
  frameCoefficient.Move(3120, 1140, 2640, 1620);
  lblFormula.Move(120, 300, 2400, 255);
  Text1.Move(120, 720, 1080, 315);
  Text2.Move(1320, 720, 1080, 315);
  Command1.Move(3480, 5160, 1200, 375);
  Command2.Move(4920, 5160, 1200, 375);
}

void FrmOpenOptions::Form_Load() {
  Frame3.Caption = "Open Options";
  chkConvert.Caption = "Convert";
  chkLoadinGE.Caption = "Load in GE";
  chkCloseGEPlaces.Caption = "Close Files opened in GE-Places";
  Frame2.Caption = "Query Options";
  Check2.Caption = "SQL Select by Attributes";
  Check1.Caption = "Fast Search";
  Frame1.Caption = "KML Style";
  frameHeightParameter.Caption = "Height Parameter";
  lblHeightField.Caption = "Select a numeric Field to represent height";
  frameCoefficient.Caption = "Coefficient";
  lblFormula.Caption = "( Y = a * X + b )";
  lblLabelField.Caption = "Select a Field to label (X)";
  chkOpenFileOption[0].Caption = "Label";
  chkOpenFileOption[1].Caption = "Disply BBox";
  chkOpenFileOption[2].Caption = "2.5D";
  Command1.Caption = "OK";
  Command2.Caption = "Cancel";
  for (int i = 0; i < 3; ++i)
    chkOpenFileOption[i].Click = [this, i] { chkOpenFileOption_Click(i); };
  Command1.Click = [this] { Hide(); };
  Command2.Click = [this] { Hide(); };
  cmbSelectFieldToLabel.SetEnabled(false);
  frameHeightParameter.SetEnabled(false);
  frameCoefficient.SetEnabled(false);
}

void FrmOpenOptions::chkOpenFileOption_Click(int index) {
  const bool on = chkOpenFileOption[index].Value == 1;
  if (index == kLabel) {
    cmbSelectFieldToLabel.SetEnabled(on);
  } else if (index == kThreeD) {
    frameHeightParameter.SetEnabled(on);
    frameCoefficient.SetEnabled(on);
  }
}

FrmOpenResource::FrmOpenResource(Desktop& desktop, int program)
    : Form(desktop, program, "frmOpenResource") {
  initialCaption_ = "Open a Resource";
  initialWidth_ = 6240;
  initialHeight_ = 2880;
  BorderStyle = vbFixedDialog;
  Frame1.Move(120, 60, 5880, 1680);
  lblLocal.Move(240, 300, 1800, 255);
  Text1.Move(240, 570, 4800, 315);
  Command3.Move(5160, 570, 480, 315);
  lblWfs.Move(240, 960, 1800, 255);
  Text2.Move(240, 1230, 4800, 315);
  Command4.Move(5160, 1230, 480, 315);
  Command1.Move(3360, 1920, 1200, 375);
  Command2.Move(4800, 1920, 1200, 375);
}

void FrmOpenResource::Form_Load() {
  Frame1.Caption = "Resource";
  lblLocal.Caption = "Open a local File:";
  lblWfs.Caption = "Connect to a WFS:";
  Command3.Caption = "...";
  Command4.Caption = "...";
  Command1.Caption = "OK";
  Command2.Caption = "Cancel";
  Command1.Click = [this] { Hide(); };
  Command2.Click = [this] { Hide(); };
  KeyPreview = true;
  KeyDown = [this](int& key, int) {
    if (key == VK_ESCAPE) {
      key = 0;
      Hide();
    }
  };
}

}  // namespace altimar::workspace
