#include "platform/forms/controls.h"

#include <algorithm>

#include "platform/forms/paint.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {
Pixel TextColour(const Control& c) { return c.Enabled() ? paint::kText : paint::kDisabledText; }
RECT Whole(const Surface& s) { return {0, 0, s.width(), s.height()}; }
}  // namespace

void CommandButton::Paint(Surface& s) {
  s.Fill(paint::kFace);
  if (pressed_) {
    paint::Sunken(s, 0, 0, s.width(), s.height());
  } else {
    paint::Raised(s, 0, 0, s.width(), s.height());
  }
  RECT r = Whole(s);
  if (pressed_) {
    r.left += 1;
    r.top += 1;
  }
  if (Picture.width() > 0) {
    const int textHeight = Caption.empty() ? 0 : 16;
    const int ox = r.left + (s.width() - Picture.width()) / 2;
    const int oy = r.top + (s.height() - textHeight - Picture.height()) / 2;
    for (int y = 0; y < Picture.height(); ++y)
      for (int x = 0; x < Picture.width(); ++x)
        if (s.Inside(ox + x, oy + y) && x + ox > 1 && y + oy > 1 && ox + x < s.width() - 2 && oy + y < s.height() - 2)
          s.at(ox + x, oy + y) = Picture.at(x, y);
    if (textHeight) r.top = r.bottom - textHeight - 3;
  }
  paint::Text(desktop(), hwnd(), Caption, r, TextColour(*this), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void Label::Paint(Surface& s) {
  if (BackStyle == 1) s.Fill(ToPixel(BackColor));
  paint::Text(desktop(), hwnd(), Caption, Whole(s), Enabled() ? ToPixel(ForeColor) : paint::kDisabledText,
              DT_LEFT | DT_WORDBREAK);
}

void TextBox::SetText(const std::string& t) {
  if (t == text_) return;
  text_ = t;
  Refresh();
  if (Change) Change();
}

void TextBox::OnKeyPress(int keyAscii) {
  if (keyAscii == VK_BACK) {
    if (!text_.empty()) SetText(text_.substr(0, text_.size() - 1));
  } else if (keyAscii == VK_RETURN) {
    if (MultiLine) SetText(text_ + "\r\n");
  } else if (keyAscii >= 32 && keyAscii < 127) {
    SetText(text_ + static_cast<char>(keyAscii));
  }
}

void TextBox::Paint(Surface& s) {
  s.Fill(Enabled() ? paint::kWindow : paint::kFace);
  paint::Sunken(s, 0, 0, s.width(), s.height());
  paint::Text(desktop(), hwnd(), text_, {3, 2, s.width() - 3, s.height() - 2}, TextColour(*this),
              MultiLine ? DT_LEFT | DT_WORDBREAK : DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void CheckBox::SetValue(int v) {
  Value = v ? 1 : 0;
  Refresh();
  if (Click) Click();
}

void CheckBox::OnClick() { SetValue(Value ? 0 : 1); }

void CheckBox::Paint(Surface& s) {
  s.Fill(paint::kFace);
  const int box = 13, top = (s.height() - box) / 2;
  s.FillRect(1, top, 1 + box, top + box, Enabled() ? paint::kWindow : paint::kFace);
  paint::Sunken(s, 1, top, 1 + box, top + box);
  if (Value)
    for (int k = 0; k < 5; ++k) {  // the tick
      s.FillRect(4 + k, top + 6 + k - (k > 2 ? 2 * (k - 2) : 0), 5 + k, top + 8 + k - (k > 2 ? 2 * (k - 2) : 0),
                 TextColour(*this));
    }
  paint::Text(desktop(), hwnd(), Caption, {box + 6, 0, s.width(), s.height()}, TextColour(*this),
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

OptionButton::OptionButton(Form& form, std::string name, int index, Control* container)
    : Control(form, std::move(name), container) {
  Index = index;
}

void OptionButton::SetValue(bool v) {
  if (v) {
    for (Control* c : form().controls()) {
      auto* o = dynamic_cast<OptionButton*>(c);
      if (o && o != this && o->container() == container() && o->value_) {
        o->value_ = false;
        o->Refresh();
      }
    }
  }
  value_ = v;
  Refresh();
  if (v) {
    if (ClickIndex) ClickIndex(Index);
    if (Click) Click();
  }
}

void OptionButton::OnClick() { SetValue(true); }

void OptionButton::Paint(Surface& s) {
  s.Fill(paint::kFace);
  const int d = 12, top = (s.height() - d) / 2;
  for (int y = 0; y < d; ++y)
    for (int x = 0; x < d; ++x) {
      const double dx = x - (d - 1) / 2.0, dy = y - (d - 1) / 2.0, r2 = dx * dx + dy * dy;
      if (r2 <= 36) s.FillRect(1 + x, top + y, 2 + x, top + y + 1, r2 >= 25 ? paint::kShadow : paint::kWindow);
      if (value_ && r2 <= 6.5) s.FillRect(1 + x, top + y, 2 + x, top + y + 1, TextColour(*this));
    }
  paint::Text(desktop(), hwnd(), Caption, {d + 6, 0, s.width(), s.height()}, TextColour(*this),
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void Frame::Paint(Surface& s) {
  s.Fill(paint::kFace);
  paint::Sunken(s, 0, 7, s.width(), s.height());
  paint::Raised(s, 1, 8, s.width() - 1, s.height() - 1);
  if (!Caption.empty()) {
    LOGFONTA system;
    system.lfHeight = -11;
    const int w = desktop().gdi().fonts().TextWidth(system, Caption);
    s.FillRect(6, 0, 10 + w, 15, paint::kFace);
    paint::Text(desktop(), hwnd(), Caption, {8, 0, s.width(), 15}, TextColour(*this), DT_LEFT | DT_SINGLELINE);
  }
}

void ProgressBar::SetMin(double v) {
  min_ = v;
  value_ = std::max(value_, std::min(min_, max_));
  Refresh();
}

void ProgressBar::SetMax(double v) {
  max_ = v;
  value_ = std::min(value_, std::max(min_, max_));
  Refresh();
}

void ProgressBar::SetValue(double v) {
  if (!(v >= std::min(min_, max_) && v <= std::max(min_, max_))) return;
  value_ = v;
  Refresh();
}

void ProgressBar::Paint(Surface& s) {
  s.Fill(0xE6E6E6);
  paint::Sunken(s, 0, 0, s.width(), s.height());
  const double span = max_ - min_;
  const double share = span > 0 ? std::clamp((value_ - min_) / span, 0.0, 1.0) : 0.0;
  const int inner = s.width() - 4;
  // Blocks, as the classic progress bar draws them.
  const int filled = static_cast<int>(inner * share);
  for (int x = 0; x < filled; x += 9)
    s.FillRect(2 + x, 2, 2 + std::min(x + 7, filled), s.height() - 2, 0x06B025);
}

void Timer::SetInterval(int ms) {
  interval_ = std::max(ms, 0);
  Stop();
  Start();
}

void Timer::SetEnabled(bool on) {
  enabled_ = on;
  Stop();
  Start();
}

void Timer::Start() {
  if (!enabled_ || interval_ <= 0) return;
  id_ = form_.desktop().SetTimer(form_.hwnd(), 0, static_cast<UINT>(interval_), [this] {
    if (Tick) Tick();
  });
  running_ = id_ != 0;
}

void Timer::Stop() {
  if (running_ && form_.loaded()) form_.desktop().KillTimer(form_.hwnd(), id_);
  running_ = false;
}

}  // namespace altimar::forms
