// The program's button in the globe's menu bar, its popup menu, the view
// capture, the small windows and the toolbar's button sets.
#include <fstream>

#include "app/program_fixture.h"
#include "platform/win/gdi.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;
namespace fs = std::filesystem;

class MenuBarTest : public ProgramTest {
 protected:
  MenuBarTest() {
    StartGlobe({40, 30, 1064, 798});
    StartProgram();
  }
  // The menu opens at the globe's window + MenuBarLeft + 1 pixel, 19 pixels
  // down; its items are 20 pixels high (separators 8) after a 2-pixel edge.
  POINT MenuItem(int offsetInMenu) {
    RECT g;
    d.GetWindowRect(globe->GetMainHwnd(), &g);
    return {g.left + 4500 / 15 + 1 + 40, g.top + 19 + offsetInMenu};
  }
  // A left press on the Bexo button, released where it was, then a click at p.
  void ChooseFromMenu(POINT p) {
    RECT b;
    d.GetWindowRect(program->frmGEMenu.Frame1.hwnd(), &b);
    d.InjectClick(b.left + 8, b.top + 8);
    d.InjectClick(p.x, p.y);
    d.DoEvents();
  }
  static constexpr int kContourBar = 2 + 20 + 20 + 8 + 10;
  static constexpr int kCamera = 2 + 20 + 20 + 8 + 20 + 20 + 8 + 10;
  static constexpr int kExit = 2 + 20 + 20 + 8 + 20 + 20 + 8 + 20 + 20 + 8 + 10;
};

TEST_F(MenuBarTest, TheBexoButtonAndTheToolbarAreDrawnInsideTheGlobesMenuBar) {
  program->frmGEMenu.contourBar_Click();
  RECT bar, button, tools;
  d.GetWindowRect(globe->menubar(), &bar);
  d.GetWindowRect(program->frmGEMenu.Frame1.hwnd(), &button);
  d.GetWindowRect(program->frmQuarlin.Toolbar1.hwnd(), &tools);
  EXPECT_EQ(button.left - bar.left, 300);
  EXPECT_EQ(tools.left - bar.left, 400);
  const Surface& screen = d.ComposeScreen();
  int dark = 0;  // the text "Bexo" on the button
  for (int y = button.top; y < std::min(button.bottom, bar.bottom); ++y)
    for (int x = button.left; x < button.right; ++x) dark += (screen.at(x, y) & 0xFF) < 0x60;
  EXPECT_GT(dark, 8);
  int rings = 0;  // the contour button's picture: brown rings
  for (int y = tools.top; y < std::min(tools.bottom, bar.bottom); ++y)
    for (int x = tools.left; x < tools.left + 40; ++x) rings += screen.at(x, y) == 0x8B4513u;
  EXPECT_GT(rings, 10);
}

TEST_F(MenuBarTest, ALeftPressOpensTheMenuUnderTheButtonEvenAfterTheGlobeMoved) {
  d.MoveWindow(globe->GetMainHwnd(), 200, 100, 1024, 600, true);
  d.MoveWindow(globe->GetMainHwnd(), 200, 100, 1024, 600, true);
  EXPECT_FALSE(program->frmQuarlin.Toolbar1.Visible());
  ChooseFromMenu(MenuItem(kContourBar));
  EXPECT_TRUE(program->frmQuarlin.Toolbar1.Visible()) << "ContourBar chosen where the moved menu is";
  ChooseFromMenu(MenuItem(kContourBar));
  EXPECT_FALSE(program->frmQuarlin.Toolbar1.Visible()) << "twice hides it again";
  EXPECT_FALSE(program->frmGEMenu.bexo.Find("contourBar")->Checked);
}

TEST_F(MenuBarTest, HoverLooksAndTheRightButton) {
  auto& m = program->frmGEMenu;
  RECT b;
  d.GetWindowRect(m.Frame1.hwnd(), &b);
  d.InjectMouseMove(b.left + 3, b.top + 3);
  d.DoEvents();
  EXPECT_EQ(d.GetCapture(), m.Frame1.hwnd());
  EXPECT_EQ(m.Label1.BackStyle, 1);
  EXPECT_EQ(m.Label1.ForeColor, RGB(255, 255, 255));
  d.InjectMouseMove(b.right + 200, b.bottom + 200);  // far away at once
  d.DoEvents();
  EXPECT_EQ(d.GetCapture(), 0);
  EXPECT_EQ(m.Label1.BackStyle, 0) << "the normal look is back";
  d.InjectClick(b.left + 8, b.top + 8, VK_RBUTTON);
  d.DoEvents();
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0) << "the right button opens nothing";
}

TEST_F(MenuBarTest, CameraSavesTheVisiblePartOfTheViewAndASecondCaptureReplacesIt) {
  ChooseFromMenu(MenuItem(kCamera));
  const fs::path bmp = dir / "Altimar.bmp";
  ASSERT_TRUE(fs::exists(bmp)) << program->frmGEMenu.lastCaptureError;
  Surface first;
  ASSERT_EQ(ReadBmp(bmp.string(), first), "");
  RECT view;
  d.GetWindowRect(globe->GetRenderHwnd(), &view);
  EXPECT_EQ(first.width(), view.width());
  EXPECT_EQ(first.height(), std::min<LONG>(view.bottom, d.height()) - view.top);
  const Surface& screen = d.ComposeScreen();
  EXPECT_EQ(first.at(100, 100), screen.at(view.left + 100, view.top + 100));

  // Partly off the screen: only what shows is kept.
  d.MoveWindow(globe->GetMainHwnd(), -300, 400, 1024, 768, true);
  d.SetForegroundWindow(globe->GetMainHwnd());
  d.InjectKey(VK_F10, true);
  d.InjectKey(VK_F10, false);
  d.DoEvents();
  Surface second;
  ASSERT_EQ(ReadBmp(bmp.string(), second), "");
  d.GetWindowRect(globe->GetRenderHwnd(), &view);
  EXPECT_EQ(second.width(), view.right);
  EXPECT_EQ(second.height(), d.height() - view.top);
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(dir)) files += e.path().extension() == ".bmp";
  EXPECT_EQ(files, 1u);
}

TEST_F(MenuBarTest, AnUnwritableFolderIsReportedAndKeepsTheEarlierCapture) {
  program->frmGEMenu.bexoCamera_Click();
  const fs::path bmp = dir / "Altimar.bmp";
  ASSERT_TRUE(fs::exists(bmp));
  const auto size = fs::file_size(bmp);
  fs::create_directory(dir / "Altimar.bmp.part");  // the temporary name cannot be a file
  program->frmGEMenu.bexoCamera_Click();
  EXPECT_FALSE(program->frmGEMenu.lastCaptureError.empty());
  EXPECT_NE(d.MessageBoxLog().back().text.find("The view could not be saved"), std::string::npos);
  EXPECT_EQ(fs::file_size(bmp), size);
}

TEST_F(MenuBarTest, ExitEndsTheProgramAndTakesItsWindowsOutOfTheGlobe) {
  const HWND frame = program->frmGEMenu.Frame1.hwnd();
  const HWND toolbar = program->frmQuarlin.Toolbar1.hwnd();
  ChooseFromMenu(MenuItem(kExit));
  EXPECT_TRUE(program->ended());
  EXPECT_FALSE(d.IsWindow(frame));
  EXPECT_FALSE(d.IsWindow(toolbar));
  EXPECT_TRUE(globe->running()) << "the globe stays";
  d.SetForegroundWindow(globe->GetMainHwnd());
  d.InjectKey(VK_F10, true);
  d.InjectKey(VK_F10, false);
  d.DoEvents();
  EXPECT_FALSE(fs::exists(dir / "Altimar.bmp")) << "no hot key is left";
}

TEST_F(MenuBarTest, TheAboutTextIsAnimatedOnTheViewForSixteenFrames) {
  const HWND render = globe->GetRenderHwnd();
  globe->Paint();
  const Surface before = d.WindowSurface(render);
  const std::uint64_t start = d.clock().NowMs();
  program->frmGEMenu.contourAbout_Click();
  EXPECT_EQ(d.clock().NowMs() - start, 1600u) << "16 frames of 100 ms";
  const Surface& after = d.WindowSurface(render);
  // The last frame's colour: RGB(255 - 75 / 2, 200 + 50, 75 + 200), 217.5
  // rounding to 218 and 275 kept at 255 (not wrapped to 19).
  int changed = 0, lastColour = 0;
  for (int y = 0; y < after.height(); ++y)
    for (int x = 0; x < after.width(); ++x) {
      changed += after.at(x, y) != before.at(x, y);
      lastColour += after.at(x, y) == ((static_cast<Pixel>(218) << 16) | (250 << 8) | 255);
    }
  EXPECT_GT(changed, 500) << "five lines of text";
  EXPECT_GT(lastColour, 50) << "drawn last in the final frame's colour";
  EXPECT_EQ(d.gdi().OpenDCs(), 0u);
}

TEST_F(MenuBarTest, F9StopsAFlyOverOnlyWithTheGlobeInFront) {
  program->contour.CancelSampling = false;
  d.SetForegroundWindow(program->frmQuarlin.hwnd());
  d.InjectKey(VK_F9, true);
  d.InjectKey(VK_F9, false);
  d.DoEvents();
  EXPECT_FALSE(program->contour.CancelSampling);
  d.SetForegroundWindow(globe->GetMainHwnd());
  d.InjectKey(VK_F9, true);
  d.InjectKey(VK_F9, false);
  d.DoEvents();
  EXPECT_TRUE(program->contour.CancelSampling);
}

TEST_F(MenuBarTest, PaintRectAndTheExportProgressDisplay) {
  program->drawing.InitScreenDrawing();
  program->frmGEMenu.PaintRect(10, 10, 60, 40, static_cast<std::int32_t>(RGB(255, 0, 0)));
  const Surface& s = d.WindowSurface(globe->GetRenderHwnd());
  EXPECT_EQ(s.at(10, 20), 0xFF0000u) << "the outline";
  bool hatch = false;
  for (int x = 11; x < 59; ++x) hatch |= s.at(x, 20) == 0x3060C0u;
  EXPECT_TRUE(hatch) << "the pattern inside";
  EXPECT_EQ(d.gdi().LiveObjects(), 0u);

  auto& bar = program->frmQuarlin.ProgressBar1;
  const std::uint64_t before = d.clock().NowMs();
  program->frmGEMenu.GE2PDF_Click();
  EXPECT_GE(d.clock().NowMs() - before, 2000u) << "100 steps of 20 ms";
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_FALSE(bar.Visible());
  RECT menubar, r;
  d.GetWindowRect(globe->menubar(), &menubar);
  d.GetWindowRect(bar.hwnd(), &r);
  EXPECT_EQ(menubar.right - r.right, 20) << "the bar ends 300 twips before the menu bar's end";
}

TEST_F(MenuBarTest, TheFloatingInfoSwitchAndTheSmallWindows) {
  auto& q = program->frmQuarlin;
  auto& info = program->frmFloatingInfo;
  const HWND picture = info.Picture1.hwnd();
  const HWND home = info.hwnd();
  EXPECT_EQ(d.GetParent(picture), globe->GetRenderHwnd());
  for (int k = 0; k < 2; ++k) {
    q.chkFloatingInfo.SetValue(0);
    EXPECT_EQ(d.GetParent(picture), home);
    EXPECT_TRUE(q.Text1.Visible());
    q.chkFloatingInfo.SetValue(1);
    EXPECT_EQ(d.GetParent(picture), globe->GetRenderHwnd());
  }
  q.chkFloatingInfo.SetValue(0);
  EXPECT_EQ(d.GetParent(picture), home) << "twice in a row: back under its old parent";
  EXPECT_TRUE(q.Text1.Visible());

  q.chkFloatingInfo.SetValue(1);
  info.Show();
  info.Unload();
  EXPECT_EQ(q.chkFloatingInfo.Value, 0) << "closing the window unticks the box";

  auto& marker = program->frmMove;
  EXPECT_EQ(marker.Width(), 9 * 15);
  EXPECT_EQ(marker.Height(), 9 * 15);
}

TEST_F(MenuBarTest, TheWorkspaceSetAllowsOnlyOpeningAndOptionsBeforeDataIsOpen) {
  auto& q = program->frmQuarlin;
  q.BuildWorkspaceToolbar();
  EXPECT_EQ(q.Toolbar1.Buttons().size(), 26u);
  EXPECT_EQ(q.Toolbar1.Width(), 9000);
  EXPECT_EQ(q.Toolbar1.Button("leaf")->ToolTipText, "browser the fatures");
  EXPECT_EQ(q.Toolbar1.Button("leaf")->Description, "browser the fatures");
  for (const char* key : {"open", "wfs", "topen", "thighlight", "tbbox", "tcursor", "tkml"})
    EXPECT_TRUE(q.Toolbar1.Button(key)->Enabled) << key;
  for (const char* key : {"pan", "select", "leaf", "html", "delete", "shift", "export"})
    EXPECT_FALSE(q.Toolbar1.Button(key)->Enabled) << key;
  q.Toolbar1.SetVisible(true);
  program->hooks.HookPush("Pickup");
  for (const char* key : {"select", "pan"}) {
    const POINT p = ButtonCentre(q.Toolbar1, key);
    d.InjectClick(p.x, p.y);
    d.DoEvents();
  }
  EXPECT_EQ(q.LastToolKey, "") << "disabled buttons do nothing";
  EXPECT_EQ(program->hooks.Depth(), 1);
  EXPECT_EQ(q.optSelectType[0].Value(), false);

  // An enabled one goes through the dispatcher.
  q.EnableAllButtons();
  q.Toolbar1_ButtonClick(*q.Toolbar1.Button("pan"));
  EXPECT_EQ(q.LastToolKey, "pan");
  EXPECT_EQ(program->hooks.Depth(), 0) << "pan ends every capture";
  EXPECT_EQ(q.chkFloatingInfo.Value, 0);
  q.Toolbar1_ButtonClick(*q.Toolbar1.Button("select"));
  EXPECT_TRUE(q.optSelectType[0].Value());
  q.Toolbar1_ButtonClick(*q.Toolbar1.Button("circleselect"));
  EXPECT_TRUE(q.optSelectType[1].Value());
}

TEST_F(MenuBarTest, APressNearTheToolbarsLeftEdgeDragsIt) {
  auto& q = program->frmQuarlin;
  q.Toolbar1.SetVisible(true);
  RECT before;
  d.GetWindowRect(q.Toolbar1.hwnd(), &before);
  d.InjectMouseMove(before.left + 5, before.top + 10);
  d.InjectMouseButton(VK_LBUTTON, true);
  d.InjectMouseMove(before.left + 45, before.top + 10);
  d.InjectMouseButton(VK_LBUTTON, false);
  d.DoEvents();
  RECT after;
  d.GetWindowRect(q.Toolbar1.hwnd(), &after);
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(d.GetParent(q.Toolbar1.hwnd()), globe->menubar()) << "it stays in the menu bar";
}

}  // namespace
}  // namespace altimar::testing
