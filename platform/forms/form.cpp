#include "platform/forms/form.h"

#include <algorithm>

#include "platform/forms/control.h"
#include "platform/forms/paint.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {
constexpr int kCaptionHeight = 23;
constexpr int kBorder = 3;
}  // namespace

Form::Form(Desktop& desktop, int program, std::string name)
    : desktop_(desktop), program_(program), name_(std::move(name)) {
  initialCaption_ = name_;
}

Form::~Form() {
  if (hwnd_ && desktop_.IsWindow(hwnd_)) desktop_.DestroyWindow(hwnd_);
}

void Form::Load() {
  if (hwnd_ || loading_) return;
  loading_ = true;
  hwnd_ = desktop_.CreateWindowExA(0, "ThunderFormDC", initialCaption_, 0, ToPixels(initialLeft_),
                                   ToPixels(initialTop_), ToPixels(initialWidth_),
                                   ToPixels(initialHeight_), 0, program_,
                                   [this](HWND, UINT m, WPARAM w, LPARAM l) { return Proc(m, w, l); });
  desktop_.SetWindowCursor(hwnd_, mousePointer_);
  if (BorderStyle != vbBSNone) desktop_.SetFrame(hwnd_, {kBorder, kCaptionHeight + kBorder, kBorder, kBorder});
  // Controls in declaration order: a container is declared before what it holds.
  for (Control* c : controls_) c->Create(c->container() ? c->container()->hwnd() : hwnd_);
  PaintFrame();
  Form_Load();
  loading_ = false;
  Refresh();
}

void Form::SetMousePointer(int shape) {
  mousePointer_ = shape;
  if (hwnd_) desktop_.SetWindowCursor(hwnd_, shape);
}

HWND Form::hwnd() {
  Load();
  return hwnd_;
}

void Form::Show(bool modal) {
  Load();
  desktop_.ShowWindow(hwnd_, SW_SHOW);
  desktop_.SetForegroundWindow(hwnd_);
  Refresh();
  if (modal) desktop_.RunModalLoop(hwnd_);
}

void Form::Hide() {
  if (hwnd_) desktop_.ShowWindow(hwnd_, SW_HIDE);
}

bool Form::Unload(int mode) {
  if (!hwnd_ || unloading_) return true;
  bool cancel = false;
  if (QueryUnload) QueryUnload(cancel, mode);
  if (cancel) {
    // A close the form refuses only hides it (when the user closed it).
    if (mode == vbFormControlMenu) Hide();
    return false;
  }
  unloading_ = true;
  Form_Unload(cancel);
  unloading_ = false;
  if (cancel || !hwnd_) return !cancel;
  const HWND h = hwnd_;
  hwnd_ = 0;
  // Controls moved into other programs' windows go with the form too.
  for (Control* c : controls_) c->Destroy();
  desktop_.DestroyWindow(h);
  return true;
}

std::string Form::Caption() { return desktop_.GetWindowText(hwnd()); }

void Form::SetCaption(const std::string& c) {
  desktop_.SetWindowTextA(hwnd(), c);
  PaintFrame();
}

RECT Form::WindowRect() {
  RECT r;
  desktop_.GetWindowRect(hwnd(), &r);
  return r;
}
RECT Form::ClientRect() {
  RECT r;
  desktop_.GetClientRect(hwnd(), &r);
  return r;
}
double Form::Left() { return ToTwips(WindowRect().left); }
double Form::Top() { return ToTwips(WindowRect().top); }
double Form::Width() { return ToTwips(WindowRect().width()); }
double Form::Height() { return ToTwips(WindowRect().height()); }
double Form::ScaleWidth() { return ToTwips(ClientRect().width()); }
double Form::ScaleHeight() { return ToTwips(ClientRect().height()); }
bool Form::Visible() { return hwnd_ && desktop_.IsWindowVisible(hwnd_); }

void Form::Move(double left, double top, double width, double height) {
  const HWND h = hwnd();
  const RECT r = WindowRect();
  desktop_.MoveWindow(h, ToPixels(left), ToPixels(top), width < 0 ? r.width() : ToPixels(width),
                      height < 0 ? r.height() : ToPixels(height), true);
  PaintFrame();
  Refresh();
}

void Form::PaintFrame() {
  if (!hwnd_) return;
  RECT r;
  desktop_.GetWindowRect(hwnd_, &r);
  Surface& s = desktop_.WindowSurface(hwnd_);
  s.Fill(paint::kFace);
  const int left = BorderStyle == vbBSNone ? 0 : kBorder;
  const int top = BorderStyle == vbBSNone ? 0 : kBorder + kCaptionHeight;
  for (int y = 0; y < Background.height() && top + y < s.height(); ++y)
    for (int x = 0; x < Background.width() && left + x < s.width(); ++x) s.at(left + x, top + y) = Background.at(x, y);
  if (BorderStyle == vbBSNone) return;
  paint::Raised(s, 0, 0, r.width(), r.height());
  s.FillRect(kBorder, kBorder, r.width() - kBorder, kBorder + kCaptionHeight, 0x2B579A);
  paint::Text(desktop_, hwnd_, desktop_.GetWindowText(hwnd_),
              {kBorder + 6, kBorder, r.width() - kBorder, kBorder + kCaptionHeight}, 0xFFFFFF,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void Form::Refresh() {
  if (!hwnd_) return;
  for (Control* c : controls_) c->Refresh();
}

Control* Form::FocusedControl() const {
  const HWND f = desktop_.GetFocus();
  for (Control* c : controls_)
    if (c->hwnd() == f) return c;
  return nullptr;
}

int Form::Shift() const {
  int s = 0;
  if (desktop_.GetAsyncKeyState(VK_SHIFT)) s |= vbShiftMask;
  if (desktop_.GetAsyncKeyState(VK_CONTROL)) s |= vbCtrlMask;
  if (desktop_.GetAsyncKeyState(VK_MENU)) s |= vbAltMask;
  return s;
}

LRESULT Form::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  const double x = ToTwips(GET_X_LPARAM(lp)), y = ToTwips(GET_Y_LPARAM(lp));
  switch (msg) {
    case WM_CLOSE:
      Unload(vbFormControlMenu);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      if (MouseDown) MouseDown(msg == WM_LBUTTONDOWN ? vbLeftButton : vbRightButton, Shift(), x, y);
      return 0;
    case WM_MOUSEMOVE:
      if (MouseMove)
        MouseMove((wp & MK_LBUTTON) ? vbLeftButton : (wp & MK_RBUTTON) ? vbRightButton : 0, Shift(), x, y);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (MouseUp) MouseUp(msg == WM_LBUTTONUP ? vbLeftButton : vbRightButton, Shift(), x, y);
      return 0;
    case WM_KEYDOWN: {
      int key = static_cast<int>(wp);
      if (KeyDown) KeyDown(key, Shift());
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace altimar::forms
