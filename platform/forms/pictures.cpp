#include "platform/forms/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/forms/paint.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {
constexpr int kArrow = 17;  // scroll bar arrow buttons, pixels
constexpr int kItemHeight = 16;
}  // namespace

// --- PictureBox ---

void PictureBox::EnsureCanvas() {
  hwnd();
  const win::Surface& s = desktop().WindowSurface(hwnd());
  if (!canvasReady_ || canvas_.width() != s.width() || canvas_.height() != s.height()) {
    canvas_.Resize(s.width(), s.height(), ToPixel(BackColor));
    canvasReady_ = true;
  }
  // With AutoRedraw, what was drawn through the device context is kept.
  if (dcOut_) {
    canvas_ = s;
    dcOut_ = false;
  }
}

win::Surface& PictureBox::Canvas() {
  EnsureCanvas();
  return canvas_;
}

void PictureBox::Cls() {
  EnsureCanvas();
  canvas_.Fill(ToPixel(BackColor));
  CurrentX = CurrentY = 0;
  Refresh();
}

void PictureBox::Print(const std::string& text) {
  EnsureCanvas();
  LOGFONTA font;
  font.lfHeight = -11;
  auto& fonts = desktop().gdi().fonts();
  fonts.Draw(font, text, ToPixels(CurrentX), ToPixels(CurrentY), ToPixel(ForeColor), canvas_,
             {0, 0, canvas_.width(), canvas_.height()});
  CurrentX = 0;
  CurrentY += ToTwips(fonts.Metrics(font).height);
  Refresh();
}

void PictureBox::Line(double x1, double y1, double x2, double y2, COLORREF colour, bool box,
                      bool filled) {
  EnsureCanvas();
  const Pixel p = ToPixel(colour);
  int a = ToPixels(x1), b = ToPixels(y1), c = ToPixels(x2), d = ToPixels(y2);
  if (box) {
    if (a > c) std::swap(a, c);
    if (b > d) std::swap(b, d);
    if (filled) {
      canvas_.FillRect(a, b, c + 1, d + 1, p);
    } else {
      canvas_.FillRect(a, b, c + 1, b + 1, p);
      canvas_.FillRect(a, d, c + 1, d + 1, p);
      canvas_.FillRect(a, b, a + 1, d + 1, p);
      canvas_.FillRect(c, b, c + 1, d + 1, p);
    }
  } else {
    const int steps = std::max(std::abs(c - a), std::abs(d - b));
    for (int k = 0; k <= steps; ++k) {
      const int x = steps ? a + (c - a) * k / steps : a, y = steps ? b + (d - b) * k / steps : b;
      if (canvas_.Inside(x, y)) canvas_.at(x, y) = p;
    }
  }
  CurrentX = x2;
  CurrentY = y2;
  Refresh();
}

void PictureBox::SetPicture(const win::Surface& picture) {
  EnsureCanvas();
  canvas_.Fill(ToPixel(BackColor));
  for (int y = 0; y < std::min(picture.height(), canvas_.height()); ++y)
    std::memcpy(canvas_.row(y), picture.row(y),
                static_cast<std::size_t>(std::min(picture.width(), canvas_.width())) * sizeof(Pixel));
  Refresh();
}

HDC PictureBox::hDC() {
  // Drawing through the DC goes on the control's window; with AutoRedraw it
  // becomes part of the picture the next time the control is used.
  EnsureCanvas();
  dcOut_ = AutoRedraw;
  return desktop().gdi().GetDC(hwnd());
}

void PictureBox::Paint(win::Surface& s) {
  if (dcOut_) EnsureCanvas();
  if (!canvasReady_) {
    s.Fill(ToPixel(BackColor));
    return;
  }
  for (int y = 0; y < std::min(s.height(), canvas_.height()); ++y)
    std::memcpy(s.row(y), canvas_.row(y), static_cast<std::size_t>(std::min(s.width(), canvas_.width())) * sizeof(Pixel));
}

// --- Image ---

void Image::Paint(win::Surface& s) {
  s.Fill(paint::kFace);
  if (picture_.width() == 0) return;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const int px = Stretch ? x * picture_.width() / s.width() : x;
      const int py = Stretch ? y * picture_.height() / s.height() : y;
      if (picture_.Inside(px, py)) s.at(x, y) = picture_.at(px, py);
    }
}

// --- scroll bars ---

void ScrollBar::SetValue(int v) {
  v = std::clamp(v, std::min(Min, Max), std::max(Min, Max));
  if (v == value_) return;
  value_ = v;
  Refresh();
  if (Change) Change();
}

void ScrollBar::OnClick() {
  const int length = static_cast<int>(ToPixels(horizontal_ ? Width() : Height()));
  const int dir = Max >= Min ? 1 : -1;
  if (pressAt_ < kArrow) SetValue(value_ - SmallChange * dir);
  else if (pressAt_ >= length - kArrow) SetValue(value_ + SmallChange * dir);
  else {
    const double span = Max - Min;
    const int thumb = kArrow + static_cast<int>((length - 3 * kArrow) * (span != 0 ? (value_ - Min) / span : 0));
    SetValue(value_ + (pressAt_ < thumb ? -LargeChange : LargeChange) * dir);
  }
  Control::OnClick();
}

void ScrollBar::Paint(win::Surface& s) {
  s.Fill(0xE8E8E8);
  const int length = horizontal_ ? s.width() : s.height(), thick = horizontal_ ? s.height() : s.width();
  auto box = [&](int from, int to) {
    if (horizontal_) {
      s.FillRect(from, 0, to, thick, paint::kFace);
      paint::Raised(s, from, 0, to, thick);
    } else {
      s.FillRect(0, from, thick, to, paint::kFace);
      paint::Raised(s, 0, from, thick, to);
    }
  };
  box(0, kArrow);
  box(length - kArrow, length);
  const double span = Max - Min;
  const int thumb = kArrow + static_cast<int>((length - 3 * kArrow) * (span != 0 ? (value_ - Min) / span : 0));
  box(thumb, thumb + kArrow);
}

// --- slider ---

int Slider::ValueAt(int x) const {
  const int length = static_cast<int>(ToPixels(Width())) - 12;
  if (length <= 0 || Max == Min) return Min;
  const double t = std::clamp((x - 6) / static_cast<double>(length), 0.0, 1.0);
  return Min + static_cast<int>(std::lround(t * (Max - Min)));
}

void Slider::SetValue(int v) {
  v = std::clamp(v, std::min(Min, Max), std::max(Min, Max));
  if (v == value_) return;
  value_ = v;
  Refresh();
  if (Change) Change();
}

void Slider::Paint(win::Surface& s) {
  s.Fill(paint::kFace);
  const int mid = s.height() / 2;
  paint::Sunken(s, 4, mid - 2, s.width() - 4, mid + 2);
  const int length = s.width() - 12;
  const int x = 6 + (Max != Min ? length * (value_ - Min) / (Max - Min) : 0);
  s.FillRect(x - 5, mid - 9, x + 5, mid + 9, paint::kFace);
  paint::Raised(s, x - 5, mid - 9, x + 5, mid + 9);
}

// --- combo box ---

ComboBox::~ComboBox() { CloseList(); }

void ComboBox::AddItem(const std::string& item) {
  items_.push_back(item);
  data_.push_back(0);
  Refresh();
}

void ComboBox::Clear() {
  items_.clear();
  data_.clear();
  index_ = -1;
  Refresh();
}

void ComboBox::SetListIndex(int i) {
  if (i < -1 || i >= ListCount()) return;
  index_ = i;
  Refresh();
  if (i >= 0 && Click) Click();
}

void ComboBox::OnClick() {
  if (list_) CloseList();
  else OpenList();
}

void ComboBox::CloseList() {
  if (list_ && desktop().IsWindow(list_)) desktop().DestroyWindow(list_);
  list_ = 0;
}

// The drop-down: a topmost list under the box; a click on an item selects it.
void ComboBox::OpenList() {
  if (items_.empty()) return;
  RECT r;
  desktop().GetWindowRect(hwnd(), &r);
  const int h = kItemHeight * static_cast<int>(std::min<std::size_t>(items_.size(), 12)) + 2;
  list_ = desktop().CreateWindowExA(WS_EX_TOPMOST, "ComboLBox", "", WS_VISIBLE | WS_POPUP, r.left,
                                    r.bottom, r.width(), h, 0, desktop().ProgramOf(hwnd()),
                                    [this](HWND, UINT m, WPARAM, LPARAM lp) -> LRESULT {
                                      if (m == WM_LBUTTONUP) {
                                        const int i = (GET_Y_LPARAM(lp) - 1) / kItemHeight;
                                        CloseList();
                                        SetListIndex(i);
                                      }
                                      return 0;
                                    });
  win::Surface& s = desktop().WindowSurface(list_);
  s.Fill(paint::kWindow);
  for (std::size_t i = 0; i < items_.size() && i < 12; ++i) {
    const int top = 1 + static_cast<int>(i) * kItemHeight;
    if (static_cast<int>(i) == index_) s.FillRect(1, top, r.width() - 1, top + kItemHeight, paint::kSelection);
    paint::Text(desktop(), list_, items_[i], {4, top, r.width() - 2, top + kItemHeight},
                static_cast<int>(i) == index_ ? 0xFFFFFF : paint::kText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

void ComboBox::Paint(win::Surface& s) {
  s.Fill(Enabled() ? paint::kWindow : paint::kFace);
  paint::Sunken(s, 0, 0, s.width(), s.height());
  const int b = s.height() - 4;
  s.FillRect(s.width() - b - 2, 2, s.width() - 2, s.height() - 2, paint::kFace);
  paint::Raised(s, s.width() - b - 2, 2, s.width() - 2, s.height() - 2);
  for (int k = 0; k < 4; ++k)  // the arrow
    s.FillRect(s.width() - b / 2 - 2 - 3 + k, s.height() / 2 - 2 + k, s.width() - b / 2 - 2 + 4 - k,
               s.height() / 2 - 1 + k, paint::kText);
  paint::Text(desktop(), hwnd(), Text(), {4, 0, s.width() - b - 4, s.height()}, paint::kText,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace altimar::forms
