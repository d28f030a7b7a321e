#include "platform/forms/menu.h"

#include <algorithm>

#include "platform/forms/paint.h"
#include "platform/win/gdi.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {
constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 8;
constexpr int kWidth = 220;
}  // namespace

Menu& Menu::Add(std::string name, std::string caption) {
  items_.push_back(std::make_unique<Menu>(std::move(name), std::move(caption)));
  return *items_.back();
}

Menu* Menu::Find(const std::string& name) {
  if (name_ == name) return this;
  for (auto& i : items_)
    if (Menu* m = i->Find(name)) return m;
  return nullptr;
}

namespace {

bool HasVisibleItems(Menu& m) {
  for (auto& i : m.items())
    if (i->Visible) return true;
  return false;
}

// Runs one level of a popup menu at a screen point (kept on the screen).
// An item with items of its own opens them beside it, as a further popup.
Menu* RunPopup(Desktop& d, int program, Menu& menu, int flags, POINT at) {
  std::vector<Menu*> shown;
  for (auto& i : menu.items())
    if (i->Visible) shown.push_back(i.get());
  if (shown.empty()) return nullptr;
  int height = 2;
  std::vector<int> tops;
  for (Menu* m : shown) {
    tops.push_back(height);
    height += m->separator() ? kSeparatorHeight : kItemHeight;
  }
  height += 2;
  at.x = std::clamp<LONG>(at.x, 0, d.width() - kWidth);
  at.y = std::clamp<LONG>(at.y, 0, std::max(0, d.height() - height));

  Menu* chosen = nullptr;
  HWND popup = 0;
  auto itemAt = [&](int cy) -> Menu* {
    for (std::size_t k = 0; k < shown.size(); ++k) {
      const int h = shown[k]->separator() ? kSeparatorHeight : kItemHeight;
      if (cy >= tops[k] && cy < tops[k] + h) return shown[k];
    }
    return nullptr;
  };
  const UINT chooseOn = (flags & vbPopupMenuRightButton) ? WM_RBUTTONUP : WM_LBUTTONUP;
  // Opened by a press: the release of that press, before the pointer moves,
  // does not choose (the menu opens over the button that was pressed).
  bool openingPress = (d.GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0 ||
                      (d.GetAsyncKeyState(VK_RBUTTON) & 0x8000) != 0;
  popup = d.CreateWindowExA(WS_EX_TOPMOST, "#32768", "", WS_VISIBLE | WS_POPUP, at.x, at.y, kWidth, height,
                            0, program, [&](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                              const int cx = GET_X_LPARAM(lp), cy = GET_Y_LPARAM(lp);
                              const bool inside = cx >= 0 && cy >= 0 && cx < kWidth && cy < height;
                              if (msg == kFindMenuItem) {
                                auto* q = reinterpret_cast<MenuItemQuery*>(lp);
                                for (std::size_t k = 0; k < shown.size(); ++k)
                                  if (shown[k]->name() == q->name && !shown[k]->separator()) {
                                    q->rect = {at.x, at.y + tops[k], at.x + kWidth, at.y + tops[k] + kItemHeight};
                                    q->found = true;
                                  }
                                return 0;
                              }
                              if (msg == WM_MOUSEMOVE) openingPress = false;
                              if ((msg == WM_LBUTTONUP || msg == chooseOn) && openingPress) {
                                openingPress = false;
                              } else if (msg == WM_LBUTTONUP || msg == chooseOn) {
                                Menu* m = inside ? itemAt(cy) : nullptr;
                                if (!inside || (m && !m->separator() && m->Enabled)) {
                                  chosen = inside ? m : nullptr;
                                  d.ReleaseCapture();
                                  d.DestroyWindow(h);
                                }
                              } else if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
                                d.ReleaseCapture();
                                d.DestroyWindow(h);
                              }
                              return 0;
                            });
  Surface& s = d.WindowSurface(popup);
  s.Fill(paint::kFace);
  paint::Raised(s, 0, 0, kWidth, height);
  for (std::size_t k = 0; k < shown.size(); ++k) {
    Menu* m = shown[k];
    if (m->separator()) {
      s.FillRect(4, tops[k] + 3, kWidth - 4, tops[k] + 4, paint::kShadow);
      s.FillRect(4, tops[k] + 4, kWidth - 4, tops[k] + 5, paint::kHighlight);
      continue;
    }
    const Pixel colour = m->Enabled ? paint::kText : paint::kDisabledText;
    if (m->Checked) paint::Text(d, popup, "x", {6, tops[k], 20, tops[k] + kItemHeight}, colour, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    paint::Text(d, popup, m->Caption, {22, tops[k], kWidth - 4, tops[k] + kItemHeight}, colour,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (HasVisibleItems(*m))
      paint::Text(d, popup, ">", {kWidth - 20, tops[k], kWidth - 6, tops[k] + kItemHeight}, colour,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
  }
  // Every click goes to the popup: outside it, the menu is dismissed.
  d.SetCapture(popup);
  d.SetFocus(popup);
  try {
    d.RunModalLoop(popup);
  } catch (...) {
    // The popup's procedure refers to this call's state: it must not outlive it.
    if (d.IsWindow(popup)) {
      d.ReleaseCapture();
      d.DestroyWindow(popup);
    }
    throw;
  }
  if (chosen && HasVisibleItems(*chosen)) {
    std::size_t k = 0;
    while (shown[k] != chosen) ++k;
    return RunPopup(d, program, *chosen, flags, {at.x + kWidth - 4, at.y + tops[k]});
  }
  if (chosen && chosen->Click) chosen->Click();
  return chosen;
}

}  // namespace

Menu* PopupMenu(Form& form, Menu& menu, int flags, double x, double y) {
  Desktop& d = form.desktop();
  POINT at;
  if (x < 0 && y < 0) {
    d.GetCursorPos(&at);
  } else {
    at = {ToPixels(x), ToPixels(y)};
    d.ClientToScreen(form.hwnd(), &at);
  }
  return RunPopup(d, d.ProgramOf(form.hwnd()), menu, flags, at);
}

}  // namespace altimar::forms
