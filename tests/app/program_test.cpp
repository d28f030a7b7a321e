// The program on a desktop with a running globe, driven like a user: start-up
// in Embed mode, the toolbar inside the globe's menu bar, the contour
// command, the connection modes, the menu bar button and shutdown.
#include "app/program_fixture.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;
namespace fs = std::filesystem;

TEST_F(ProgramTest, StartsEmbeddedInTheGlobesMenuBar) {
  StartGlobe();
  StartProgram();
  auto& q = program->frmQuarlin;
  ASSERT_FALSE(program->ended());
  EXPECT_EQ(q.Caption(), "Tessmor");
  EXPECT_EQ(q.ConnectMode, workspace::kEmbed);
  EXPECT_GE(q.Left(), d.width() * 15.0) << "the form itself is off the screen";
  EXPECT_EQ(d.GetParent(q.Toolbar1.hwnd()), globe->menubar());
  EXPECT_EQ(d.GetParent(q.ProgressBar1.hwnd()), globe->menubar());
  EXPECT_EQ(d.GetParent(program->frmGEMenu.Frame1.hwnd()), globe->menubar());
  EXPECT_EQ(program->frmGEMenu.Frame1.Left(), 4500);
  EXPECT_FALSE(q.Toolbar1.Visible()) << "the contour toolbar waits for Ctrl+F9";
  EXPECT_FALSE(q.ProgressBar1.Visible());
  EXPECT_EQ(q.Toolbar1.Buttons().size(), 5u);
  EXPECT_EQ(q.Toolbar1.Button("contour")->ToolTipText, "Create new Contours");
  EXPECT_EQ(q.Toolbar1.Button("tcontour")->ToolTipText, "Options for creating Contours");
  EXPECT_TRUE(q.Timer6GEStatus.Enabled());
  EXPECT_EQ(q.Timer6GEStatus.Interval(), 1000);
  EXPECT_EQ(q.chkFloatingInfo.Value, 1);
  EXPECT_EQ(d.GetParent(program->frmFloatingInfo.Picture1.hwnd()), globe->GetRenderHwnd())
      << "the information picture floats in the 3D view";
  EXPECT_FALSE(q.Text1.Visible());
}

TEST_F(ProgramTest, OneContourRequestFromTheToolbarInsideTheGlobe) {
  StartGlobe();
  StartProgram();
  auto& q = program->frmQuarlin;
  // Ctrl+F9 with the globe in front shows the contour toolbar.
  d.SetForegroundWindow(globe->GetMainHwnd());
  PressKeys({VK_CONTROL, VK_F9});
  ASSERT_TRUE(q.Toolbar1.Visible());
  EXPECT_TRUE(program->frmGEMenu.bexo.Find("contourBar")->Checked);

  const POINT p = ButtonCentre(q.Toolbar1, "contour");
  EXPECT_EQ(d.WindowFromPoint(p), q.Toolbar1.hwnd()) << "the button is on the screen, in the menu bar";
  d.InjectClick(p.x, p.y);
  d.DoEvents();
  const fs::path kml = dir / "contour.kml";
  ASSERT_TRUE(fs::exists(kml)) << LastMessage();
  EXPECT_TRUE(q.lastContour.sampled);
  EXPECT_GT(q.lastContour.run.segments, 0u);
  EXPECT_EQ(globe->openRequests().back(), kml.string());
  EXPECT_TRUE(program->contour.GridReady);
  EXPECT_EQ(q.LastToolKey, "contour");
  EXPECT_TRUE(q.Toolbar1.Enabled()) << "the toolbar comes back";
  EXPECT_EQ(q.Toolbar1.Button("contour")->Value, forms::tbrUnpressed);
  EXPECT_FALSE(q.ProgressBar1.Visible());
  EXPECT_EQ(program->hooks.Depth(), 0) << "the lock is gone";

  // Ctrl+F9 again hides it; with another window in front the key does nothing.
  PressKeys({VK_CONTROL, VK_F9});
  EXPECT_FALSE(q.Toolbar1.Visible());
  d.SetForegroundWindow(q.hwnd());
  PressKeys({VK_CONTROL, VK_F9});
  EXPECT_FALSE(q.Toolbar1.Visible());
}

TEST_F(ProgramTest, ASecondStartOrAMissingGlobeEndsTheNewProgram) {
  program = std::make_unique<app::Program>(d, dir.string(), 1);
  program->Start();
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(LastMessage(), "Google Earth is not running.\r\n\r\nYou should start it first.");

  StartGlobe();
  StartProgram();
  ASSERT_FALSE(program->ended());
  app::Program second(d, dir.string(), 2);
  second.Start();
  EXPECT_TRUE(second.ended());
  EXPECT_EQ(LastMessage(), "It is started.");
  EXPECT_FALSE(program->ended());
  EXPECT_TRUE(d.IsWindow(program->frmQuarlin.Toolbar1.hwnd()));
}

TEST_F(ProgramTest, TheProgramEndsWithinATickOfTheGlobeGoing) {
  StartGlobe();
  StartProgram();
  const HWND toolbar = program->frmQuarlin.Toolbar1.hwnd();
  globe->Quit();
  d.Sleep(999);
  d.DoEvents();
  d.Sleep(2);
  d.DoEvents();
  EXPECT_TRUE(program->ended());
  EXPECT_FALSE(d.IsWindow(toolbar));
  EXPECT_EQ(program->hooks.Depth(), 0);
  EXPECT_EQ(d.FindProgram("altimar"), 0);
}

TEST_F(ProgramTest, DockFollowsTheGlobeAndLeavingItRemovesTheHook) {
  StartGlobe({100, 50, 900, 650});
  StartProgram();
  auto& q = program->frmQuarlin;
  q.optStart_Click(workspace::kDock);
  EXPECT_TRUE(q.Docked);
  EXPECT_EQ(program->hooks.Top(), host::kHookDock);
  EXPECT_EQ(q.Left(), 900 * 15);
  EXPECT_EQ(q.Height(), 600 * 15);
  EXPECT_EQ(d.GetWindowAlpha(q.hwnd()), 255);
  q.optStart_Click(workspace::kDock);
  EXPECT_EQ(program->hooks.Depth(), 1) << "docking twice pushes the hook once";

  // The globe moves to the right edge: the workspace goes to its left.
  d.MoveWindow(globe->GetMainHwnd(), 700, 80, 560, 500, true);
  d.InjectMouseMove(750, 90);  // on the globe's caption
  d.DoEvents();
  EXPECT_EQ(q.Left(), 700 * 15 - q.Width());
  EXPECT_EQ(q.Top(), 80 * 15);

  // Maximised: the workspace stays on top; restored: no longer.
  d.ShowWindow(globe->GetMainHwnd(), SW_SHOWMAXIMIZED);
  d.InjectMouseMove(600, 10);
  d.DoEvents();
  EXPECT_TRUE(program->ge.GEWasMaximized);
  EXPECT_NE(d.GetWindowLongA(q.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  d.ShowWindow(globe->GetMainHwnd(), SW_RESTORE);
  d.InjectMouseMove(760, 95);  // (the same point twice is handled once)
  d.DoEvents();
  EXPECT_FALSE(program->ge.GEWasMaximized);
  EXPECT_EQ(d.GetWindowLongA(q.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

  q.optStart_Click(workspace::kNormal);
  EXPECT_FALSE(q.Docked);
  EXPECT_EQ(program->hooks.Depth(), 0);

  // mdiChild puts the form into the globe's window; leaving it puts it back.
  q.optStart_Click(workspace::kMdiChild);
  EXPECT_EQ(d.GetParent(q.hwnd()), globe->GetMainHwnd());
  q.optStart_Click(workspace::kMenu);
  EXPECT_EQ(d.GetParent(q.hwnd()), 0);
  EXPECT_EQ(q.ConnectMode, workspace::kMenu);
}

}  // namespace
}  // namespace altimar::testing
