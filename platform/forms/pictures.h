// Controls that show or draw pictures, and the value controls: PictureBox
// (its own surface and device context, Cls, Print, Line), Image, scroll bars,
// the slider and the combo box.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace altimar::forms {

class PictureBox : public Control {
 public:
  using Control::Control;
  win::COLORREF BackColor = win::RGB(0xF0, 0xF0, 0xF0);
  win::COLORREF ForeColor = win::RGB(0, 0, 0);
  bool AutoRedraw = false;
  double CurrentX = 0, CurrentY = 0;  // twips
  // Clears to the back colour and puts the print position at the top left.
  void Cls();
  // Text at CurrentX, CurrentY; the position moves to the next line.
  void Print(const std::string& text);
  // A line, or a box (box: outline; filled: solid) in the fore colour.
  void Line(double x1, double y1, double x2, double y2, win::COLORREF colour, bool box = false,
            bool filled = false);
  // Shows a picture (the control keeps a copy); an empty one clears it.
  void SetPicture(const win::Surface& picture);
  double ScaleWidth() { return Width(); }
  double ScaleHeight() { return Height(); }
  // A device context on the control's window, for GDI calls; release it with
  // the desktop's GDI. Without AutoRedraw its drawing goes at the next Refresh.
  win::HDC hDC();
  // What the control shows.
  win::Surface& Canvas();

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ThunderPictureBoxDC"; }

 private:
  win::Surface canvas_;
  bool canvasReady_ = false;
  bool dcOut_ = false;  // a device context was handed out while AutoRedraw was on
  void EnsureCanvas();
};

class Image : public Control {
 public:
  using Control::Control;
  void SetPicture(const win::Surface& picture) {
    picture_ = picture;
    Refresh();
  }
  bool Stretch = false;

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "ThunderImage"; }

 private:
  win::Surface picture_;
};

// Min, Max, SmallChange, LargeChange, Value; Change after every change of
// Value. Clicks on the arrows move by SmallChange, on the track by LargeChange.
class ScrollBar : public Control {
 public:
  ScrollBar(Form& form, std::string name, bool horizontal, Control* container = nullptr)
      : Control(form, std::move(name), container), horizontal_(horizontal) {}
  int Min = 0, Max = 32767, SmallChange = 1, LargeChange = 1;
  int Value() const { return value_; }
  void SetValue(int v);
  // Range and steps, then the value (which raises Change when it changes).
  void Configure(int min, int max, int smallChange, int largeChange, int value) {
    Min = min;
    Max = max;
    SmallChange = smallChange;
    LargeChange = largeChange;
    SetValue(value);
  }
  ClickHandler Change;

 protected:
  void Paint(win::Surface& s) override;
  void OnClick() override;
  void OnPress(int x, int y) override { pressAt_ = horizontal_ ? x : y; }
  const char* ClassName() const override { return horizontal_ ? "ThunderHScrollBar" : "ThunderVScrollBar"; }

 private:
  bool horizontal_;
  int value_ = 0;
  int pressAt_ = 0;  // where the press was, along the bar
};

class HScrollBar : public ScrollBar {
 public:
  HScrollBar(Form& form, std::string name, Control* container = nullptr)
      : ScrollBar(form, std::move(name), true, container) {}
};
class VScrollBar : public ScrollBar {
 public:
  VScrollBar(Form& form, std::string name, Control* container = nullptr)
      : ScrollBar(form, std::move(name), false, container) {}
};

// A slider: dragging or clicking sets Value in Min..Max.
class Slider : public Control {
 public:
  using Control::Control;
  int Min = 0, Max = 10;
  int Value() const { return value_; }
  void SetValue(int v);
  ClickHandler Change;

 protected:
  void Paint(win::Surface& s) override;
  const char* ClassName() const override { return "Slider20WndClass"; }

 private:
  int value_ = 0;
  int ValueAt(int x) const;
  void OnPress(int x, int) override { SetValue(ValueAt(x)); }
  void OnDrag(int x, int) override { SetValue(ValueAt(x)); }
};

// A drop-down list: items with item data, ListIndex (-1 none), Text.
class ComboBox : public Control {
 public:
  using Control::Control;
  ~ComboBox() override;
  void AddItem(const std::string& item);
  void Clear();
  int ListCount() const { return static_cast<int>(items_.size()); }
  const std::string& List(int i) const { return items_.at(static_cast<std::size_t>(i)); }
  std::vector<long>& ItemData() { return data_; }
  int ListIndex() const { return index_; }
  // Selecting an item by code raises Click, as a click would.
  void SetListIndex(int i);
  std::string Text() const { return index_ >= 0 ? items_[static_cast<std::size_t>(index_)] : text_; }
  void SetText(const std::string& t) { text_ = t; Refresh(); }

 protected:
  void Paint(win::Surface& s) override;
  void OnClick() override;
  const char* ClassName() const override { return "ThunderComboBox"; }

 private:
  void OpenList();
  void CloseList();
  std::vector<std::string> items_;
  std::vector<long> data_;
  int index_ = -1;
  std::string text_;
  win::HWND list_ = 0;  // the open drop-down list
};

}  // namespace altimar::forms
