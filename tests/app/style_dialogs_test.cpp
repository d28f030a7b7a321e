// The style dialogs, the RGB dialog and the screen pick, driven through
// their windows with injected input and queued colour-dialog answers.
#include "app/program_fixture.h"
#include "platform/win/gdi.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

constexpr std::int32_t kBlue = static_cast<std::int32_t>(RGB(0, 0, 255));
constexpr std::int32_t kCyan = static_cast<std::int32_t>(RGB(0, 255, 255));

class StyleDialogsTest : public ProgramTest {
 protected:
  StyleDialogsTest() {
    StartGlobe();
    StartProgram();
  }
  ui::StyleForms& styles() { return program->styles; }
  ui::StyleSettings& style() { return program->style; }
  // A screen point showing the bare desktop, and its colour.
  POINT Desktop() const { return {d.width() - 5, d.height() - 5}; }
  std::int32_t ColourAt(POINT p) {
    const Pixel px = d.ComposeScreen().at(p.x, p.y);
    return static_cast<std::int32_t>(RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF));
  }
};

TEST_F(StyleDialogsTest, BlackFromThePaletteKeepsTheColourAndAnotherOneIsTaken) {
  auto& dlg = styles().frmBBoxStyle;
  dlg.Load();
  d.QueueDialogAnswer("#000000");
  Click(dlg.cmdFromColorPalette);
  Click(dlg.cmdOK);
  styles().OpenBBoxStyle();
  EXPECT_EQ(style().BBoxColor, kBlue) << "black reads as no choice";
  EXPECT_EQ(dlg.lblColor.Caption, "FF0000") << "blue, green, red";

  d.QueueDialogAnswer("#102030");
  Click(dlg.cmdFromColorPalette);
  Click(dlg.cmdOK);
  styles().OpenBBoxStyle();
  EXPECT_EQ(style().BBoxColor, static_cast<std::int32_t>(RGB(0x10, 0x20, 0x30)));
  EXPECT_EQ(dlg.lblColor.Caption, "302010");
  EXPECT_FALSE(dlg.Visible()) << "OK hides";
  EXPECT_TRUE(dlg.loaded());
}

TEST_F(StyleDialogsTest, CancelRestoresTheOpeningColourAfterAScreenPick) {
  auto& dlg = styles().frmHighlightStyle;
  dlg.Load();
  const POINT spot = Desktop();
  const std::int32_t picked = ColourAt(spot);
  ASSERT_NE(picked, kCyan);
  Click(dlg.cmdFromScreenPoint);
  d.InjectClick(spot.x, spot.y);  // the picking press
  Click(dlg.cmdCancel);
  styles().OpenHighlightStyle();
  EXPECT_EQ(style().HighlightColor, kCyan);
  EXPECT_EQ(style().StyleColor, kCyan);
  EXPECT_FALSE(dlg.loaded()) << "Cancel unloads";

  // The same pick kept with OK.
  dlg.Load();
  Click(dlg.cmdFromScreenPoint);
  d.InjectClick(spot.x, spot.y);
  Click(dlg.cmdOK);
  styles().OpenHighlightStyle();
  EXPECT_EQ(style().HighlightColor, picked);
  EXPECT_EQ(program->hooks.Depth(), 0) << "the pick ended with its press";
}

TEST_F(StyleDialogsTest, ThePickingPressReachesNoWindow) {
  auto& dlg = styles().frmCursorStyle;
  dlg.Show();
  Click(dlg.cmdFromScreenPoint);
  d.DoEvents();
  ASSERT_EQ(program->hooks.Top(), host::kHookGetColor);
  auto& target = program->frmGEMenu.Frame1;  // the Bexo button would open the menu
  const POINT p = Centre(target);
  d.InjectMouseMove(p.x, p.y);
  d.InjectMouseButton(VK_LBUTTON, true);
  d.DoEvents();
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0) << "no menu: the press was swallowed";
  EXPECT_EQ(program->hooks.Depth(), 0);
  d.InjectMouseButton(VK_LBUTTON, false);
  d.DoEvents();
}

TEST_F(StyleDialogsTest, WidthBarsAndTheDarkGreyOfANegativeColour) {
  auto& dlg = styles().frmBBoxStyle;
  dlg.Load();
  dlg.hscrWidth.SetValue(40);
  EXPECT_FLOAT_EQ(style().StyleWidth, 4.0f);
  dlg.hscrWidth.SetValue(1);
  EXPECT_FLOAT_EQ(style().StyleWidth, 0.1f);
  dlg.hscrTransparence.SetValue(128);
  EXPECT_EQ(d.GetWindowAlpha(dlg.hwnd()), 128) << "the opacity previews on the dialog";
  dlg.hscrTransparence.SetValue(255);
  EXPECT_EQ(d.GetWindowLongA(dlg.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);

  style().BBoxColor = -1;
  Click(dlg.cmdOK);
  styles().OpenBBoxStyle();
  EXPECT_EQ(dlg.lblCurColor.BackColor, RGB(75, 75, 75));
  EXPECT_EQ(dlg.lblColor.Caption, "4B4B4B");
  EXPECT_EQ(style().BBoxColor, static_cast<std::int32_t>(RGB(75, 75, 75)));
}

TEST_F(StyleDialogsTest, EscapeDuringAPickKeepsTheColourBeforeIt) {
  auto& dlg = styles().frmCursorStyle;
  dlg.Show();
  style().StyleTarget = 3;
  Click(dlg.cmdFromScreenPoint);
  d.DoEvents();
  const POINT first = Desktop();
  RECT bar;
  d.GetWindowRect(globe->menubar(), &bar);
  const POINT second{bar.right - 20, bar.top + 5};
  ASSERT_NE(ColourAt(first), ColourAt(second));
  d.InjectMouseMove(first.x, first.y);
  d.DoEvents();
  EXPECT_EQ(style().StyleColor, ColourAt(first));
  d.InjectKey(VK_ESCAPE, true);
  d.InjectMouseMove(second.x, second.y);
  d.DoEvents();
  d.InjectKey(VK_ESCAPE, false);
  d.DoEvents();
  EXPECT_EQ(style().StyleColor, ColourAt(first)) << "the colour before Escape";
  EXPECT_EQ(program->hooks.Depth(), 0) << "the pick is over without a click";
}

TEST_F(StyleDialogsTest, ExactlyOneRubberLineFollowsThePointerAndNoneStaysAfter) {
  auto& dlg = styles().frmBBoxStyle;
  dlg.Show();
  style().StyleTarget = 1;
  dlg.chkRubberband.SetValue(1);
  RECT box;
  d.GetWindowRect(dlg.hwnd(), &box);
  const Surface before = d.ComposeScreen();
  Click(dlg.cmdFromScreenPoint);
  d.DoEvents();
  const POINT anchor = program->styles.pick.RubberAnchor;
  // Away from the dialog, over the globe's view.
  for (POINT p : {POINT{700, 400}, POINT{600, 650}, POINT{900, 300}}) {
    d.InjectMouseMove(p.x, p.y);
    d.DoEvents();
  }
  const POINT end{900, 300};
  // Outside the dialog, exactly the pixels of one line from the anchor to the pointer differ.
  auto distance = [&](int x, int y) {
    const double dx = end.x - anchor.x, dy = end.y - anchor.y;
    return std::abs(dy * (x - anchor.x) - dx * (y - anchor.y)) / std::hypot(dx, dy);
  };
  const Surface& now = d.ComposeScreen();
  int onLine = 0, elsewhere = 0;
  for (int y = 0; y < now.height(); ++y)
    for (int x = 0; x < now.width(); ++x) {
      if (box.Contains(x, y) || now.at(x, y) == before.at(x, y)) continue;
      (distance(x, y) <= 1.0 ? onLine : elsewhere) += 1;
    }
  EXPECT_EQ(elsewhere, 0) << "no trace of the earlier lines";
  EXPECT_GT(onLine, 300) << "the line to the pointer";
  d.InjectClick(end.x, end.y);
  d.DoEvents();
  const Surface& after = d.ComposeScreen();
  int left = 0;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x) left += !box.Contains(x, y) && after.at(x, y) != before.at(x, y);
  EXPECT_EQ(left, 0) << "none after the pick";
  EXPECT_EQ(d.gdi().OpenDCs(), 0u);
}

TEST_F(StyleDialogsTest, TheRgbDialogSetsTheDialogInUseAndCancelTakesItBack) {
  auto& dlg = styles().frmBBoxStyle;
  auto& rgb = styles().frmSetRGB;
  const std::int32_t cursor = style().CursorColor;
  dlg.Load();
  rgb.Load();
  const POINT redEnd = At(rgb.Slider1, static_cast<int>(rgb.Slider1.Width() / 15) - 4, 10);
  rgb.Unload();
  Click(dlg.cmdSettingRGB);
  d.InjectClick(redEnd.x, redEnd.y);  // red to 255 on blue: magenta
  Click(rgb.cmdOK);
  Click(dlg.cmdCancel);
  styles().OpenBBoxStyle();
  EXPECT_EQ(style().BBoxColor, kBlue) << "Cancel takes back what the RGB dialog stored";
  EXPECT_EQ(style().StyleColor, kBlue);
  EXPECT_EQ(style().CursorColor, cursor) << "the cursor's colour is not the bounding box's business";

  dlg.Load();
  Click(dlg.cmdSettingRGB);
  d.InjectClick(redEnd.x, redEnd.y);
  Click(rgb.cmdOK);
  Click(dlg.cmdOK);
  styles().OpenBBoxStyle();
  EXPECT_EQ(style().BBoxColor, static_cast<std::int32_t>(RGB(255, 0, 255)));
  EXPECT_EQ(dlg.lblCurColor.BackColor, RGB(255, 0, 255)) << "the swatch shows it";
  EXPECT_EQ(rgb.Label4.Caption, "FF00FF");
}

TEST_F(StyleDialogsTest, TheCursorDialogSetsShapeColourAndWidth) {
  auto& dlg = styles().frmCursorStyle;
  dlg.Load();
  EXPECT_TRUE(dlg.optSelectCursor[1].Value()) << "the small cross in use is the one shown";
  Click(dlg.optSelectCursor[0]);
  Click(dlg.cmdOK);
  styles().OpenCursorStyle();
  EXPECT_EQ(style().CursorShape, -1);
  EXPECT_FALSE(dlg.Frame1.Enabled()) << "no colour for no cursor";
  EXPECT_FALSE(dlg.hscrCursorWidth.Enabled());
  Click(dlg.optSelectCursor[2]);
  Click(dlg.cmdOK);
  styles().OpenCursorStyle();
  EXPECT_EQ(style().CursorShape, 0);
  dlg.hscrCursorWidth.SetValue(25);
  dlg.cmbDrawStyle.SetListIndex(2);
  EXPECT_EQ(style().CursorDrawStyle, 2);
  Click(dlg.cmdOK);
  styles().OpenCursorStyle();
  EXPECT_EQ(style().CursorWidth, 2) << "2.5 rounds to even";
  EXPECT_EQ(dlg.cmbDrawStyle.List(3), "3 Dash -Dot");
}

TEST(Gradient, BandsDarkenByFourAndStopAtZero) {
  Surface s(4, 126);
  std::int16_t r = 2, g = 9, b = 200;
  ui::Gradient(s, r, g, b, false);
  EXPECT_EQ(s.at(0, 0), 0x020900u | (200u));
  EXPECT_EQ((s.at(0, 2) >> 16) & 0xFF, 0u) << "2, then 0";
  EXPECT_EQ((s.at(0, 4) >> 16) & 0xFF, 0u) << "then 0";
  EXPECT_EQ((s.at(0, 2) >> 8) & 0xFF, 5u);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(b, 200 - 63 * 4 < 0 ? 0 : 200 - 63 * 4);
  Surface up(2, 63, 0x123456);
  std::int16_t r2 = 100, g2 = 100, b2 = 100;
  ui::Gradient(up, r2, g2, b2, true);
  EXPECT_EQ(up.at(0, 62), 0x646464u) << "from the bottom";
  EXPECT_EQ(up.at(0, 61), 0x606060u);
}

}  // namespace
}  // namespace altimar::testing
