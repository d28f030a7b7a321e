#include "platform/forms/lists.h"

#include "platform/forms/paint.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {
constexpr int kTabHeight = 22;
int TextWidth(Desktop& d, const std::string& s) {
  LOGFONTA f;
  f.lfHeight = -11;
  return d.gdi().fonts().TextWidth(f, s);
}
}  // namespace

// --- ListView ---

ColumnHeader& ListView::AddColumn(const std::string& text, double width) {
  columns_.push_back({text, width});
  Refresh();
  return columns_.back();
}

ListItem& ListView::AddItem(const std::string& text) {
  ListItem item;
  item.Text = text;
  item.Index = static_cast<int>(items_.size()) + 1;
  items_.push_back(item);
  Refresh();
  return items_.back();
}

void ListView::Clear() {
  items_.clear();
  selected_ = 0;
  Refresh();
}

void ListView::OnPress(int, int y) {
  const int row = (y - 2 - kRow) / kRow + 1;
  if (y >= 2 + kRow && row >= 1 && row <= static_cast<int>(items_.size())) {
    selected_ = row;
    if (ItemClick) ItemClick(items_[static_cast<std::size_t>(row - 1)]);
  }
}

void ListView::Paint(Surface& s) {
  s.Fill(paint::kWindow);
  paint::Sunken(s, 0, 0, s.width(), s.height());
  int x = 2;
  std::vector<int> lefts;
  for (const auto& c : columns_) {
    const int w = ToPixels(c.Width);
    lefts.push_back(x);
    s.FillRect(x, 2, x + w, 2 + kRow, paint::kFace);
    paint::Raised(s, x, 2, x + w, 2 + kRow);
    paint::Text(desktop(), hwnd(), c.Text, {x + 4, 2, x + w - 2, 2 + kRow}, paint::kText,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    x += w;
  }
  for (std::size_t r = 0; r < items_.size(); ++r) {
    const int top = 2 + kRow * static_cast<int>(r + 1);
    if (top >= s.height()) break;
    const bool sel = static_cast<int>(r + 1) == selected_;
    if (sel) s.FillRect(2, top, s.width() - 2, top + kRow, paint::kSelection);
    for (std::size_t c = 0; c < lefts.size(); ++c) {
      const std::string& text = c == 0 ? items_[r].Text
                                : c - 1 < items_[r].SubItems.size() ? items_[r].SubItems[c - 1] : std::string();
      const int w = ToPixels(columns_[c].Width);
      paint::Text(desktop(), hwnd(), text, {lefts[c] + 4, top, lefts[c] + w - 2, top + kRow},
                  sel ? 0xFFFFFF : paint::kText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
  }
}

// --- TabStrip ---

Tab& TabStrip::Add(const std::string& key, const std::string& caption) {
  Tab t;
  t.Key = key;
  t.Caption = caption;
  t.Index = static_cast<int>(tabs_.size()) + 1;
  tabs_.push_back(t);
  if (selected_ == 0) selected_ = 1;
  Refresh();
  return tabs_.back();
}

std::vector<int> TabStrip::Lefts() {
  std::vector<int> lefts;
  int x = 2;
  for (const auto& t : tabs_) {
    lefts.push_back(x);
    x += TextWidth(desktop(), t.Caption) + 16;
  }
  lefts.push_back(x);
  return lefts;
}

int TabStrip::TabAt(int x, int y) {
  if (y < 0 || y >= kTabHeight) return 0;
  const auto lefts = Lefts();
  for (std::size_t k = 0; k < tabs_.size(); ++k)
    if (x >= lefts[k] && x < lefts[k + 1]) return static_cast<int>(k + 1);
  return 0;
}

void TabStrip::OnPress(int x, int y) { pressedTab_ = TabAt(x, y); }

void TabStrip::OnClick() {
  if (pressedTab_ > 0) Select(pressedTab_);
}

void TabStrip::Select(int index) {
  if (index < 1 || index > static_cast<int>(tabs_.size())) return;
  selected_ = index;
  Refresh();
  if (Click) Click();
}

void TabStrip::Paint(Surface& s) {
  s.Fill(paint::kFace);
  paint::Raised(s, 0, kTabHeight - 2, s.width(), s.height());
  const auto lefts = Lefts();
  for (std::size_t k = 0; k < tabs_.size(); ++k) {
    const bool sel = static_cast<int>(k + 1) == selected_;
    const int top = sel ? 0 : 2;
    s.FillRect(lefts[k], top, lefts[k + 1] - 1, kTabHeight - (sel ? 1 : 2), paint::kFace);
    paint::Raised(s, lefts[k], top, lefts[k + 1] - 1, kTabHeight + (sel ? 1 : -2));
    if (sel) s.FillRect(lefts[k] + 1, kTabHeight - 2, lefts[k + 1] - 2, kTabHeight, paint::kFace);
    paint::Text(desktop(), hwnd(), tabs_[k].Caption, {lefts[k], top, lefts[k + 1], kTabHeight}, paint::kText,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

}  // namespace altimar::forms
