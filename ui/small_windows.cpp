#include "ui/small_windows.h"

namespace altimar::ui {

using namespace altimar::forms;
using namespace altimar::win;

FrmMove::FrmMove(Desktop& desktop, int program) : Form(desktop, program, "frmMove") {
  BorderStyle = vbBSNone;
}

void FrmMove::Form_Load() {
  Move(Left(), Top(), 9 * kTwipsPerPixel, 9 * kTwipsPerPixel);
  MouseDown = [](int, int, double, double) {};
}

namespace {
// The buttons' faces: a small window (float) and a crossed eye (hide).
Surface FloatFace() {
  Surface s(14, 14, 0xF0F0F0);
  s.FillRect(1, 3, 13, 13, 0x404040);
  s.FillRect(2, 6, 12, 12, 0xFFFFFF);
  s.FillRect(2, 4, 12, 5, 0x2060C0);
  return s;
}
Surface HideFace() {
  Surface s(14, 14, 0xF0F0F0);
  for (int k = 1; k < 13; ++k) {
    s.at(k, k) = 0xC02020;
    s.at(13 - k, k) = 0xC02020;
  }
  return s;
}
}  // namespace

FrmFloatingInfo::FrmFloatingInfo(Desktop& desktop, int program, FloatingInfoLinks links)
    : Form(desktop, program, "frmFloatingInfo"), links_(std::move(links)) {
  initialCaption_ = "Info";
  initialWidth_ = 3600;
  initialHeight_ = 2700;
  Picture1.Move(60, 60, 3300, 1800);
  Command1.Move(60, 1920, 360, 330);
  Command2.Move(480, 1920, 360, 330);
}

void FrmFloatingInfo::Form_Load() {
  Picture1.BackColor = RGB(255, 255, 225);
  Picture1.Cls();
  Command1.Picture = FloatFace();
  Command2.Picture = HideFace();
  Command1.Click = [this] {
    if (links_.toggleFloat) links_.toggleFloat();
  };
  Command2.Click = [this] {
    if (links_.clearShow) links_.clearShow();
  };
}

void FrmFloatingInfo::Form_Unload(bool& cancel) {
  (void)cancel;
  if (links_.clearWorkspaceBox) links_.clearWorkspaceBox();
}

}  // namespace altimar::ui
