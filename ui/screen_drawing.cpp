#include "ui/screen_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/runtime/numeric.h"
#include "platform/win/gdi.h"

namespace altimar::ui {

using namespace altimar::win;

namespace {
// Win32's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
  const double v = static_cast<double>(a) * b / c;
  return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5));
}
}  // namespace

LOGFONTA cTextEx::MakeLogFont(Gdi& gdi) const {
  LOGFONTA f;
  const int points = static_cast<int>(runtime::ToLong(StdFontEx.Size));
  f.lfHeight = -MulDiv(points, gdi.GetDeviceCaps(hdc, LOGPIXELSY), 72);
  f.lfWeight = StdFontEx.Bold ? FW_BOLD : FW_NORMAL;
  f.lfItalic = StdFontEx.Italic ? 1 : 0;
  f.lfUnderline = StdFontEx.UnderLine ? 1 : 0;
  f.lfStrikeOut = StdFontEx.Strikethrough ? 1 : 0;
  f.lfCharSet = static_cast<BYTE>(StdFontEx.Charset);
  const std::size_t n = std::min<std::size_t>(StdFontEx.Name.size(), 31);
  std::memcpy(f.lfFaceName, StdFontEx.Name.data(), n);
  f.lfFaceName[n] = '\0';
  return f;
}

void cTextEx::Draw(Gdi& gdi) {
  const LOGFONTA lf = MakeLogFont(gdi);
  const HFONT font = gdi.CreateFontIndirectA(&lf);
  const HGDIOBJ old = gdi.SelectObject(hdc, font);
  gdi.SetTextColor(hdc, static_cast<COLORREF>(StdFontEx.Colour));
  gdi.SetBkMode(hdc, TRANSPARENT);
  RECT r{RectLeft, RectTop, RectRight, RectBottom};
  gdi.DrawTextA(hdc, Text.c_str(), static_cast<int>(Text.size()), &r, AllignmentFlags);
  gdi.SelectObject(hdc, old);
  gdi.DeleteObject(font);
}

ScreenDrawing::ScreenDrawing(Desktop& desktop, runtime::Random& random, const StyleSettings& style,
                             const POINT& lastHookPoint, const RECT& renderRect)
    : objGE(desktop),
      desktop_(desktop),
      random_(random),
      style_(style),
      lastHookPoint_(lastHookPoint),
      renderRect_(renderRect) {}

void ScreenDrawing::InitScreenDrawing() {
  SharedFont = cStdFontEx();
  SharedText = cTextEx();
  for (const std::string& name : FontEngine::ScreenFontNames()) ScreenFonts.push_back(name);
  GERenderHwnd = objGE->GetRenderHwnd();
}

void ScreenDrawing::DrawTextOn(HWND hwnd, bool desktopWide, const std::string& text,
                               std::int32_t colour, int sizeFactor, int offset) {
  Gdi& gdi = desktop_.gdi();
  RECT client;
  if (desktopWide) client = {0, 0, desktop_.width(), desktop_.height()};
  else if (!desktop_.GetClientRect(hwnd, &client)) return;  // the view has gone
  cStdFontEx& f = SharedFont;
  f.Name = "Alba";
  f.Size = static_cast<float>(runtime::RoundHalfEven(client.width() / 30.0 * sizeFactor));
  f.Bold = true;
  f.Italic = f.Strikethrough = f.UnderLine = false;
  f.Charset = 0;
  f.Colour = colour < 0 ? RandomColor() : colour;
  cTextEx& t = SharedText;
  t.StdFontEx = f;
  t.AllignmentFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  t.hdc = gdi.GetWindowDC(hwnd);
  t.RectLeft = client.left;
  t.RectRight = client.right;
  t.RectBottom = client.bottom;
  t.RectTop = client.top + offset;
  t.Text = text;
  t.Draw(gdi);
  // The context goes back with the call that took it.
  gdi.ReleaseDC(hwnd, t.hdc);
  t.hdc = 0;
}

void ScreenDrawing::DrawScreenText(const std::string& text, std::int32_t colour, int sizeFactor,
                                   int offset) {
  DrawTextOn(GERenderHwnd, false, text, colour, sizeFactor, offset);
}

void ScreenDrawing::DrawDesktopText(const std::string& text, std::int32_t colour, int sizeFactor,
                                    int offset) {
  DrawTextOn(desktop_.GetDesktopWindow(), true, text, colour, sizeFactor, offset);
}

std::int32_t ScreenDrawing::RandomColor() {
  random_.Randomize(desktop_.clock().NowMs());
  const auto part = [this] { return static_cast<int>(std::floor(random_.NextSingle() * 250.0)); };
  const int r = part(), g = part(), b = part();
  return static_cast<std::int32_t>(RGB(r, g, b));
}

std::string ScreenDrawing::RandomFontName() {
  if (ScreenFonts.empty()) return {};
  const auto k = static_cast<std::size_t>(std::floor(random_.NextSingle() * static_cast<double>(ScreenFonts.size())));
  return ScreenFonts[std::min(k, ScreenFonts.size() - 1)];
}

int ScreenDrawing::RandomSize() { return static_cast<int>(std::floor(random_.NextSingle() * 100.0 + 1.0)); }

void ScreenDrawing::DrawCursor(int x, int y, int arm) {
  Gdi& gdi = desktop_.gdi();
  const HDC dc = gdi.GetDC(GERenderHwnd);
  gdi.SetROP2(dc, R2_COPYPEN);
  gdi.SetBkColor(dc, 0);
  const HPEN pen = gdi.CreatePen(style_.CursorDrawStyle, style_.CursorWidth,
                                 static_cast<COLORREF>(style_.CursorColor));
  const HGDIOBJ old = gdi.SelectObject(dc, pen);
  if (style_.CursorShape == 0) {
    gdi.MoveToEx(dc, 0, y, nullptr);
    gdi.LineTo(dc, renderRect_.width(), y);
    gdi.MoveToEx(dc, x, 0, nullptr);
    gdi.LineTo(dc, x, renderRect_.height());
  } else if (style_.CursorShape != -1) {
    gdi.MoveToEx(dc, x - arm, y, nullptr);
    gdi.LineTo(dc, x + arm, y);
    gdi.MoveToEx(dc, x, y - arm, nullptr);
    gdi.LineTo(dc, x, y + arm);
  }
  gdi.SelectObject(dc, old);
  gdi.DeleteObject(pen);
  gdi.ReleaseDC(GERenderHwnd, dc);
}

template <class F>
void ScreenDrawing::WithRubberPen(COLORREF colour, F draw) {
  Gdi& gdi = desktop_.gdi();
  const HDC dc = gdi.GetDC(GERenderHwnd);
  gdi.SetROP2(dc, R2_COPYPEN);
  gdi.SetBkColor(dc, 0);
  const HGDIOBJ brush = gdi.GetStockObject(NULL_BRUSH);
  const HPEN pen = gdi.CreatePen(PS_SOLID, 1, colour);
  const HGDIOBJ oldBrush = gdi.SelectObject(dc, brush);
  const HGDIOBJ oldPen = gdi.SelectObject(dc, pen);
  draw(gdi, dc);
  gdi.SelectObject(dc, oldPen);
  gdi.SelectObject(dc, oldBrush);
  gdi.DeleteObject(pen);
  gdi.DeleteObject(brush);
  gdi.ReleaseDC(GERenderHwnd, dc);
}

void ScreenDrawing::DrawPickRect(POINT corner) {
  WithRubberPen(RGB(0, 255, 0), [&](Gdi& gdi, HDC dc) {
    gdi.Rectangle(dc, lastHookPoint_.x, lastHookPoint_.y, corner.x, corner.y);
  });
}

namespace {
constexpr COLORREF kRubber = RGB(0, 255, 255);

void Line(Gdi& gdi, HDC dc, int x0, int y0, int x1, int y1) {
  gdi.MoveToEx(dc, x0, y0, nullptr);
  gdi.LineTo(dc, x1, y1);
}

void Cross(Gdi& gdi, HDC dc, POINT p, int arm) {
  Line(gdi, dc, p.x - arm, p.y, p.x + arm + 1, p.y);
  Line(gdi, dc, p.x, p.y - arm, p.x, p.y + arm + 1);
}

int Radius(POINT a, POINT b) {
  return static_cast<int>(runtime::RoundHalfEven(std::hypot(b.x - a.x, b.y - a.y)));
}
}  // namespace

void ScreenDrawing::DrawRubberMark(POINT p, bool small) {
  WithRubberPen(kRubber, [&](Gdi& gdi, HDC dc) {
    if (small) gdi.Rectangle(dc, p.x - 5, p.y - 5, p.x + 6, p.y + 6);
    Cross(gdi, dc, p, small ? 10 : 22);
  });
}

void ScreenDrawing::DrawRubberCircle(POINT centre, POINT edge, int state) {
  if (state != 1 && state != 2) return;
  WithRubberPen(kRubber, [&](Gdi& gdi, HDC dc) {
    Line(gdi, dc, centre.x, centre.y, edge.x, edge.y);
    const int r = Radius(centre, edge);
    gdi.Ellipse(dc, centre.x - r, centre.y - r, centre.x + r, centre.y + r);
    Cross(gdi, dc, centre, 10);
  });
}

void ScreenDrawing::DrawMovedCircle(POINT centre, POINT edge, POINT from, POINT to) {
  WithRubberPen(kRubber, [&](Gdi& gdi, HDC dc) {
    Line(gdi, dc, from.x, from.y, to.x, to.y);
    const int r = Radius(centre, edge), dx = to.x - from.x, dy = to.y - from.y;
    gdi.Ellipse(dc, centre.x + dx - r, centre.y + dy - r, centre.x + dx + r, centre.y + dy + r);
  });
}

void ScreenDrawing::DrawMovedRect(RECT rect, POINT from, POINT to) {
  WithRubberPen(kRubber, [&](Gdi& gdi, HDC dc) {
    Line(gdi, dc, from.x, from.y, to.x, to.y);
    const int dx = to.x - from.x, dy = to.y - from.y;
    gdi.Rectangle(dc, rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy);
  });
}

}  // namespace altimar::ui
