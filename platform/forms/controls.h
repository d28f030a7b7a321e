// The basic controls: buttons, labels, text boxes, check boxes, option
// buttons (in arrays, exclusive within their container), frames, progress
// bars and timers.
#pragma once

#include <cstdint>
#include <string>

#include "platform/forms/control.h"
#include "platform/forms/progress.h"

namespace altimar::forms {

class CommandButton : public Control {
 public:
  using Control::Control;
  std::string Caption;
  // A picture face (the graphical style): drawn centred, above the caption if any.
  win::Surface Picture;

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ThunderCommandButton"; }
};

class Label : public Control {
 public:
  using Control::Control;
  std::string Caption;
  int BackStyle = 1;  // 0 transparent, 1 opaque
  win::COLORREF ForeColor = win::RGB(0, 0, 0);
  win::COLORREF BackColor = win::RGB(0xF0, 0xF0, 0xF0);

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ThunderLabel"; }
};

class TextBox : public Control {
 public:
  using Control::Control;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& t);
  bool MultiLine = false;
  ClickHandler Change;

 protected:
  void Paint(win::Surface& s) override;
  void OnKeyPress(int keyAscii) override;
  const char* ClassName() const override { return "ThunderTextBox"; }

 private:
  std::string text_;
};

class CheckBox : public Control {
 public:
  using Control::Control;
  std::string Caption;
  int Value = 0;  // 0 unchecked, 1 checked
  // Setting the value by code raises Click, as the runtime does.
  void SetValue(int v);

 protected:
  void Paint(win::Surface& s) override;
  void OnClick() override;
  const char* ClassName() const override { return "ThunderCheckBox"; }
};

// An option button, alone or as an element of an array (Index >= 0): the
// option buttons sharing a container are exclusive. Click(Index) arrives
// through ClickIndex.
class OptionButton : public Control {
 public:
  OptionButton(Form& form, std::string name, int index, Control* container = nullptr);
  std::string Caption;
  bool Value() const { return value_; }
  // Selecting one clears the others of its array and raises Click.
  void SetValue(bool v);
  std::function<void(int index)> ClickIndex;

 protected:
  void Paint(win::Surface& s) override;
  void OnClick() override;
  const char* ClassName() const override { return "ThunderOptionButton"; }

 private:
  bool value_ = false;
};

class Frame : public Control {
 public:
  using Control::Control;
  std::string Caption;

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ThunderFrame"; }
};

class ProgressBar : public Control, public IProgressBar {
 public:
  using Control::Control;
  bool Visible() const override { return Control::Visible(); }
  void SetVisible(bool v) override { Control::SetVisible(v); }
  double Min() const override { return min_; }
  void SetMin(double v) override;
  double Max() const override { return max_; }
  void SetMax(double v) override;
  double Value() const override { return value_; }
  // A value outside Min..Max is refused (the value stays), as the control does.
  void SetValue(double v) override;

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ProgressBar20WndClass"; }

 private:
  double min_ = 0, max_ = 100, value_ = 0;
};

// An invisible control: its Timer event runs on the desktop's loop every
// Interval milliseconds while Enabled.
class Timer {
 public:
  Timer(Form& form, std::string name) : form_(form), name_(std::move(name)) {}
  ~Timer() { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  ClickHandler Tick;  // the Timer event

 private:
  void Start();
  void Stop();
  Form& form_;
  std::string name_;
  int interval_ = 0;
  bool enabled_ = true;
  bool running_ = false;
  std::uintptr_t id_ = 0;
};

}  // namespace altimar::forms
