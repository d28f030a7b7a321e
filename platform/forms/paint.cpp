#include "platform/forms/paint.h"

#include "platform/win/gdi.h"

namespace altimar::forms::paint {

namespace {
void HLine(win::Surface& s, int x0, int x1, int y, win::Pixel p) { s.FillRect(x0, y, x1, y + 1, p); }
void VLine(win::Surface& s, int x, int y0, int y1, win::Pixel p) { s.FillRect(x, y0, x + 1, y1, p); }
}  // namespace

void Raised(win::Surface& s, int l, int t, int r, int b) {
  HLine(s, l, r, t, kHighlight);
  VLine(s, l, t, b, kHighlight);
  HLine(s, l, r, b - 1, kDarkShadow);
  VLine(s, r - 1, t, b, kDarkShadow);
  HLine(s, l + 1, r - 1, b - 2, kShadow);
  VLine(s, r - 2, t + 1, b - 1, kShadow);
}

void Sunken(win::Surface& s, int l, int t, int r, int b) {
  HLine(s, l, r, t, kShadow);
  VLine(s, l, t, b, kShadow);
  HLine(s, l, r, b - 1, kHighlight);
  VLine(s, r - 1, t, b, kHighlight);
  HLine(s, l + 1, r - 1, t + 1, kDarkShadow);
  VLine(s, l + 1, t + 1, b - 1, kDarkShadow);
}

void Text(win::Desktop& d, win::HWND hwnd, const std::string& text, win::RECT r, win::Pixel colour,
          win::UINT format) {
  if (!text.empty()) d.gdi().PaintText(hwnd, text, r, colour, format);
}

}  // namespace altimar::forms::paint
