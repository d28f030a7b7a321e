// The objects and device contexts behind GDI handles. Internal to platform/win.
#pragma once

#include "platform/win/gdi.h"

namespace altimar::win {

struct Gdi::Object {
  enum Kind { Pen, Brush, Font, Bitmap } kind = Pen;
  bool stock = false;
  int penStyle = PS_SOLID, penWidth = 1;
  COLORREF color = 0;
  enum BrushStyle { Solid, Hollow, Pattern } brushStyle = Solid;
  Surface pixels;  // pattern brushes and bitmaps
  LOGFONTA font;
};

struct Gdi::DC {
  enum Target { Client, Whole, Screen, Memory } target = Client;
  HWND hwnd = 0;
  bool owned = false;  // created by CreateCompatibleDC: freed by DeleteDC
  HGDIOBJ pen = 0, brush = 0, font = 0, bitmap = 0;
  int rop = R2_COPYPEN;
  COLORREF bk = RGB(255, 255, 255), text = RGB(0, 0, 0);
  int bkMode = OPAQUE;
  POINT pos;
  int dashPhase = 0;
};

}  // namespace altimar::win
