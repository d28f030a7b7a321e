// Drawing on the globe's 3D view: text size and colour rules, the face-name
// cut, the cursor shapes and the pick rectangle, each call giving back what
// it took.
#include "ui/screen_drawing.h"

#include <gtest/gtest.h>

#include "platform/earth/analytic_terrain.h"
#include "platform/earth/globe.h"
#include "platform/win/gdi.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

class ScreenDrawingTest : public ::testing::Test {
 protected:
  ScreenDrawingTest() {
    earth::GlobeOptions o;
    o.placement = {0, 0, 608, 500};  // a 3D view 600 pixels wide inside the frame
    globe = earth::Globe::Start(d, std::make_shared<earth::AnalyticTerrain>(earth::AnalyticTerrain::Plane(0, 0, 0)), o);
    d.Sleep(earth::Globe::kStartUpMs);
    drawing.InitScreenDrawing();
    d.GetWindowRect(drawing.GERenderHwnd, &renderRect);
    Repaint();
  }
  // Pixels of the 3D view's surface that became a colour since the last look.
  int Count(Pixel colour) {
    const Surface& s = d.WindowSurface(drawing.GERenderHwnd);
    if (before.width() != s.width() || before.height() != s.height()) before = Surface(s.width(), s.height(), 0xFEFEFE);
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
      for (int x = 0; x < s.width(); ++x) n += s.at(x, y) == colour && before.at(x, y) != colour;
    return n;
  }
  // Repaints the view and remembers it as the state to compare with.
  void Repaint() {
    globe->Paint();
    before = d.WindowSurface(drawing.GERenderHwnd);
  }
  Surface before;

  Desktop d{Clock::Kind::Virtual};
  std::shared_ptr<earth::Globe> globe;
  runtime::Pcg32 random{3};
  ui::StyleSettings style;
  POINT lastHookPoint{};
  RECT renderRect{};
  ui::ScreenDrawing drawing{d, random, style, lastHookPoint, renderRect};
};

TEST_F(ScreenDrawingTest, TextSizeFollowsTheViewWidthAndTheFactor) {
  RECT client;
  d.GetClientRect(drawing.GERenderHwnd, &client);
  ASSERT_EQ(client.width(), 600);
  const std::size_t dcsBefore = d.gdi().OpenDCs();
  EXPECT_EQ(drawing.GERenderHwnd, globe->GetRenderHwnd());
  EXPECT_FALSE(drawing.ScreenFonts.empty());
  drawing.DrawScreenText(" Altimar ", static_cast<std::int32_t>(RGB(255, 0, 0)), 1, 0);
  EXPECT_EQ(drawing.SharedFont.Size, 20.0f) << "600 / 30";
  EXPECT_EQ(drawing.SharedText.AllignmentFlags, 37u);
  EXPECT_GT(Count(0xFF0000), 20) << "the text is drawn in its colour";
  drawing.DrawScreenText(" Altimar ", static_cast<std::int32_t>(RGB(255, 0, 0)), 2, 0);
  EXPECT_EQ(drawing.SharedFont.Size, 40.0f);
  EXPECT_EQ(d.gdi().OpenDCs(), dcsBefore);
  EXPECT_EQ(d.gdi().LiveObjects(), 0u) << "the font went with the call";
}

TEST_F(ScreenDrawingTest, ANegativeColourDrawsInARandomOne) {
  drawing.DrawScreenText("x", -1, 1, 0);
  const std::int32_t c = drawing.SharedFont.Colour;
  EXPECT_GE(c, 0);
  EXPECT_LT(c & 0xFF, 250);
  EXPECT_LT((c >> 8) & 0xFF, 250);
  EXPECT_LT((c >> 16) & 0xFF, 250);
  for (int k = 0; k < 50; ++k) {
    const std::int32_t r = drawing.RandomColor();
    EXPECT_LT(r & 0xFF, 250);
    EXPECT_LT((r >> 16) & 0xFF, 250);
    const int size = drawing.RandomSize();
    EXPECT_GE(size, 1);
    EXPECT_LE(size, 100);
  }
  EXPECT_FALSE(drawing.RandomFontName().empty());
}

TEST_F(ScreenDrawingTest, TheFaceNameIsCutAt31Characters) {
  ui::cTextEx t;
  t.StdFontEx.Name = std::string(40, 'A');
  t.StdFontEx.Size = 20;
  t.StdFontEx.Bold = true;
  const LOGFONTA f = t.MakeLogFont(d.gdi());
  EXPECT_EQ(std::string(f.lfFaceName), std::string(31, 'A'));
  EXPECT_EQ(f.lfHeight, -27) << "-MulDiv(20, 96, 72)";
  EXPECT_EQ(f.lfWeight, FW_BOLD);
  t.StdFontEx.Size = 40;
  EXPECT_EQ(t.MakeLogFont(d.gdi()).lfHeight, -53);
}

TEST_F(ScreenDrawingTest, CursorShapesAndThePickRectangle) {
  style.SetStyleDefaults();
  style.CursorColor = static_cast<std::int32_t>(RGB(0, 0, 255));
  style.CursorShape = -1;
  drawing.DrawCursor(100, 100, 20);
  EXPECT_EQ(Count(0x0000FF), 0) << "no cursor";
  EXPECT_EQ(d.gdi().OpenDCs(), 0u) << "but the context was taken and given back";
  style.CursorShape = 20;
  drawing.DrawCursor(100, 100, 20);
  EXPECT_EQ(Count(0x0000FF), 79) << "a small cross: two lines of 40 pixels (LineTo leaves the end) sharing one";
  Repaint();
  style.CursorShape = 0;
  drawing.DrawCursor(100, 100, 20);
  RECT client;
  d.GetClientRect(drawing.GERenderHwnd, &client);
  EXPECT_EQ(Count(0x0000FF), client.width() + client.height() - 1) << "a cross over the whole view";

  Repaint();
  lastHookPoint = {10, 10};
  drawing.DrawPickRect({30, 20});
  EXPECT_EQ(Count(0x00FF00), 2 * 20 + 2 * 10 - 4 + 0) << "the outline of a 20 x 10 rectangle";
  EXPECT_EQ(d.gdi().LiveObjects(), 0u);
}

TEST_F(ScreenDrawingTest, RubberShapesAreCyanAndOnlyInTheirStates) {
  drawing.DrawRubberCircle({100, 100}, {130, 140}, 0);
  EXPECT_EQ(Count(0x00FFFF), 0) << "state 0 draws nothing";
  drawing.DrawRubberCircle({100, 100}, {130, 140}, 1);
  const Surface& s = d.WindowSurface(drawing.GERenderHwnd);
  EXPECT_EQ(s.at(149, 100), 0x00FFFFu) << "the circle of radius 50 reaches (149, 100), right edge exclusive";
  drawing.DrawRubberMark({300, 300}, false);
  EXPECT_EQ(s.at(322, 300), 0x00FFFFu);
  EXPECT_EQ(d.gdi().OpenDCs(), 0u);
  EXPECT_EQ(d.gdi().LiveObjects(), 0u);
}

}  // namespace
}  // namespace altimar::testing
