// The form runtime: forms are windows with controls and event handlers,
// written as plain C++ classes. A form is created on first use: the first
// property access (or Show) loads it, creating its window and its controls'
// windows and running its load handler once. Positions and sizes are in
// twips, 15 to a pixel.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::forms {

inline constexpr int kTwipsPerPixel = 15;
inline int ToPixels(double twips) { return static_cast<int>(twips / kTwipsPerPixel); }
inline double ToTwips(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }

// The form runtime's RGB function: each part rounded to the nearest whole
// number (halves to even) and kept to 0..255, unlike the Win32 macro, which
// keeps only the low byte.
inline win::COLORREF RgbFunction(double r, double g, double b) {
  auto part = [](double v) { return static_cast<int>(std::nearbyint(std::clamp(v, 0.0, 255.0))); };
  return win::RGB(part(r), part(g), part(b));
}

enum MouseButtons { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftKeys { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum BorderStyles { vbBSNone = 0, vbFixedSingle = 1, vbSizable = 2, vbFixedDialog = 3 };
enum QueryUnloadModes { vbFormControlMenu = 0, vbFormCode = 1 };

class Control;

// Handlers with the form runtime's arguments.
using ClickHandler = std::function<void()>;
using MouseHandler = std::function<void(int button, int shift, double x, double y)>;
using KeyHandler = std::function<void(int& keyCode, int shift)>;
using KeyPressHandler = std::function<void(int& keyAscii)>;

class Form {
 public:
  Form(win::Desktop& desktop, int program, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Loads the form if it is not loaded: window, controls, then Form_Load.
  void Load();
  bool loaded() const { return hwnd_ != 0; }
  // Shows the form; modal runs the desktop's loop until it is hidden.
  void Show(bool modal = false);
  void Hide();
  // Closes the form: QueryUnload may cancel (then it only hides, when the
  // user closed it); then Form_Unload, then the windows go. False if cancelled.
  bool Unload(int mode = vbFormCode);

  win::HWND hwnd();
  const std::string& name() const { return name_; }
  std::string Caption();
  void SetCaption(const std::string& c);
  double Left();
  double Top();
  double Width();
  double Height();
  void Move(double left, double top, double width = -1, double height = -1);
  double ScaleWidth();
  double ScaleHeight();
  bool Visible();
  int BorderStyle = vbFixedSingle;  // set before the form loads
  bool KeyPreview = false;
  // The pointer over the form: 0 default, 11 hourglass.
  int MousePointer() const { return mousePointer_; }
  void SetMousePointer(int shape);
  win::Desktop& desktop() { return desktop_; }

  // Events.
  KeyHandler KeyDown;
  MouseHandler MouseDown, MouseMove, MouseUp;
  std::function<void(bool& cancel, int mode)> QueryUnload;

  // The controls, in the order they were declared (the runtime's own use).
  void Register(Control* c) { controls_.push_back(c); }
  void Unregister(Control* c) { std::erase(controls_, c); }
  const std::vector<Control*>& controls() const { return controls_; }
  // Paints the form and every control again.
  void Refresh();
  // A picture behind the controls, at the client area's top left (none when empty).
  win::Surface Background;
  void RepaintBackground() { PaintFrame(); }
  Control* FocusedControl() const;

 protected:
  virtual void Form_Load() {}
  virtual void Form_Unload(bool& cancel) { (void)cancel; }
  // Size and caption of a form before it loads, in twips.
  double initialLeft_ = 0, initialTop_ = 0, initialWidth_ = 4800, initialHeight_ = 3600;
  std::string initialCaption_;

 private:
  win::LRESULT Proc(win::UINT msg, win::WPARAM wp, win::LPARAM lp);
  void PaintFrame();
  int Shift() const;
  win::RECT WindowRect();  // screen pixels
  win::RECT ClientRect();

  win::Desktop& desktop_;
  int program_;
  std::string name_;
  win::HWND hwnd_ = 0;
  bool loading_ = false;
  bool unloading_ = false;  // in Form_Unload: a second Unload from there does nothing
  int mousePointer_ = 0;
  std::vector<Control*> controls_;
};

}  // namespace altimar::forms
