#include "platform/win/gdi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/win/desktop.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

class GdiTest : public ::testing::Test {
 protected:
  GdiTest() {
    program = d.StartProgram("p");
    w = d.CreateWindowExA(0, "Canvas", "canvas", WS_VISIBLE, 100, 100, 200, 150, 0, program);
    d.WindowSurface(w).Fill(0x336699);
  }
  Surface Snapshot() { return d.WindowSurface(w); }
  // The smallest box (inclusive) holding every pixel that is not the background.
  RECT ChangedBox(HDC dc) {
    RECT b{1000, 1000, -1, -1};
    for (int y = 0; y < 150; ++y)
      for (int x = 0; x < 200; ++x)
        if (g.GetPixel(dc, x, y) != RGB(0x33, 0x66, 0x99)) {
          b = {std::min<LONG>(b.left, x), std::min<LONG>(b.top, y), std::max<LONG>(b.right, x),
               std::max<LONG>(b.bottom, y)};
        }
    return b;
  }
  static bool Same(const Surface& a, const Surface& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x)
        if (a.at(x, y) != b.at(x, y)) return false;
    return true;
  }
  Desktop d{Clock::Kind::Virtual};
  Gdi& g = d.gdi();
  int program = 0;
  HWND w = 0;
};

TEST_F(GdiTest, XorDrawingTwiceRestoresEveryPixel) {
  // A picture with detail, so that XOR against it is not trivially uniform.
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) d.WindowSurface(w).at(x, y) = static_cast<Pixel>(x * 1237 + y * 7919);
  const Surface before = Snapshot();
  const HDC dc = g.GetDC(w);
  const HPEN pen = g.CreatePen(PS_DOT, 1, RGB(255, 255, 0));
  const HBRUSH brush = g.CreateSolidBrush(RGB(10, 200, 30));
  g.SelectObject(dc, pen);
  g.SelectObject(dc, brush);
  g.SetROP2(dc, R2_XORPEN);
  auto draw = [&] {
    g.Rectangle(dc, 10, 10, 80, 60);
    g.Ellipse(dc, 50, 40, 170, 140);
    g.MoveToEx(dc, 0, 0, nullptr);
    g.LineTo(dc, 199, 149);
    g.LineTo(dc, 0, 149);
  };
  draw();
  EXPECT_FALSE(Same(before, Snapshot()));
  draw();
  EXPECT_TRUE(Same(before, Snapshot()));
  g.ReleaseDC(w, dc);

  // On the desktop itself (drawn over the composed screen) as well.
  const Surface screenBefore = d.ComposeScreen();
  const HDC sdc = g.GetDC(0);
  g.SetROP2(sdc, R2_NOT);
  g.SelectObject(sdc, g.GetStockObject(NULL_BRUSH));
  g.Rectangle(sdc, 90, 90, 320, 270);
  EXPECT_NE(d.ComposeScreen().at(90, 90), screenBefore.at(90, 90));
  g.Rectangle(sdc, 90, 90, 320, 270);
  EXPECT_TRUE(Same(screenBefore, d.ComposeScreen()));
  g.ReleaseDC(0, sdc);
  g.DeleteObject(pen);
  g.DeleteObject(brush);
  EXPECT_EQ(g.LiveObjects(), 0u);
  EXPECT_EQ(g.OpenDCs(), 0u);
}

TEST_F(GdiTest, RasterOperationsCombinePenAndScreen) {
  const HDC dc = g.GetDC(w);
  const HPEN pen = g.CreatePen(PS_SOLID, 1, RGB(0x0F, 0xF0, 0x55));
  g.SelectObject(dc, pen);
  const COLORREF dst = RGB(0x33, 0x66, 0x99);
  g.SetPixel(dc, 5, 5, dst);
  g.SetROP2(dc, R2_NOTXORPEN);
  g.MoveToEx(dc, 5, 5, nullptr);
  g.LineTo(dc, 6, 5);
  EXPECT_EQ(g.GetPixel(dc, 5, 5), ~(dst ^ RGB(0x0F, 0xF0, 0x55)) & 0xFFFFFF);
  g.SetROP2(dc, R2_COPYPEN);
  g.MoveToEx(dc, 10, 10, nullptr);
  g.LineTo(dc, 20, 10);
  EXPECT_EQ(g.GetPixel(dc, 19, 10), RGB(0x0F, 0xF0, 0x55));
  EXPECT_EQ(g.GetPixel(dc, 20, 10), dst) << "LineTo leaves out its end";
  g.ReleaseDC(w, dc);
  g.DeleteObject(pen);
}

TEST_F(GdiTest, RectanglesExcludeRightAndBottomAndPensKeepTheirStyle) {
  const HDC dc = g.GetDC(w);
  g.SelectObject(dc, g.GetStockObject(BLACK_PEN));
  g.SelectObject(dc, g.GetStockObject(WHITE_BRUSH));
  g.Rectangle(dc, 10, 10, 20, 15);
  EXPECT_EQ(g.GetPixel(dc, 10, 10), RGB(0, 0, 0));
  EXPECT_EQ(g.GetPixel(dc, 19, 14), RGB(0, 0, 0));
  EXPECT_EQ(g.GetPixel(dc, 15, 12), RGB(255, 255, 255));
  EXPECT_EQ(g.GetPixel(dc, 20, 12), RGB(0x33, 0x66, 0x99));
  EXPECT_EQ(g.GetPixel(dc, 15, 15), RGB(0x33, 0x66, 0x99));

  const HPEN dash = g.CreatePen(PS_DASH, 1, RGB(255, 0, 0));
  g.SelectObject(dc, dash);
  g.SetBkMode(dc, TRANSPARENT);
  g.MoveToEx(dc, 0, 100, nullptr);
  g.LineTo(dc, 100, 100);
  int on = 0;
  for (int x = 0; x < 24; ++x) on += g.GetPixel(dc, x, 100) == RGB(255, 0, 0);
  EXPECT_EQ(on, 18) << "a dash is 18 pixels, then 6 off";
  g.SelectObject(dc, g.GetStockObject(BLACK_PEN));
  g.DeleteObject(dash);

  RECT r{0, 120, 200, 150};
  g.FillRect(dc, &r, g.GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(g.GetPixel(dc, 199, 149), RGB(0, 0, 0));
  EXPECT_EQ(g.GetPixel(dc, 500, 500), CLR_INVALID);
  g.ReleaseDC(w, dc);
}

TEST_F(GdiTest, EllipsesFillTheirBoxAndPatternBrushesTile) {
  const HDC dc = g.GetDC(w);
  g.SelectObject(dc, g.GetStockObject(BLACK_PEN));
  g.SelectObject(dc, g.GetStockObject(WHITE_BRUSH));
  g.Ellipse(dc, 20, 30, 61, 71);  // a circle 41 pixels across
  EXPECT_EQ(ChangedBox(dc), (RECT{20, 30, 60, 70}));
  EXPECT_EQ(g.GetPixel(dc, 40, 50), RGB(255, 255, 255)) << "filled with the brush";
  EXPECT_EQ(g.GetPixel(dc, 40, 30), RGB(0, 0, 0)) << "outlined with the pen";
  EXPECT_EQ(g.GetPixel(dc, 21, 31), RGB(0x33, 0x66, 0x99)) << "the corners stay outside";

  Surface checker(2, 2);
  checker.at(0, 0) = checker.at(1, 1) = 0xFF0000;
  checker.at(1, 0) = checker.at(0, 1) = 0x00FF00;
  const HBITMAP bmp = g.CreateBitmap(checker);
  const HBRUSH pattern = g.CreatePatternBrush(bmp);
  RECT r{100, 100, 110, 110};
  g.FillRect(dc, &r, pattern);
  EXPECT_EQ(g.GetPixel(dc, 100, 100), RGB(255, 0, 0));
  EXPECT_EQ(g.GetPixel(dc, 101, 100), RGB(0, 255, 0));
  EXPECT_EQ(g.GetPixel(dc, 109, 109), RGB(255, 0, 0));
  g.ReleaseDC(w, dc);
  EXPECT_TRUE(g.DeleteObject(pattern));
  EXPECT_TRUE(g.DeleteObject(bmp));
}

TEST_F(GdiTest, CentredSingleLineTextSitsInTheMiddleOfItsRectangle) {
  const HDC dc = g.GetDC(w);
  LOGFONTA lf;
  lf.lfHeight = -16;
  lf.lfWeight = FW_BOLD;
  std::strcpy(lf.lfFaceName, "Arial");
  const HFONT font = g.CreateFontIndirectA(&lf);
  g.SelectObject(dc, font);
  g.SetBkMode(dc, TRANSPARENT);
  g.SetTextColor(dc, RGB(255, 255, 255));
  RECT r{20, 30, 180, 110};
  g.DrawTextA(dc, "Altimar", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const RECT box = ChangedBox(dc);
  const int left = box.left, right = box.right, top = box.top, bottom = box.bottom;
  ASSERT_GE(right, left) << "the text was drawn";
  EXPECT_NEAR((left + right) / 2.0, (20 + 179) / 2.0, 2.5);
  EXPECT_NEAR((top + bottom) / 2.0, (30 + 109) / 2.0, 4.0);
  EXPECT_GT(right - left, 40);
  RECT calc{0, 0, 0, 0};
  g.DrawTextA(dc, "Altimar", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_NEAR(calc.right, right - left + 1, 3);
  g.SelectObject(dc, g.GetStockObject(WHITE_BRUSH));
  g.ReleaseDC(w, dc);
  EXPECT_FALSE(g.DeleteObject(g.GetStockObject(WHITE_BRUSH)));
}

TEST_F(GdiTest, ABitmapWrittenAndReadBackHasTheSamePixels) {
  Surface s(37, 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x) s.at(x, y) = static_cast<Pixel>((x * 7) << 16 | (y * 11) << 8 | (x ^ y));
  const auto path = (std::filesystem::temp_directory_path() / "altimar_gdi_test.bmp").string();
  ASSERT_EQ(WriteBmp(path, s), "");
  EXPECT_EQ(std::filesystem::file_size(path), 54u + 21u * 112u) << "rows padded to 4 bytes";
  Surface back;
  ASSERT_EQ(ReadBmp(path, back), "");
  EXPECT_TRUE(Same(s, back));
  std::filesystem::remove(path);
  EXPECT_NE(ReadBmp(path, back), "");

  // A header that claims 65535 x 65535 pixels over a few bytes of data is
  // refused before anything is allocated for it.
  std::string header(54, '\0');
  header[0] = 'B';
  header[1] = 'M';
  header[10] = 54;
  header[14] = 40;
  header[18] = header[19] = header[22] = header[23] = '\xFF';
  header[26] = 1;
  header[28] = 24;
  {
    std::ofstream out(path, std::ios::binary);
    out << header << "some pixels";
  }
  EXPECT_NE(ReadBmp(path, back).find("truncated"), std::string::npos);
  EXPECT_EQ(back.width(), 37) << "the earlier picture is kept";
  std::filesystem::remove(path);
}

TEST_F(GdiTest, TheScreenComposesWindowsInOrderWithLayeredAlpha) {
  const HWND top = d.CreateWindowExA(WS_EX_LAYERED, "Top", "top", WS_VISIBLE, 150, 150, 100, 100, 0, program);
  d.WindowSurface(top).Fill(0xFFFFFF);
  d.SetLayeredWindowAttributes(top, 0, 128, LWA_ALPHA);
  const Surface& s = d.ComposeScreen();
  EXPECT_EQ(s.at(120, 120), 0x336699u);
  const Pixel mixed = s.at(160, 160);
  EXPECT_EQ((mixed >> 16) & 0xFF, (0x33u * 127 + 255u * 128 + 127) / 255);
  EXPECT_EQ(s.at(5, 5), 0x3A6EA5u) << "the desktop shows where no window is";

  // Drawing on the desktop over a window stays until that window repaints.
  const HDC sdc = g.GetDC(0);
  g.SetPixel(sdc, 110, 110, RGB(255, 0, 0));
  g.ReleaseDC(0, sdc);
  EXPECT_EQ(d.ComposeScreen().at(110, 110), 0xFF0000u);
  d.WindowRepainted(w);
  EXPECT_EQ(d.ComposeScreen().at(110, 110), 0x336699u);

  // BitBlt from the screen into a memory bitmap.
  const HDC mem = g.CreateCompatibleDC(0);
  const HBITMAP bmp = g.CreateCompatibleBitmap(0, 10, 10);
  const HGDIOBJ old = g.SelectObject(mem, bmp);
  const HDC screen = g.GetDC(0);
  g.BitBlt(mem, 0, 0, 10, 10, screen, 115, 115, SRCCOPY);
  EXPECT_EQ(g.BitmapPixels(bmp)->at(0, 0), 0x336699u);
  g.SelectObject(mem, old);
  g.ReleaseDC(0, screen);
  g.DeleteDC(mem);
  g.DeleteObject(bmp);
}

}  // namespace
}  // namespace altimar::testing
