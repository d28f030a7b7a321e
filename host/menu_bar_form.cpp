#include "host/menu_bar_form.h"

#include "host/view_capture.h"
#include "platform/win/gdi.h"

namespace altimar::host {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr COLORREF kNormalFace = RGB(224, 223, 227);
constexpr COLORREF kHoverFace = RGB(180, 180, 180);
constexpr COLORREF kDesktopColour = RGB(58, 110, 165);  // the system's desktop colour

// The pattern PaintRect fills with: a small diagonal hatch.
Surface HatchPattern() {
  Surface s(8, 8, 0xFFFFFF);
  for (int k = 0; k < 8; ++k) s.at(k, 7 - k) = 0x3060C0;
  return s;
}
}  // namespace

FrmGEMenu::FrmGEMenu(Desktop& desktop, int program, GEWindows& ge, Hotkeys& hotkeys,
                     std::string programDir, MenuBarLinks links)
    : Form(desktop, program, "frmGEMenu"),
      objGE(desktop),
      ge_(ge),
      hotkeys_(hotkeys),
      programDir_(std::move(programDir)),
      links_(std::move(links)) {
  BorderStyle = vbBSNone;
  initialLeft_ = 0;
  initialTop_ = 0;
  initialHeight_ = 450;
  initialWidth_ = 2400;
  Frame1.Move(0, 0, 420, 300);
  Label1.Move(0, 45, 420, 300);
  Picture1.Move(480, 0, 420, 300);
  Picture2.Move(960, 0, 120, 120);
  picBmp.Move(1200, 0, 300, 300);

  bexo.Visible = false;
  bexo.Add("bexoAbout", "About Bexo").Click = [this] { bexoAbout_Click(); };
  bexo.Add("contourAbout", "About Altimar").Click = [this] { contourAbout_Click(); };
  bexo.Add("sep1", "-");
  bexo.Add("contourBar", "ContourBar          Ctrl+F9").Click = [this] { contourBar_Click(); };
  auto& vorlan = bexo.Add("bexoToolbar", "VorlanBar");
  vorlan.Enabled = false;
  vorlan.Click = [this] { bexoToolbar_Click(); };
  auto& pdf = bexo.Add("GE2PDF", "Export current Section into 3DPDF");
  pdf.Visible = false;
  pdf.Click = [this] { GE2PDF_Click(); };
  bexo.Add("sep2", "-");
  bexo.Add("bexoCamera", "Camera          ").Click = [this] { bexoCamera_Click(); };
  bexo.Add("IsFlat", "The Earth is flat?").Click = [this] { IsFlat_Click(); };
  bexo.Add("sep3", "-");
  auto& bigBang = bexo.Add("BigBangModel", "Big Bang Model");
  bigBang.Visible = bigBang.Enabled = false;
  auto& abox = bexo.Add("ABoxModel", "ABox Model");
  abox.Visible = abox.Enabled = false;
  bexo.Add("sep4", "-").Visible = false;
  bexo.Add("bexoExit", "Exit").Click = [this] { bexoExit_Click(); };
}

void FrmGEMenu::Form_Load() {
  Move(0, 0, 2400, 450);
  Frame1.Move(0, 0, 420, 300);
  Label1.Move(0, 45, 420, 300);
  Label1.BackStyle = 0;
  Label1.Caption = "Bexo";
  Label1.Refresh();
  PrintFace(kNormalFace);
  Picture2.SetPicture(HatchPattern());
  bexo.Visible = false;

  const MouseHandler down = [this](int button, int, double, double) { PopupMenuAtBar(button); };
  Frame1.MouseDown = Picture1.MouseDown = Label1.MouseDown = down;
  Frame1.MouseMove = [this](int button, int, double x, double y) {
    if (button == 0) Hover(Frame1, Frame1.hwnd(), x, y);
  };
  Label1.MouseMove = [this](int button, int, double x, double y) {
    if (button == 0) Hover(Label1, Frame1.hwnd(), x, y);
  };
  Picture1.MouseMove = [this](int button, int, double x, double y) {
    if (button == 0) Hover(Picture1, Picture1.hwnd(), x, y);
  };

  RECT r;
  if (ge_.GEMainHwnd != 0 && desktop().GetWindowRect(ge_.GEMainHwnd, &r) && links_.initScreenDrawing)
    links_.initScreenDrawing();
}

void FrmGEMenu::PrintFace(COLORREF back) {
  Picture1.BackColor = back;
  Picture1.Cls();
  Picture1.CurrentY = 45;
  Picture1.Print("Bexo");
  Picture1.Refresh();
}

void FrmGEMenu::SetNormalLook() {
  PrintFace(kNormalFace);
  Label1.BackStyle = 0;
  Label1.ForeColor = RGB(0, 0, 0);
  Label1.Refresh();
}

void FrmGEMenu::SetPressedLook(bool pressed) { PrintFace(pressed ? kHoverFace : kNormalFace); }

// Outside the control: let the pointer go and look normal. Inside: keep the
// pointer (so that leaving is seen however fast it goes) and look raised.
void FrmGEMenu::Hover(Control& c, HWND captureTo, double x, double y) {
  if (x < 0 || y < 0 || x > c.Width() || y > c.Height()) {
    desktop().ReleaseCapture();
    SetNormalLook();
    return;
  }
  if (desktop().GetCapture() != captureTo) desktop().SetCapture(captureTo);
  Label1.BackStyle = 1;
  Label1.BackColor = kDesktopColour;
  Label1.ForeColor = RGB(255, 255, 255);
  Label1.Refresh();
  PrintFace(kHoverFace);
}

void FrmGEMenu::PopupMenuAtBar(int button) {
  if (button != vbLeftButton) return;
  RECT r = ge_.GEMainRect;
  if (desktop().GetWindowRect(ge_.GEMainHwnd, &r)) ge_.GEMainRect = r;
  const double x = ge_.GEMainRect.left * 15.0 + MenuBarLeft() + 15;
  const double y = ge_.GEMainRect.top * 15.0 + 285;
  desktop().ReleaseCapture();
  PopupMenu(*this, bexo, vbPopupMenuRightButton, x, y);
}

void FrmGEMenu::contourBar_Click() {
  Menu* item = bexo.Find("contourBar");
  item->Checked = !item->Checked;
  if (links_.setWorkspaceToolbarVisible) links_.setWorkspaceToolbarVisible(item->Checked);
  SetNormalLook();
}

void FrmGEMenu::bexoToolbar_Click() {
  Menu* item = bexo.Find("bexoToolbar");
  item->Checked = !item->Checked;
  if (links_.setWorkspaceToolbarVisible) links_.setWorkspaceToolbarVisible(item->Checked);
  SetNormalLook();
}

void FrmGEMenu::bexoCamera_Click() {
  picBmp.AutoRedraw = true;
  HWND render = 0;
  lastCaptureError = CaptureView(desktop(), objGE.get(), picBmp, programDir_, render);
  if (!lastCaptureError.empty())
    desktop().MessageBoxA(0, "The view could not be saved: " + lastCaptureError, "Altimar", MB_OK);
}

void FrmGEMenu::IsFlat_Click() {
  if (links_.flatEarth) *links_.flatEarth = true;
  SetNormalLook();
  if (links_.startCircleTool) links_.startCircleTool();
}

void FrmGEMenu::bexoExit_Click() {
  if (links_.workspaceHwnd) hotkeys_.HotkeyRemove(links_.workspaceHwnd());
  Unload();
  if (links_.unloadWorkspace) links_.unloadWorkspace();
}

void FrmGEMenu::AnimateAbout(const std::vector<std::pair<std::string, std::pair<int, int>>>& lines,
                             bool yield) {
  SetNormalLook();
  if (links_.initScreenDrawing) links_.initScreenDrawing();
  for (int i = 50, k = 0; i <= 200; i += 10, k += 5) {
    // Blue passes 255 in the last frames: the RGB function keeps it at 255.
    const std::int32_t colour = static_cast<std::int32_t>(RgbFunction(255 - k / 2.0, i + 50, k + 200));
    for (const auto& [text, at] : lines)
      if (links_.drawScreenText) links_.drawScreenText(text, colour, at.second, at.first);
    desktop().Sleep(100);
    if (yield) desktop().DoEvents();
  }
}

void FrmGEMenu::bexoAbout_Click() {
  AnimateAbout({{" Bexo: small tools for big maps ", {-460, 1}},
                {" The Bexo family of globe tools ", {-380, 1}},
                {" Bexo ", {-50, 2}},
                {" Contact: bexo@example.org  2026 ", {240, 1}}},
               false);
}

void FrmGEMenu::contourAbout_Click() {
  AnimateAbout({{" Altimar Version 1.2 ", {-360, 1}},
                {" Add contours dynamically onto Google Earth ", {-200, 1}},
                {" 2006 - 2026 ", {50, 1}},
                {" www.example.org/altimar ", {150, 1}},
                {" Contact: altimar@example.org ", {240, 1}}},
               true);
}

void FrmGEMenu::GE2PDF_Click() {
  ProgressBar* p = links_.progressBar ? links_.progressBar() : nullptr;
  if (!p) return;
  p->SetMin(1);
  p->SetMax(100);
  p->SetValue(1);
  // Where the contour command puts it: ending 300 twips before the menu bar's end.
  if (links_.placeProgressBar) links_.placeProgressBar();
  p->SetVisible(true);
  for (int v = 1; v <= 100; ++v) {
    p->SetValue(v);
    desktop().Sleep(20);
    desktop().DoEvents();
    p->Refresh();
  }
  p->SetVisible(false);
}

void FrmGEMenu::PaintRect(std::int32_t left, std::int32_t top, std::int32_t right,
                          std::int32_t bottom, std::int32_t colour) {
  Gdi& gdi = desktop().gdi();
  const HWND render = links_.renderHwnd ? links_.renderHwnd() : 0;
  const HDC dc = gdi.GetDC(render);
  gdi.SetROP2(dc, R2_COPYPEN);
  gdi.SetBkColor(dc, 0);
  const HBITMAP pattern = gdi.CreateBitmap(Picture2.Canvas());
  const HBRUSH brush = gdi.CreatePatternBrush(pattern);
  const HPEN pen = gdi.CreatePen(PS_SOLID, 1, static_cast<COLORREF>(colour));
  const HGDIOBJ oldBrush = gdi.SelectObject(dc, brush);
  const HGDIOBJ oldPen = gdi.SelectObject(dc, pen);
  gdi.Rectangle(dc, left, top, right, bottom);
  gdi.SelectObject(dc, oldPen);
  gdi.SelectObject(dc, oldBrush);
  gdi.DeleteObject(pen);
  gdi.DeleteObject(brush);
  gdi.DeleteObject(pattern);
  gdi.ReleaseDC(render, dc);
}

}  // namespace altimar::host
