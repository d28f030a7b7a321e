// A toolbar of buttons by key (default, button group, separator), with
// pictures from an image list, tool tips, pressed state with exclusivity
// inside a group, and ButtonClick with the button clicked.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/forms/control.h"

namespace altimar::forms {

// Pictures by key.
class ImageList {
 public:
  void Add(const std::string& key, win::Surface picture) { images_[key] = std::move(picture); }
  const win::Surface* Find(const std::string& key) const {
    auto it = images_.find(key);
    return it == images_.end() ? nullptr : &it->second;
  }

 private:
  std::map<std::string, win::Surface> images_;
};

enum ButtonStyles { tbrDefault = 0, tbrCheck = 1, tbrButtonGroup = 2, tbrSeparator = 3 };
enum ButtonValues { tbrUnpressed = 0, tbrPressed = 1 };

struct ToolbarButton {
  std::string Key;
  int Style = tbrDefault;
  std::string ToolTipText, Description, Image;
  int Value = tbrUnpressed;
  bool Enabled = true;
  bool Visible = true;
  int Index = 0;  // 1-based place in the toolbar
};

class Toolbar : public Control {
 public:
  using Control::Control;
  ToolbarButton& Add(const std::string& key, int style = tbrDefault, const std::string& image = "");
  void Clear();
  ToolbarButton* Button(const std::string& key);
  std::vector<ToolbarButton>& Buttons() { return buttons_; }
  // Presses a button by code (group buttons release the others of their group).
  void SetValue(const std::string& key, int value);
  // The width the buttons need, in twips.
  double ButtonsWidth() const;
  const ImageList* images = nullptr;
  std::function<void(ToolbarButton&)> ButtonClick;
  // The button under a point of the toolbar (pixels), or nullptr.
  ToolbarButton* ButtonAt(int x, int y);
  // Where a shown button is, in the toolbar's pixels; false for a separator,
  // a hidden button or a key it does not have.
  bool ButtonRect(const std::string& key, win::RECT& rect) const;

  static constexpr int kButtonSize = 24;
  static constexpr int kSeparatorWidth = 8;

 protected:
  void Paint(win::Surface& s) override;
  void OnClick() override;
  void OnPress(int x, int y) override {
    lastX_ = x;
    lastY_ = y;
    HideTip();
  }
  void OnHover(int x, int y) override;
  const char* ClassName() const override { return "msvb_lib_toolbar"; }

 private:
  int ButtonLeft(std::size_t index) const;
  void HideTip();
  std::vector<ToolbarButton> buttons_;
  int lastX_ = -1, lastY_ = -1;
  win::HWND tip_ = 0;  // the tool tip shown, if any
  const ToolbarButton* tipFor_ = nullptr;

 public:
  ~Toolbar() override { HideTip(); }
  void Destroy() override {
    HideTip();
    Control::Destroy();
  }
  win::HWND ToolTipWindow() const { return tip_; }
};

}  // namespace altimar::forms
