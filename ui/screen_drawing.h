// Drawing straight onto other windows: text lines over the globe's 3D view
// or the desktop (through the font and text classes), the styled cursor
// cross, the pick rectangle and the rubber shapes of the selection tools.
// Each call takes its device context, pen and brush and gives them back
// before it returns; what it draws stays until the window repaints.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/application_ge.h"
#include "platform/runtime/random.h"
#include "platform/win/desktop.h"
#include "ui/style_settings.h"

namespace altimar::ui {

// A font description with a colour.
struct cStdFontEx {
  std::int32_t Colour = 0;
  std::string Name = "DejaVu Sans";
  float Size = 8.25f;  // points
  bool Italic = false, Bold = false, UnderLine = false, Strikethrough = false;
  std::int16_t Charset = 0;
};

// A text job that draws itself on a device context.
struct cTextEx {
  cStdFontEx StdFontEx;
  std::int32_t RectBottom = 0, RectTop = 0, RectLeft = 0, RectRight = 0;
  win::HDC hdc = 0;
  std::string Text;
  std::uint32_t AllignmentFlags = 0;
  // The LOGFONT Draw makes: height from points at the context's resolution,
  // the face name cut to 31 characters.
  win::LOGFONTA MakeLogFont(win::Gdi& gdi) const;
  void Draw(win::Gdi& gdi);
};

class ScreenDrawing {
 public:
  // style: the cursor settings; lastHookPoint: where the pick began;
  // renderRect: the 3D view's screen rectangle as the program last read it.
  ScreenDrawing(win::Desktop& desktop, runtime::Random& random, const StyleSettings& style,
                const win::POINT& lastHookPoint, const win::RECT& renderRect);

  // Fonts of the screen, the shared font and text objects, and the 3D view's
  // window (from the globe; errors of that call propagate).
  void InitScreenDrawing();
  // One line centred across the 3D view (or the desktop), offset vertically
  // by pixels; size factor times a thirtieth of the width; a negative colour
  // draws in a random one.
  void DrawScreenText(const std::string& text, std::int32_t colour, int sizeFactor, int offset);
  void DrawDesktopText(const std::string& text, std::int32_t colour, int sizeFactor, int offset);

  std::int32_t RandomColor();
  std::string RandomFontName();
  int RandomSize();

  void DrawCursor(int x, int y, int arm);
  void DrawPickRect(win::POINT corner);
  // Rubber shapes in cyan: a marker cross (small: with a 5-pixel square);
  // a circle from centre to edge with its radius and centre cross (only in
  // states 1 and 2); a circle or rectangle shifted by a drag, with the drag line.
  void DrawRubberMark(win::POINT p, bool small);
  void DrawRubberCircle(win::POINT centre, win::POINT edge, int state);
  void DrawMovedCircle(win::POINT centre, win::POINT edge, win::POINT from, win::POINT to);
  void DrawMovedRect(win::RECT rect, win::POINT from, win::POINT to);

  win::HWND GERenderHwnd = 0;
  std::vector<std::string> ScreenFonts;
  cStdFontEx SharedFont;
  cTextEx SharedText;
  host::ApplicationGE objGE;

 private:
  void DrawTextOn(win::HWND hwnd, bool windowDC, const std::string& text, std::int32_t colour,
                  int sizeFactor, int offset);
  // Takes the 3D view's context with a 1-pixel pen of the colour and the null
  // brush, runs draw, and gives everything back.
  template <class F>
  void WithRubberPen(win::COLORREF colour, F draw);

  win::Desktop& desktop_;
  runtime::Random& random_;
  const StyleSettings& style_;
  const win::POINT& lastHookPoint_;
  const win::RECT& renderRect_;
};

}  // namespace altimar::ui
