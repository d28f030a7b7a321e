// Text through a device context: DrawTextA with its alignment flags, TextOutA.
#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/win/desktop.h"
#include "platform/win/gdi.h"
#include "platform/win/gdi_internal.h"
#include "platform/win/window.h"

namespace altimar::win {

namespace {

std::string_view Slice(const char* text, int length) {
  if (!text) return {};
  return length < 0 ? std::string_view(text) : std::string_view(text, static_cast<std::size_t>(length));
}

// The lines DrawTextA shows: one for DT_SINGLELINE (line breaks dropped),
// else split at line breaks and, with DT_WORDBREAK, wrapped at blanks.
std::vector<std::string> Lines(std::string_view text, UINT format, int width,
                               const std::function<int(std::string_view)>& measure) {
  std::vector<std::string> out;
  if (format & DT_SINGLELINE) {
    std::string s;
    for (char c : text)
      if (c != '\r' && c != '\n') s += c;
    out.push_back(s);
    return out;
  }
  std::size_t from = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', from);
    std::string line(text.substr(from, nl == std::string_view::npos ? std::string_view::npos : nl - from));
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    if ((format & DT_WORDBREAK) && measure(line) > width) {
      std::string current;
      std::size_t p = 0;
      while (p < line.size()) {
        std::size_t e = line.find(' ', p);
        std::string word = line.substr(p, e == std::string::npos ? std::string::npos : e - p);
        std::string tryLine = current.empty() ? word : current + " " + word;
        if (!current.empty() && measure(tryLine) > width) {
          out.push_back(current);
          current = word;
        } else {
          current = tryLine;
        }
        if (e == std::string::npos) break;
        p = e + 1;
      }
      out.push_back(current);
    } else {
      out.push_back(line);
    }
    if (nl == std::string_view::npos) break;
    from = nl + 1;
  }
  return out;
}

}  // namespace

int Gdi::DrawTextA(HDC hdc, const char* text, int length, RECT* rect, UINT format) {
  DC* dc = FindDC(hdc);
  if (!dc || !rect) return 0;
  const LOGFONTA& font = FontOf(*dc);
  const TextMetrics tm = fonts_.Metrics(font);
  auto measure = [&](std::string_view s) { return fonts_.TextWidth(font, s); };
  const auto lines = Lines(Slice(text, length), format, rect->width(), measure);
  const int lineHeight = tm.height;
  const int total = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const auto& l : lines) widest = std::max(widest, measure(l));
    rect->right = rect->left + widest;
    rect->bottom = rect->top + total;
    return total;
  }
  int y = rect->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = rect->top + (rect->height() - lineHeight) / 2;
    else if (format & DT_BOTTOM) y = rect->bottom - lineHeight;
  }
  const RECT clip = (format & DT_NOCLIP) ? RECT{-100000, -100000, 100000, 100000} : *rect;
  for (const auto& line : lines) {
    const int w = measure(line);
    int x = rect->left;
    if (format & DT_CENTER) x = rect->left + (rect->width() - w) / 2;
    else if (format & DT_RIGHT) x = rect->right - w;
    // Draw into a copy of the area under the line, then write back what changed.
    const RECT box{std::max(x, clip.left), std::max(y, clip.top), std::min(x + w, clip.right),
                   std::min(y + lineHeight, clip.bottom)};
    if (box.width() > 0 && box.height() > 0) {
      Surface area(box.width(), box.height());
      std::vector<std::uint8_t> have(static_cast<std::size_t>(box.width() * box.height()), 0);
      for (int j = 0; j < box.height(); ++j)
        for (int i = 0; i < box.width(); ++i) {
          Pixel p = 0;
          have[static_cast<std::size_t>(j * box.width() + i)] = Read(*dc, box.left + i, box.top + j, p);
          area.at(i, j) = p;
        }
      if (dc->bkMode == OPAQUE) area.Fill(ToPixel(dc->bk));
      fonts_.Draw(font, line, x - box.left, y - box.top, ToPixel(dc->text), area,
                  {0, 0, box.width(), box.height()});
      for (int j = 0; j < box.height(); ++j)
        for (int i = 0; i < box.width(); ++i)
          if (have[static_cast<std::size_t>(j * box.width() + i)])
            Write(*dc, box.left + i, box.top + j, area.at(i, j));
    }
    y += lineHeight;
  }
  Dirty(*dc);
  return total;
}

bool Gdi::TextOutA(HDC hdc, int x, int y, const char* text, int length) {
  DC* dc = FindDC(hdc);
  if (!dc) return false;
  const LOGFONTA& font = FontOf(*dc);
  const std::string_view s = Slice(text, length);
  RECT r{x, y, x + fonts_.TextWidth(font, s), y + fonts_.Metrics(font).height};
  DrawTextA(hdc, s.data(), static_cast<int>(s.size()), &r, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
  return true;
}

bool Gdi::GetTextExtentPoint32A(HDC hdc, const char* text, int length, POINT* size) {
  DC* dc = FindDC(hdc);
  if (!dc || !size) return false;
  const LOGFONTA& font = FontOf(*dc);
  size->x = fonts_.TextWidth(font, Slice(text, length));
  size->y = fonts_.Metrics(font).height;
  return true;
}

void Gdi::PaintText(HWND hwnd, const std::string& text, RECT rect, Pixel color, UINT format) {
  const HDC hdc = GetWindowDC(hwnd);
  if (!hdc) return;
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, ToColorRef(color));
  DrawTextA(hdc, text.c_str(), -1, &rect, format);
  ReleaseDC(hwnd, hdc);
}

}  // namespace altimar::win
