// The screen as a person sees it: windows in z-order with layered alpha, and
// what was drawn on the desktop itself on top.
#include <algorithm>
#include <cstring>

#include "platform/win/desktop.h"
#include "platform/win/window.h"

namespace altimar::win {

namespace {
constexpr Pixel kDesktopColour = 0x3A6EA5;

RECT Intersect(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}
}  // namespace

Surface& Desktop::WindowSurface(HWND hwnd) {
  screenDirty_ = true;
  return Get(hwnd).surface;
}

void Desktop::WindowRepainted(HWND hwnd) {
  const Window* w = Find(hwnd);
  if (!w) return;
  const RECT r = Intersect(ScreenRect(*w), {0, 0, width_, height_});
  for (int y = r.top; y < r.bottom; ++y)
    std::memset(overlayMask_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                    static_cast<std::size_t>(r.left),
                0, static_cast<std::size_t>(std::max(0, r.width())));
  screenDirty_ = true;
}

void Desktop::ComposeWindow(const Window& w, RECT clip, BYTE alpha) {
  const RECT sr = ScreenRect(w);
  const RECT r = Intersect(sr, clip);
  if (r.width() > 0 && r.height() > 0) {
    for (int y = r.top; y < r.bottom; ++y) {
      const Pixel* from = w.surface.row(y - sr.top) + (r.left - sr.left);
      Pixel* to = screen_.row(y) + r.left;
      if (alpha == 255) {
        std::memcpy(to, from, static_cast<std::size_t>(r.width()) * sizeof(Pixel));
        continue;
      }
      for (int x = 0; x < r.width(); ++x) {
        const Pixel a = from[x], b = to[x];
        auto mix = [&](int shift) {
          return ((((a >> shift) & 0xFF) * alpha + ((b >> shift) & 0xFF) * (255u - alpha) + 127) / 255)
                 << shift;
        };
        to[x] = mix(16) | mix(8) | mix(0);
      }
    }
  }
  // Children, back to front, inside this window's client area.
  const RECT inner = Intersect(ScreenClientRect(w), clip);
  if (inner.width() <= 0 || inner.height() <= 0) return;
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
    const Window& c = Get(*it);
    if (c.visible && !c.minimized) ComposeWindow(c, inner, alpha);
  }
}

bool Desktop::InvalidateRect(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return false;
  w->invalid = true;
  anyInvalid_ = true;
  screenDirty_ = true;
  return true;
}

const Surface& Desktop::ComposeScreen() {
  // Windows waiting to be painted paint first (a handler may invalidate
  // again; each window paints once per composition).
  std::vector<HWND> toPaint;
  if (anyInvalid_) {
    anyInvalid_ = false;
    for (const auto& w : windows_)
      if (w && w->invalid) toPaint.push_back(w->handle);
  }
  for (HWND h : toPaint) {
    if (Window* w = Find(h)) {
      w->invalid = false;
      SendMessageA(h, WM_PAINT, 0, 0);
    }
  }
  if (!screenDirty_) return screen_;
  screen_.Resize(width_, height_);
  screen_.Fill(kDesktopColour);
  const RECT all{0, 0, width_, height_};
  const auto& top = windows_[0]->children;
  for (auto it = top.rbegin(); it != top.rend(); ++it) {
    const Window& w = Get(*it);
    if (!w.visible || w.minimized) continue;
    ComposeWindow(w, all, (w.exStyle & WS_EX_LAYERED) ? w.alpha : 255);
  }
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* mask = overlayMask_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    if (!std::memchr(mask, 1, static_cast<std::size_t>(width_))) continue;
    Pixel* to = screen_.row(y);
    const Pixel* from = overlay_.row(y);
    for (int x = 0; x < width_; ++x)
      if (mask[x]) to[x] = from[x];
  }
  screenDirty_ = false;
  return screen_;
}

std::string Desktop::SaveScreenPng(const std::string& path) { return WritePng(path, ComposeScreen()); }

std::string Desktop::SaveWindowPng(HWND hwnd, const std::string& path) {
  const Window* w = Find(hwnd);
  if (!w) return "no such window";
  const Surface& screen = ComposeScreen();
  const RECT r = Intersect(ScreenRect(*w), {0, 0, width_, height_});
  if (r.width() <= 0 || r.height() <= 0) return "the window is not on the screen";
  Surface out(std::max(0, r.width()), std::max(0, r.height()));
  for (int y = 0; y < out.height(); ++y)
    std::memcpy(out.row(y), screen.row(r.top + y) + r.left, static_cast<std::size_t>(out.width()) * sizeof(Pixel));
  return WritePng(path, out);
}

}  // namespace altimar::win
