#include <gtest/gtest.h>

#include "host/hotkeys.h"
#include "host/window_search.h"
#include "host/window_utils.h"

namespace altimar::testing {
namespace {

using namespace altimar::win;

class HostWindowsTest : public ::testing::Test {
 protected:
  HostWindowsTest() {
    globe = d.StartProgram("globe");
    addon = d.StartProgram("addon");
    geMain = d.CreateWindowExA(0, "QWidget", "Google Earth", WS_VISIBLE, 0, 0, 800, 600, 0, globe);
    const HWND frame = d.CreateWindowExA(0, "QWidget", "", WS_VISIBLE, 0, 0, 800, 600, geMain, globe);
    d.CreateWindowExA(0, "QWidget", "status", WS_VISIBLE, 0, 580, 800, 20, frame, globe);
    menubar = d.CreateWindowExA(0, "QWidget", "menubar", WS_VISIBLE, 0, 0, 800, 20, frame, globe);
    form = d.CreateWindowExA(0, "ThunderFormDC", "Altimar", WS_VISIBLE, 900, 0, 300, 400, 0, addon,
                             [this](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
                               formMessages.push_back(m);
                               return 0;
                             });
  }
  Desktop d{Clock::Kind::Virtual};
  int globe = 0, addon = 0;
  HWND geMain = 0, menubar = 0, form = 0;
  std::vector<UINT> formMessages;
};

TEST_F(HostWindowsTest, TheGlobesChildWindowIsFoundByTextAndClass) {
  host::WindowSearch search(d);
  EXPECT_EQ(search.FindGEChildWindow("menubar"), menubar);
  EXPECT_TRUE(search.Found);
  EXPECT_EQ(search.TopHwnd, geMain);
  EXPECT_EQ(search.FindGEChildWindow("Menubar"), 0);
  d.CreateWindowExA(0, "Other", "toolbar", WS_VISIBLE, 0, 0, 10, 10, menubar, globe);
  EXPECT_EQ(search.FindGEChildWindow("toolbar"), 0) << "the class must be QWidget";
  d.SetWindowTextA(geMain, "Google Earth Pro");
  EXPECT_EQ(search.FindGEChildWindow("menubar"), 0) << "the title must be exactly Google Earth";
}

TEST_F(HostWindowsTest, AttachingDetachingAndAttachingAgainReusesTheEntry) {
  host::AttachedWindows reg(d);
  const HWND tool = d.CreateWindowExA(0, "msvb_lib_toolbar", "", WS_VISIBLE, 0, 0, 100, 20, form, addon);
  ASSERT_TRUE(reg.AttachWindow(tool, menubar));
  EXPECT_EQ(d.GetParent(tool), menubar);
  EXPECT_EQ(reg.Count(), 1);
  EXPECT_EQ(reg.OldParent[1], form);
  reg.DetachWindow(tool);
  EXPECT_EQ(d.GetParent(tool), form);
  EXPECT_EQ(reg.State[1], 0);
  reg.DetachWindow(tool);  // not attached: nothing
  EXPECT_EQ(d.GetParent(tool), form);
  ASSERT_TRUE(reg.AttachWindow(tool, menubar));
  EXPECT_EQ(reg.Count(), 1) << "the entry is reused";

  // Attached again while still attached: the first old parent is kept.
  ASSERT_TRUE(reg.AttachWindow(tool, geMain));
  EXPECT_EQ(reg.Count(), 1);
  EXPECT_EQ(reg.OldParent[1], form);
  reg.DetachWindow(tool);
  EXPECT_EQ(d.GetParent(tool), form);

  // Never past 100 entries.
  for (int k = 0; k < 120; ++k) {
    const HWND c = d.CreateWindowExA(0, "c", "", 0, 0, 0, 1, 1, form, addon);
    const bool ok = reg.AttachWindow(c, menubar);
    EXPECT_EQ(ok, reg.Count() <= 100 && k < 99);
  }
  EXPECT_EQ(reg.Count(), 100);
}

TEST_F(HostWindowsTest, HotKeysActOnlyWithTheRightWindowInFrontAndAreGoneAfterRemove) {
  host::Hotkeys keys(d);
  int contourBar = 0, cancel = 0, camera = 0;
  HWND dialog = 0;
  keys.actions.contourBarClick = [&] { ++contourBar; };
  keys.actions.cancelSampling = [&] { ++cancel; };
  keys.actions.cameraClick = [&] { ++camera; };
  keys.actions.geMainWindow = [&] { return geMain; };
  keys.actions.contourDialog = [&] { return dialog; };
  keys.HotkeyInstall(form);
  auto press = [&](bool ctrl, int vk) {
    if (ctrl) d.InjectKey(VK_CONTROL, true);
    d.InjectKey(vk, true);
    d.InjectKey(vk, false);
    if (ctrl) d.InjectKey(VK_CONTROL, false);
    d.DoEvents();
  };
  d.SetForegroundWindow(form);
  press(false, VK_F9);
  EXPECT_EQ(cancel, 0) << "F9 with another window in front does nothing";
  d.SetForegroundWindow(geMain);
  press(false, VK_F9);
  press(true, VK_F9);
  press(false, VK_F10);
  press(true, 'X');
  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(contourBar, 1);
  EXPECT_EQ(camera, 1);
  dialog = d.CreateWindowExA(0, "ThunderFormDC", "Altimar", WS_VISIBLE, 0, 0, 100, 100, 0, addon);
  d.SetForegroundWindow(dialog);
  press(false, VK_F10);
  press(false, VK_F9);
  EXPECT_EQ(camera, 2) << "F10 also works with the contour dialog in front";
  EXPECT_EQ(cancel, 1);
  EXPECT_EQ(std::count(formMessages.begin(), formMessages.end(), WM_HOTKEY), 7)
      << "every hot key message goes on to the window's own procedure";

  keys.HotkeyRemove(form);
  for (auto [mods, vk] : {std::pair{MOD_CONTROL, VK_F9}, std::pair{0u, VK_F9},
                          std::pair{0u, VK_F10}, std::pair{MOD_CONTROL, int{'X'}}})
    EXPECT_FALSE(d.HotKeyRegistered(mods, static_cast<UINT>(vk)));
  d.SetForegroundWindow(geMain);
  press(false, VK_F9);
  EXPECT_EQ(cancel, 1);
  d.SendMessageA(form, WM_USER, 0, 0);
  EXPECT_EQ(formMessages.back(), WM_USER) << "the form's own procedure is back";
}

TEST_F(HostWindowsTest, FadeInEndsOpaqueWithoutTheLayeredStyle) {
  host::SetWindowAlpha(d, form, 77);
  EXPECT_EQ(d.GetWindowAlpha(form), 77);
  EXPECT_NE(d.GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  const auto before = d.GetTickCount();
  host::FadeInWindow(d, form, true);
  EXPECT_EQ(d.GetTickCount() - before, 255u) << "1 ms a step through the clock";
  EXPECT_EQ(d.GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(d.GetWindowAlpha(form), 255);
}

}  // namespace
}  // namespace altimar::testing
