// GDI on the desktop's surfaces: device contexts for a window's client area,
// its whole window, the desktop itself (an overlay over the composed screen),
// or a memory bitmap; pens, brushes, fonts and bitmaps as handles; the
// drawing calls the program makes, with their Win32 names and rules.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/font.h"
#include "platform/win/surface.h"
#include "platform/win/win_types.h"

namespace altimar::win {

class Desktop;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

class Gdi {
 public:
  explicit Gdi(Desktop& desktop);
  ~Gdi();

  // Device contexts. hwnd 0 (or the desktop window) draws on the screen.
  HDC GetDC(HWND hwnd);
  HDC GetWindowDC(HWND hwnd);
  int ReleaseDC(HWND hwnd, HDC hdc);
  HDC CreateCompatibleDC(HDC hdc);
  bool DeleteDC(HDC hdc);
  std::size_t OpenDCs() const { return dcs_.size(); }

  // Objects.
  HPEN CreatePen(int style, int width, COLORREF color);
  HBRUSH CreateSolidBrush(COLORREF color);
  HBRUSH CreatePatternBrush(HBITMAP bitmap);
  HFONT CreateFontIndirectA(const LOGFONTA* font);
  HBITMAP CreateCompatibleBitmap(HDC hdc, int w, int h);
  HBITMAP CreateBitmap(const Surface& pixels);
  HGDIOBJ GetStockObject(int index);
  HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
  bool DeleteObject(HGDIOBJ object);
  std::size_t LiveObjects() const;  // created and not deleted, stock objects aside
  Surface* BitmapPixels(HBITMAP bitmap);

  // State.
  int SetROP2(HDC hdc, int rop);
  int GetROP2(HDC hdc) const;
  COLORREF SetBkColor(HDC hdc, COLORREF c);
  int SetBkMode(HDC hdc, int mode);
  COLORREF SetTextColor(HDC hdc, COLORREF c);
  int GetDeviceCaps(HDC hdc, int index) const;

  // Drawing.
  bool MoveToEx(HDC hdc, int x, int y, POINT* old);
  bool LineTo(HDC hdc, int x, int y);
  bool Rectangle(HDC hdc, int l, int t, int r, int b);
  bool Ellipse(HDC hdc, int l, int t, int r, int b);
  int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
  COLORREF SetPixel(HDC hdc, int x, int y, COLORREF c);
  COLORREF GetPixel(HDC hdc, int x, int y);
  bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
  int DrawTextA(HDC hdc, const char* text, int length, RECT* rect, UINT format);
  bool TextOutA(HDC hdc, int x, int y, const char* text, int length);
  bool GetTextExtentPoint32A(HDC hdc, const char* text, int length, POINT* size);

  // For the platform's own windows: text straight onto a window's surface.
  void PaintText(HWND hwnd, const std::string& text, RECT rect, Pixel color, UINT format);
  FontEngine& fonts() { return fonts_; }

 private:
  struct Object;
  struct DC;
  DC* FindDC(HDC hdc);
  const DC* FindDC(HDC hdc) const;
  Object* FindObject(HGDIOBJ h);
  HGDIOBJ AddObject(std::unique_ptr<Object> o);
  // Pixel access through a DC, in its coordinates, clipped.
  bool Read(const DC& dc, int x, int y, Pixel& p);
  void Write(DC& dc, int x, int y, Pixel p);
  void PenPixel(DC& dc, int x, int y, Pixel pen);
  void BrushSpan(DC& dc, int x0, int x1, int y, bool rop);
  void PenLine(DC& dc, int x0, int y0, int x1, int y1, bool last);
  void Dirty(const DC& dc);
  const LOGFONTA& FontOf(const DC& dc);

  Desktop& desktop_;
  FontEngine fonts_;
  std::map<HGDIOBJ, std::unique_ptr<Object>> objects_;
  std::map<HDC, std::unique_ptr<DC>> dcs_;
  HGDIOBJ nextObject_ = 0x2000;
  HDC nextDC_ = 0x1000;
  HGDIOBJ stock_[SYSTEM_FONT + 1] = {};
};

}  // namespace altimar::win
