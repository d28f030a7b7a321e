#include "platform/forms/toolbar.h"

#include "platform/forms/paint.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;

ToolbarButton& Toolbar::Add(const std::string& key, int style, const std::string& image) {
  ToolbarButton b;
  b.Key = key;
  b.Style = style;
  b.Image = image;
  b.Index = static_cast<int>(buttons_.size()) + 1;
  buttons_.push_back(b);
  Refresh();
  return buttons_.back();
}

void Toolbar::Clear() {
  buttons_.clear();
  Refresh();
}

ToolbarButton* Toolbar::Button(const std::string& key) {
  for (auto& b : buttons_)
    if (b.Key == key) return &b;
  return nullptr;
}

int Toolbar::ButtonLeft(std::size_t index) const {
  int x = 2;
  for (std::size_t k = 0; k < index; ++k) {
    if (!buttons_[k].Visible) continue;
    x += buttons_[k].Style == tbrSeparator ? kSeparatorWidth : kButtonSize + 1;
  }
  return x;
}

double Toolbar::ButtonsWidth() const { return ToTwips(ButtonLeft(buttons_.size()) + 2); }

ToolbarButton* Toolbar::ButtonAt(int x, int y) {
  if (y < 1 || y > kButtonSize + 1) return nullptr;
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    auto& b = buttons_[k];
    if (!b.Visible || b.Style == tbrSeparator) continue;
    const int left = ButtonLeft(k);
    if (x >= left && x < left + kButtonSize) return &b;
  }
  return nullptr;
}

bool Toolbar::ButtonRect(const std::string& key, RECT& rect) const {
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    const auto& b = buttons_[k];
    if (b.Key != key || !b.Visible || b.Style == tbrSeparator) continue;
    const int left = ButtonLeft(k);
    rect = {left, 1, left + kButtonSize, 1 + kButtonSize};
    return true;
  }
  return false;
}

void Toolbar::SetValue(const std::string& key, int value) {
  ToolbarButton* b = Button(key);
  if (!b) return;
  if (value == tbrPressed && b->Style == tbrButtonGroup) {
    // A group: the buttons of this style next to it, up to separators.
    const std::size_t at = static_cast<std::size_t>(b->Index - 1);
    for (std::size_t k = at; k-- > 0 && buttons_[k].Style == tbrButtonGroup;) buttons_[k].Value = tbrUnpressed;
    for (std::size_t k = at + 1; k < buttons_.size() && buttons_[k].Style == tbrButtonGroup; ++k)
      buttons_[k].Value = tbrUnpressed;
  }
  b->Value = value;
  Refresh();
}

void Toolbar::OnClick() {
  ToolbarButton* b = ButtonAt(lastX_, lastY_);
  if (!b || !b->Enabled) return;
  if (b->Style == tbrButtonGroup) SetValue(b->Key, tbrPressed);
  else if (b->Style == tbrCheck) SetValue(b->Key, b->Value ? tbrUnpressed : tbrPressed);
  if (ButtonClick) ButtonClick(*b);
  Control::OnClick();
}

void Toolbar::HideTip() {
  if (tip_ && desktop().IsWindow(tip_)) desktop().DestroyWindow(tip_);
  tip_ = 0;
  tipFor_ = nullptr;
}

// A tool tip under the pointer for the button it rests on; it goes after a
// few seconds, when the pointer leaves the button, or with a press.
void Toolbar::OnHover(int x, int y) {
  const ToolbarButton* b = ButtonAt(x, y);
  if (b == tipFor_) return;
  HideTip();
  if (!b || b->ToolTipText.empty()) return;
  POINT at{x + 4, y + kButtonSize + 4};
  desktop().ClientToScreen(hwnd(), &at);
  LOGFONTA f;
  f.lfHeight = -11;
  const int w = desktop().gdi().fonts().TextWidth(f, b->ToolTipText) + 8;
  tip_ = desktop().CreateWindowExA(WS_EX_TOPMOST, "tooltips_class32", b->ToolTipText, WS_VISIBLE | WS_POPUP, at.x,
                                   at.y, w, 19, 0, desktop().ProgramOf(hwnd()));
  tipFor_ = b;
  Surface& s = desktop().WindowSurface(tip_);
  s.Fill(0xFFFFE1);
  s.FillRect(0, 0, w, 1, paint::kText);
  s.FillRect(0, 18, w, 19, paint::kText);
  s.FillRect(0, 0, 1, 19, paint::kText);
  s.FillRect(w - 1, 0, w, 19, paint::kText);
  paint::Text(desktop(), tip_, b->ToolTipText, {4, 0, w, 19}, paint::kText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  desktop().SetTimer(tip_, 1, 5000, [this] { HideTip(); });
}

void Toolbar::Paint(Surface& s) {
  s.Fill(paint::kFace);
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    const auto& b = buttons_[k];
    if (!b.Visible) continue;
    const int left = ButtonLeft(k);
    if (b.Style == tbrSeparator) {
      s.FillRect(left + kSeparatorWidth / 2 - 1, 3, left + kSeparatorWidth / 2, kButtonSize - 1, paint::kShadow);
      s.FillRect(left + kSeparatorWidth / 2, 3, left + kSeparatorWidth / 2 + 1, kButtonSize - 1, paint::kHighlight);
      continue;
    }
    const bool down = b.Value == tbrPressed;
    if (down) {
      s.FillRect(left, 1, left + kButtonSize, 1 + kButtonSize, 0xE0E0E0);
      paint::Sunken(s, left, 1, left + kButtonSize, 1 + kButtonSize);
    }
    if (const Surface* pic = images ? images->Find(b.Image) : nullptr) {
      const int ox = left + (kButtonSize - pic->width()) / 2 + (down ? 1 : 0);
      const int oy = 1 + (kButtonSize - pic->height()) / 2 + (down ? 1 : 0);
      for (int y = 0; y < pic->height(); ++y)
        for (int x = 0; x < pic->width(); ++x) {
          if (!s.Inside(ox + x, oy + y)) continue;
          Pixel p = pic->at(x, y);
          if (!b.Enabled || !Enabled()) {  // a disabled button greys its picture
            const unsigned grey = (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            const unsigned light = 160 + grey * 80 / 255;
            p = light << 16 | light << 8 | light;
          }
          s.at(ox + x, oy + y) = p;
        }
    }
  }
}

}  // namespace altimar::forms
