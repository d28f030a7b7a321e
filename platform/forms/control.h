// A control: a child window of its form (or of a container control such as
// a frame) that paints itself and turns mouse and key messages into the
// events the form runtime raises: MouseDown, MouseUp, then Click.
#pragma once

#include <string>

#include "platform/forms/form.h"

namespace altimar::forms {

class Control {
 public:
  // Declares the control on its form (windows come when the form loads).
  Control(Form& form, std::string name, Control* container = nullptr);
  // Its window goes with it, and the form forgets it.
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Creates the window under the container's (the form's loading does this).
  void Create(win::HWND parent);
  // Destroys the window (the form unloads); the next load creates it again.
  virtual void Destroy();
  win::HWND hwnd();
  const std::string& name() const { return name_; }
  Control* container() const { return container_; }
  Form& form() { return form_; }

  double Left() const { return ToTwips(x_); }
  double Top() const { return ToTwips(y_); }
  double Width() const { return ToTwips(w_); }
  double Height() const { return ToTwips(h_); }
  void Move(double left, double top, double width = -1, double height = -1);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // A control inside a disabled container is disabled too, and looks it.
  bool Enabled() const { return enabled_ && (!container_ || container_->Enabled()); }
  void SetEnabled(bool e);
  void SetFocus();
  // Paints the control again.
  void Refresh();

  int Index = -1;  // place in a control array, -1 for none
  ClickHandler Click;
  MouseHandler MouseDown, MouseMove, MouseUp;
  KeyHandler KeyDown;
  KeyPressHandler KeyPress;

 protected:
  virtual void Paint(win::Surface& s);
  virtual const char* ClassName() const { return "ThunderControl"; }
  // After MouseUp over the control that had the press: its own reaction
  // (a check box toggles), then Click.
  virtual void OnClick();
  virtual void OnKeyPress(int keyAscii) { (void)keyAscii; }
  // The left button went down at (x, y) pixels, or moved there while held:
  // the control's own reaction, before the MouseDown and MouseMove events.
  virtual void OnPress(int x, int y) { (void)x, (void)y; }
  virtual void OnDrag(int x, int y) { (void)x, (void)y; }
  // The pointer moved over the control with no button held.
  virtual void OnHover(int x, int y) { (void)x, (void)y; }
  win::Desktop& desktop() { return form_.desktop(); }
  bool pressed_ = false;  // the left button went down on it and is held

 private:
  win::LRESULT Proc(win::UINT msg, win::WPARAM wp, win::LPARAM lp);

  Form& form_;
  std::string name_;
  Control* container_;
  win::HWND hwnd_ = 0;
  int x_ = 0, y_ = 0, w_ = 80, h_ = 24;  // pixels, in the container's client area
  bool visible_ = true, enabled_ = true;
};

}  // namespace altimar::forms
