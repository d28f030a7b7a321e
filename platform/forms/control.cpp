#include "platform/forms/control.h"

#include "platform/forms/paint.h"

namespace altimar::forms {

using namespace altimar::win;

Control::Control(Form& form, std::string name, Control* container)
    : form_(form), name_(std::move(name)), container_(container) {
  form_.Register(this);
}

Control::~Control() {
  if (hwnd_ && desktop().IsWindow(hwnd_)) desktop().DestroyWindow(hwnd_);
  form_.Unregister(this);
}

void Control::Create(HWND parent) {
  if (hwnd_ && desktop().IsWindow(hwnd_)) return;  // created once: a second window would outlive it
  hwnd_ = desktop().CreateWindowExA(0, ClassName(), name_, (visible_ ? WS_VISIBLE : 0) | WS_CHILD,
                                    x_, y_, w_, h_, parent, desktop().ProgramOf(parent),
                                    [this](HWND, UINT m, WPARAM w, LPARAM l) { return Proc(m, w, l); });
  desktop().EnableWindow(hwnd_, enabled_);
}

void Control::Destroy() {
  if (hwnd_ && desktop().IsWindow(hwnd_)) desktop().DestroyWindow(hwnd_);
  hwnd_ = 0;
  pressed_ = false;
}

HWND Control::hwnd() {
  if (!hwnd_) form_.Load();
  return hwnd_;
}

void Control::Move(double left, double top, double width, double height) {
  x_ = ToPixels(left);
  y_ = ToPixels(top);
  if (width >= 0) w_ = ToPixels(width);
  if (height >= 0) h_ = ToPixels(height);
  if (hwnd_) {
    desktop().MoveWindow(hwnd_, x_, y_, w_, h_, true);
    Refresh();
  }
}

void Control::SetVisible(bool v) {
  visible_ = v;
  if (hwnd_) desktop().ShowWindow(hwnd_, v ? SW_SHOW : SW_HIDE);
}

void Control::SetEnabled(bool e) {
  enabled_ = e;
  if (hwnd_) {
    desktop().EnableWindow(hwnd_, e);
    Refresh();
    // What it contains changes its look with it.
    for (Control* c : form_.controls())
      for (Control* up = c->container_; up; up = up->container_)
        if (up == this) {
          c->Refresh();
          break;
        }
  }
}

void Control::SetFocus() {
  if (hwnd()) desktop().SetFocus(hwnd_);
}

void Control::Refresh() {
  if (!hwnd_ || !desktop().IsWindow(hwnd_)) return;
  Paint(desktop().WindowSurface(hwnd_));
  desktop().WindowRepainted(hwnd_);
}

void Control::Paint(Surface& s) { s.Fill(paint::kFace); }

void Control::OnClick() {
  if (Click) Click();
}

LRESULT Control::Proc(UINT msg, WPARAM wp, LPARAM lp) {
  const double x = ToTwips(GET_X_LPARAM(lp)), y = ToTwips(GET_Y_LPARAM(lp));
  int shift = 0;
  if (wp & MK_SHIFT) shift |= vbShiftMask;
  if (wp & MK_CONTROL) shift |= vbCtrlMask;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      const int button = msg == WM_LBUTTONDOWN ? vbLeftButton : vbRightButton;
      if (button == vbLeftButton) {
        pressed_ = true;
        desktop().SetCapture(hwnd_);
        SetFocus();
        OnPress(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        Refresh();
      }
      if (MouseDown) MouseDown(button, shift, x, y);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (pressed_) OnDrag(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      else OnHover(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      if (MouseMove) MouseMove((wp & MK_LBUTTON) ? vbLeftButton : 0, shift, x, y);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const int button = msg == WM_LBUTTONUP ? vbLeftButton : vbRightButton;
      const bool wasPressed = pressed_ && button == vbLeftButton;
      if (button == vbLeftButton) {
        pressed_ = false;
        desktop().ReleaseCapture();
        Refresh();
      }
      if (MouseUp) MouseUp(button, shift, x, y);
      // A click is a press and a release over the same control.
      RECT r{0, 0, w_, h_};
      if (wasPressed && r.Contains(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)) && Enabled()) OnClick();
      return 0;
    }
    case WM_KEYDOWN: {
      int key = static_cast<int>(wp);
      // With KeyPreview the form sees the key first.
      if (form_.KeyPreview && form_.KeyDown) form_.KeyDown(key, shift);
      if (key == 0) return 0;
      if (KeyDown) KeyDown(key, shift);
      if (key == VK_RETURN || key == VK_ESCAPE) {
        int ascii = key;
        if (KeyPress) KeyPress(ascii);
        if (ascii != 0) OnKeyPress(ascii);
      }
      return 0;
    }
    case WM_CHAR: {
      if (wp == VK_RETURN || wp == VK_ESCAPE) return 0;  // raised with the key itself
      int ascii = static_cast<int>(wp);
      if (KeyPress) KeyPress(ascii);  // a handler may discard the key by setting it to 0
      if (ascii != 0) OnKeyPress(ascii);
      return 0;
    }
    default:
      return 0;
  }
}

}  // namespace altimar::forms
