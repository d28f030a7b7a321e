// Device contexts, GDI objects and raster drawing with the Win32 rules:
// right and bottom edges excluded, LineTo leaves out its last point, every
// pen and brush pixel goes through the DC's raster operation (ROP2).
#include "platform/win/gdi.h"
#include "platform/win/gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/win/desktop.h"
#include "platform/win/window.h"

namespace altimar::win {

namespace {

Pixel Rop2(int rop, Pixel pen, Pixel dst) {
  constexpr Pixel kMask = 0xFFFFFF;
  switch (rop) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(dst | pen) & kMask;
    case R2_MASKNOTPEN: return dst & ~pen & kMask;
    case R2_NOTCOPYPEN: return ~pen & kMask;
    case R2_MASKPENNOT: return pen & ~dst & kMask;
    case R2_NOT: return ~dst & kMask;
    case R2_XORPEN: return (dst ^ pen) & kMask;
    case R2_NOTMASKPEN: return ~(dst & pen) & kMask;
    case R2_MASKPEN: return dst & pen;
    case R2_NOTXORPEN: return ~(dst ^ pen) & kMask;
    case R2_NOP: return dst;
    case R2_MERGENOTPEN: return (dst | ~pen) & kMask;
    case R2_MERGEPENNOT: return (pen | ~dst) & kMask;
    case R2_MERGEPEN: return dst | pen;
    case R2_WHITE: return kMask;
    default: return pen;  // R2_COPYPEN
  }
}

// On and off runs of the cosmetic pen styles, in pixels.
const std::vector<int>& DashPattern(int style) {
  static const std::vector<int> kSolid{}, kDash{18, 6}, kDot{3, 3}, kDashDot{9, 6, 3, 6},
      kDashDotDot{9, 3, 3, 3, 3, 3};
  switch (style) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    default: return kSolid;
  }
}

bool DashOn(const std::vector<int>& pattern, int phase) {
  if (pattern.empty()) return true;
  int total = 0;
  for (int v : pattern) total += v;
  phase %= total;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (phase < pattern[i]) return i % 2 == 0;
    phase -= pattern[i];
  }
  return true;
}

LOGFONTA SystemFont() {
  LOGFONTA f;
  f.lfHeight = -11;  // 8.25 points at 96 dots an inch
  std::strcpy(f.lfFaceName, "MS Sans Serif");
  return f;
}

}  // namespace

Gdi::Gdi(Desktop& desktop) : desktop_(desktop) {
  auto stock = [&](int index, std::unique_ptr<Object> o) {
    o->stock = true;
    stock_[index] = AddObject(std::move(o));
  };
  auto brush = [](Object::BrushStyle style, COLORREF c) {
    auto o = std::make_unique<Object>();
    o->kind = Object::Brush;
    o->brushStyle = style;
    o->color = c;
    return o;
  };
  auto pen = [](int style, COLORREF c) {
    auto o = std::make_unique<Object>();
    o->kind = Object::Pen;
    o->penStyle = style;
    o->color = c;
    return o;
  };
  stock(WHITE_BRUSH, brush(Object::Solid, RGB(255, 255, 255)));
  stock(LTGRAY_BRUSH, brush(Object::Solid, RGB(192, 192, 192)));
  stock(GRAY_BRUSH, brush(Object::Solid, RGB(128, 128, 128)));
  stock(DKGRAY_BRUSH, brush(Object::Solid, RGB(64, 64, 64)));
  stock(BLACK_BRUSH, brush(Object::Solid, RGB(0, 0, 0)));
  stock(NULL_BRUSH, brush(Object::Hollow, 0));
  stock(WHITE_PEN, pen(PS_SOLID, RGB(255, 255, 255)));
  stock(BLACK_PEN, pen(PS_SOLID, RGB(0, 0, 0)));
  stock(NULL_PEN, pen(PS_NULL, 0));
  auto system = std::make_unique<Object>();
  system->kind = Object::Font;
  system->font = SystemFont();
  stock(SYSTEM_FONT, std::move(system));
}

Gdi::~Gdi() = default;

// --- device contexts ---

Gdi::DC* Gdi::FindDC(HDC hdc) {
  auto it = dcs_.find(hdc);
  return it == dcs_.end() ? nullptr : it->second.get();
}
const Gdi::DC* Gdi::FindDC(HDC hdc) const {
  auto it = dcs_.find(hdc);
  return it == dcs_.end() ? nullptr : it->second.get();
}

HDC Gdi::GetDC(HWND hwnd) {
  auto dc = std::make_unique<DC>();
  if (hwnd == 0 || hwnd == Desktop::kDesktopWindow) {
    dc->target = DC::Screen;
  } else {
    if (!desktop_.IsWindow(hwnd)) return 0;
    dc->target = DC::Client;
    dc->hwnd = hwnd;
  }
  dc->pen = stock_[BLACK_PEN];
  dc->brush = stock_[WHITE_BRUSH];
  dc->font = stock_[SYSTEM_FONT];
  const HDC h = nextDC_++;
  dcs_[h] = std::move(dc);
  return h;
}

HDC Gdi::GetWindowDC(HWND hwnd) {
  const HDC h = GetDC(hwnd);
  if (DC* dc = FindDC(h); dc && dc->target == DC::Client) dc->target = DC::Whole;
  return h;
}

int Gdi::ReleaseDC(HWND /*hwnd*/, HDC hdc) {
  DC* dc = FindDC(hdc);
  if (!dc || dc->owned) return 0;
  dcs_.erase(hdc);
  return 1;
}

HDC Gdi::CreateCompatibleDC(HDC /*hdc*/) {
  auto dc = std::make_unique<DC>();
  dc->target = DC::Memory;
  dc->owned = true;
  dc->pen = stock_[BLACK_PEN];
  dc->brush = stock_[WHITE_BRUSH];
  dc->font = stock_[SYSTEM_FONT];
  Surface one(1, 1, 0);
  dc->bitmap = CreateBitmap(one);  // a memory DC starts with a 1 x 1 bitmap
  objects_[dc->bitmap]->stock = true;
  const HDC h = nextDC_++;
  dcs_[h] = std::move(dc);
  return h;
}

bool Gdi::DeleteDC(HDC hdc) {
  DC* dc = FindDC(hdc);
  if (!dc || !dc->owned) return false;
  dcs_.erase(hdc);
  return true;
}

// --- objects ---

HGDIOBJ Gdi::AddObject(std::unique_ptr<Object> o) {
  const HGDIOBJ h = nextObject_++;
  objects_[h] = std::move(o);
  return h;
}

Gdi::Object* Gdi::FindObject(HGDIOBJ h) {
  auto it = objects_.find(h);
  return it == objects_.end() ? nullptr : it->second.get();
}

HPEN Gdi::CreatePen(int style, int width, COLORREF color) {
  auto o = std::make_unique<Object>();
  o->kind = Object::Pen;
  o->penStyle = style;
  o->penWidth = std::max(width, 1);
  o->color = color & 0xFFFFFF;
  return AddObject(std::move(o));
}

HBRUSH Gdi::CreateSolidBrush(COLORREF color) {
  auto o = std::make_unique<Object>();
  o->kind = Object::Brush;
  o->color = color & 0xFFFFFF;
  return AddObject(std::move(o));
}

HBRUSH Gdi::CreatePatternBrush(HBITMAP bitmap) {
  Object* b = FindObject(bitmap);
  if (!b || b->kind != Object::Bitmap || b->pixels.width() == 0) return 0;
  auto o = std::make_unique<Object>();
  o->kind = Object::Brush;
  o->brushStyle = Object::Pattern;
  o->pixels = b->pixels;  // the brush keeps its own copy, as GDI does
  return AddObject(std::move(o));
}

HFONT Gdi::CreateFontIndirectA(const LOGFONTA* font) {
  if (!font) return 0;
  auto o = std::make_unique<Object>();
  o->kind = Object::Font;
  o->font = *font;
  return AddObject(std::move(o));
}

HBITMAP Gdi::CreateCompatibleBitmap(HDC /*hdc*/, int w, int h) {
  if (w <= 0 || h <= 0 || static_cast<long long>(w) * h > (1LL << 28)) return 0;
  return CreateBitmap(Surface(w, h, 0));
}

HBITMAP Gdi::CreateBitmap(const Surface& pixels) {
  auto o = std::make_unique<Object>();
  o->kind = Object::Bitmap;
  o->pixels = pixels;
  return AddObject(std::move(o));
}

HGDIOBJ Gdi::GetStockObject(int index) {
  return index >= 0 && index <= SYSTEM_FONT ? stock_[index] : 0;
}

HGDIOBJ Gdi::SelectObject(HDC hdc, HGDIOBJ object) {
  DC* dc = FindDC(hdc);
  Object* o = FindObject(object);
  if (!dc || !o) return 0;
  HGDIOBJ* slot = nullptr;
  switch (o->kind) {
    case Object::Pen: slot = &dc->pen; break;
    case Object::Brush: slot = &dc->brush; break;
    case Object::Font: slot = &dc->font; break;
    case Object::Bitmap:
      if (dc->target != DC::Memory) return 0;
      slot = &dc->bitmap;
      break;
  }
  const HGDIOBJ old = *slot;
  *slot = object;
  return old;
}

bool Gdi::DeleteObject(HGDIOBJ object) {
  Object* o = FindObject(object);
  if (!o || o->stock) return false;
  // An object still selected into a DC is not deleted (as GDI refuses too).
  for (const auto& [h, dc] : dcs_)
    if (dc->pen == object || dc->brush == object || dc->font == object || dc->bitmap == object)
      return false;
  objects_.erase(object);
  return true;
}

std::size_t Gdi::LiveObjects() const {
  std::size_t n = 0;
  for (const auto& [h, o] : objects_) n += o->stock ? 0 : 1;
  return n;
}

Surface* Gdi::BitmapPixels(HBITMAP bitmap) {
  Object* o = FindObject(bitmap);
  return o && o->kind == Object::Bitmap ? &o->pixels : nullptr;
}

// --- state ---

int Gdi::SetROP2(HDC hdc, int rop) {
  DC* dc = FindDC(hdc);
  if (!dc || rop < R2_BLACK || rop > R2_WHITE) return 0;
  const int old = dc->rop;
  dc->rop = rop;
  return old;
}
int Gdi::GetROP2(HDC hdc) const {
  const DC* dc = FindDC(hdc);
  return dc ? dc->rop : 0;
}
COLORREF Gdi::SetBkColor(HDC hdc, COLORREF c) {
  DC* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF old = dc->bk;
  dc->bk = c & 0xFFFFFF;
  return old;
}
int Gdi::SetBkMode(HDC hdc, int mode) {
  DC* dc = FindDC(hdc);
  if (!dc) return 0;
  const int old = dc->bkMode;
  dc->bkMode = mode;
  return old;
}
COLORREF Gdi::SetTextColor(HDC hdc, COLORREF c) {
  DC* dc = FindDC(hdc);
  if (!dc) return CLR_INVALID;
  const COLORREF old = dc->text;
  dc->text = c & 0xFFFFFF;
  return old;
}
int Gdi::GetDeviceCaps(HDC /*hdc*/, int index) const {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return Desktop::kDpi;
    case HORZRES: return desktop_.width();
    case VERTRES: return desktop_.height();
    default: return 0;
  }
}

// --- pixels through a DC ---

bool Gdi::Read(const DC& dc, int x, int y, Pixel& p) {
  switch (dc.target) {
    case DC::Screen: {
      const Surface& s = desktop_.ComposeScreen();
      if (!s.Inside(x, y)) return false;
      p = s.at(x, y);
      return true;
    }
    case DC::Memory: {
      Object* b = FindObject(dc.bitmap);
      if (!b || !b->pixels.Inside(x, y)) return false;
      p = b->pixels.at(x, y);
      return true;
    }
    default: {
      Window* w = desktop_.Find(dc.hwnd);
      if (!w) return false;
      if (dc.target == DC::Client) {
        if (x < 0 || y < 0 || x >= w->clientWidth() || y >= w->clientHeight()) return false;
        x += w->frame.left;
        y += w->frame.top;
      }
      if (!w->surface.Inside(x, y)) return false;
      p = w->surface.at(x, y);
      return true;
    }
  }
}

void Gdi::Write(DC& dc, int x, int y, Pixel p) {
  switch (dc.target) {
    case DC::Screen: {
      Surface& o = desktop_.overlay_;
      if (!o.Inside(x, y)) return;
      o.at(x, y) = p;
      desktop_.overlayMask_[static_cast<std::size_t>(y) * static_cast<std::size_t>(o.width()) +
                            static_cast<std::size_t>(x)] = 1;
      if (!desktop_.screenDirty_) desktop_.screen_.at(x, y) = p;
      return;
    }
    case DC::Memory: {
      Object* b = FindObject(dc.bitmap);
      if (b && b->pixels.Inside(x, y)) b->pixels.at(x, y) = p;
      return;
    }
    default: {
      Window* w = desktop_.Find(dc.hwnd);
      if (!w) return;
      if (dc.target == DC::Client) {
        if (x < 0 || y < 0 || x >= w->clientWidth() || y >= w->clientHeight()) return;
        x += w->frame.left;
        y += w->frame.top;
      }
      if (w->surface.Inside(x, y)) w->surface.at(x, y) = p;
      return;
    }
  }
}

void Gdi::Dirty(const DC& dc) {
  if (dc.target == DC::Client || dc.target == DC::Whole) desktop_.screenDirty_ = true;
}

void Gdi::PenPixel(DC& dc, int x, int y, Pixel pen) {
  Pixel d;
  if (!Read(dc, x, y, d)) return;
  Write(dc, x, y, Rop2(dc.rop, pen, d));
}

// One row of the brush, [x0, x1), through the ROP2 or copied.
void Gdi::BrushSpan(DC& dc, int x0, int x1, int y, bool rop) {
  Object* b = FindObject(dc.brush);
  if (!b || b->brushStyle == Object::Hollow) return;
  for (int x = x0; x < x1; ++x) {
    Pixel p = ToPixel(b->color);
    if (b->brushStyle == Object::Pattern) {
      const Surface& pat = b->pixels;
      p = pat.at(((x % pat.width()) + pat.width()) % pat.width(),
                 ((y % pat.height()) + pat.height()) % pat.height());
    }
    if (rop) {
      PenPixel(dc, x, y, p);
    } else {
      Write(dc, x, y, p);
    }
  }
}

void Gdi::PenLine(DC& dc, int x0, int y0, int x1, int y1, bool last) {
  Object* pen = FindObject(dc.pen);
  if (!pen || pen->penStyle == PS_NULL) return;
  const Pixel color = ToPixel(pen->color);
  const int width = pen->penWidth;
  // Styled pens are cosmetic: wider ones draw solid, as GDI does.
  const auto& pattern = width == 1 ? DashPattern(pen->penStyle) : DashPattern(PS_SOLID);
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int err = dx + dy, x = x0, y = y0;
  for (;;) {
    const bool end = x == x1 && y == y1;
    if (end && !last) break;
    if (DashOn(pattern, dc.dashPhase)) {
      if (width == 1) {
        PenPixel(dc, x, y, color);
      } else {
        const int h = width / 2;
        for (int yy = y - h; yy < y - h + width; ++yy)
          for (int xx = x - h; xx < x - h + width; ++xx) PenPixel(dc, xx, yy, color);
      }
    } else if (dc.bkMode == OPAQUE) {
      PenPixel(dc, x, y, ToPixel(dc.bk));
    }
    ++dc.dashPhase;
    if (end) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// --- drawing ---

bool Gdi::MoveToEx(HDC hdc, int x, int y, POINT* old) {
  DC* dc = FindDC(hdc);
  if (!dc) return false;
  if (old) *old = dc->pos;
  dc->pos = {x, y};
  dc->dashPhase = 0;
  return true;
}

bool Gdi::LineTo(HDC hdc, int x, int y) {
  DC* dc = FindDC(hdc);
  if (!dc) return false;
  PenLine(*dc, dc->pos.x, dc->pos.y, x, y, false);
  dc->pos = {x, y};
  Dirty(*dc);
  return true;
}

bool Gdi::Rectangle(HDC hdc, int l, int t, int r, int b) {
  DC* dc = FindDC(hdc);
  if (!dc) return false;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  Object* pen = FindObject(dc->pen);
  const bool noPen = !pen || pen->penStyle == PS_NULL;
  if (noPen) {
    // Without a pen the figure is one pixel smaller each way.
    for (int y = t; y < b - 1; ++y) BrushSpan(*dc, l, r - 1, y, true);
  } else {
    const int w = std::max(1, pen->penWidth);
    for (int y = t + w; y < b - w; ++y) BrushSpan(*dc, l + w, r - w, y, true);
    // Each frame pixel once, so that XOR drawing undoes itself.
    const Pixel c = ToPixel(pen->color);
    for (int k = 0; k < w && l + k < r - k && t + k < b - k; ++k) {
      const int L = l + k, T = t + k, R = r - 1 - k, B = b - 1 - k;
      for (int x = L; x <= R; ++x) PenPixel(*dc, x, T, c);
      if (B > T)
        for (int x = L; x <= R; ++x) PenPixel(*dc, x, B, c);
      for (int y = T + 1; y < B; ++y) {
        PenPixel(*dc, L, y, c);
        if (R > L) PenPixel(*dc, R, y, c);
      }
    }
  }
  Dirty(*dc);
  return true;
}

bool Gdi::Ellipse(HDC hdc, int l, int t, int r, int b) {
  DC* dc = FindDC(hdc);
  if (!dc) return false;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return true;
  const double cx = (l + r - 1) / 2.0, cy = (t + b - 1) / 2.0;
  const double rx = (r - l - 1) / 2.0, ry = (b - t - 1) / 2.0;
  const int rows = b - t;
  std::vector<int> left(static_cast<std::size_t>(rows)), right(static_cast<std::size_t>(rows));
  for (int k = 0; k < rows; ++k) {
    const double ny = ry > 0 ? (t + k - cy) / ry : 0;
    const double half = rx * std::sqrt(std::max(0.0, 1 - ny * ny));
    left[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(cx - half));
    right[static_cast<std::size_t>(k)] = static_cast<int>(std::lround(cx + half));
  }
  Object* pen = FindObject(dc->pen);
  const bool noPen = !pen || pen->penStyle == PS_NULL;
  const Pixel c = noPen ? 0 : ToPixel(pen->color);
  for (int k = 0; k < rows; ++k) {
    const int y = t + k, L = left[static_cast<std::size_t>(k)], R = right[static_cast<std::size_t>(k)];
    if (noPen) {
      BrushSpan(*dc, L, R + 1, y, true);
      continue;
    }
    // The outline joins each row to its neighbours; the first and last rows are all outline.
    int leftEnd = R, rightStart = L;
    if (k > 0 && k < rows - 1) {
      const int nl = std::min(left[static_cast<std::size_t>(k - 1)], left[static_cast<std::size_t>(k + 1)]);
      const int nr = std::max(right[static_cast<std::size_t>(k - 1)], right[static_cast<std::size_t>(k + 1)]);
      leftEnd = std::max(L, nl - 1);
      rightStart = std::min(R, nr + 1);
      if (leftEnd >= rightStart) leftEnd = rightStart = R + 1;  // the whole row is outline
    }
    if (leftEnd > R) {
      for (int x = L; x <= R; ++x) PenPixel(*dc, x, y, c);
      continue;
    }
    for (int x = L; x <= leftEnd; ++x) PenPixel(*dc, x, y, c);
    BrushSpan(*dc, leftEnd + 1, rightStart, y, true);
    for (int x = std::max(rightStart, leftEnd + 1); x <= R; ++x) PenPixel(*dc, x, y, c);
  }
  Dirty(*dc);
  return true;
}

int Gdi::FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
  DC* dc = FindDC(hdc);
  if (!dc || !rect || !FindObject(brush)) return 0;
  const HGDIOBJ old = dc->brush;
  dc->brush = brush;
  for (int y = rect->top; y < rect->bottom; ++y) BrushSpan(*dc, rect->left, rect->right, y, false);
  dc->brush = old;
  Dirty(*dc);
  return 1;
}

COLORREF Gdi::SetPixel(HDC hdc, int x, int y, COLORREF c) {
  DC* dc = FindDC(hdc);
  Pixel p;
  if (!dc || !Read(*dc, x, y, p)) return CLR_INVALID;
  Write(*dc, x, y, ToPixel(c));
  Dirty(*dc);
  return c & 0xFFFFFF;
}

COLORREF Gdi::GetPixel(HDC hdc, int x, int y) {
  DC* dc = FindDC(hdc);
  Pixel p;
  if (!dc || !Read(*dc, x, y, p)) return CLR_INVALID;
  return ToColorRef(p);
}

bool Gdi::BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  DC* d = FindDC(dst);
  DC* s = FindDC(src);
  if (!d || !s || rop != SRCCOPY || w <= 0 || h <= 0) return false;
  // Read first, then write: source and destination may overlap.
  std::vector<Pixel> block(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  std::vector<std::uint8_t> have(block.size(), 0);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * static_cast<std::size_t>(w) + static_cast<std::size_t>(i);
      have[k] = Read(*s, sx + i, sy + j, block[k]) ? 1 : 0;
    }
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const std::size_t k = static_cast<std::size_t>(j) * static_cast<std::size_t>(w) + static_cast<std::size_t>(i);
      if (have[k]) Write(*d, x + i, y + j, block[k]);
    }
  Dirty(*d);
  return true;
}

const LOGFONTA& Gdi::FontOf(const DC& dc) {
  static const LOGFONTA kSystem = SystemFont();
  Object* f = FindObject(dc.font);
  return f && f->kind == Object::Font ? f->font : kSystem;
}

}  // namespace altimar::win
