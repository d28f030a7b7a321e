#include "host/mouse_hooks.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

using namespace altimar::win;
using host::MouseHooks;

class MouseHooksTest : public ::testing::Test {
 protected:
  MouseHooksTest() {
    d.SetQuietMessageBoxes(true);
    program = d.StartProgram("addon");
    hooks.FillClientTable();
    geMain = d.CreateWindowExA(0, "QWidget", "Google Earth", WS_VISIBLE, 0, 0, 600, 400, 0,
                               d.StartProgram("globe"), [this](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
                                 if (m == WM_LBUTTONDOWN) ++geClicks;
                                 return 0;
                               });
    other = d.CreateWindowExA(0, "Notepad", "other", WS_VISIBLE, 700, 0, 200, 200, 0, program);
    for (int id = 1; id <= 8; ++id)
      hooks.SetClientHandler(id, [this, id](WPARAM, const MSLLHOOKSTRUCT&) {
        heard.push_back(id);
        return false;
      });
  }
  void Move(int x, int y) {
    d.InjectMouseMove(x, y);
    d.DoEvents();
  }
  Desktop d{Clock::Kind::Virtual};
  int program = 0;
  MouseHooks hooks{d, d.StartProgram("hooks")};
  HWND geMain = 0, other = 0;
  int geClicks = 0;
  std::vector<int> heard;
};

TEST_F(MouseHooksTest, OnlyTheTopClientListensAndPopBringsTheOneBelowBack) {
  hooks.HookPush("Dock");
  hooks.HookPush("Pickup");
  EXPECT_EQ(d.HookCount(), 1u) << "only the top client has a hook";
  Move(10, 10);
  EXPECT_EQ(heard, std::vector<int>{host::kHookPickup});
  EXPECT_EQ(hooks.LastHookPoint, (POINT{10, 10}));
  hooks.HookPop();
  Move(20, 20);
  EXPECT_EQ(heard, (std::vector<int>{host::kHookPickup, host::kHookDock}));
  EXPECT_EQ(hooks.HookEvent.pt, (POINT{20, 20}));
  hooks.HookPop();
  hooks.HookPop();  // on an empty stack: nothing
  EXPECT_EQ(hooks.Depth(), 0);
  EXPECT_EQ(d.HookCount(), 0u);
  Move(30, 30);
  EXPECT_EQ(heard.size(), 2u);
}

TEST_F(MouseHooksTest, RemovingAClientTakesEveryCopyAndKeepsOneHookOnTheNewTop) {
  for (const char* name : {"Dock", "Shift", "Compare", "Shift"}) hooks.HookPush(name);
  hooks.HookRemove(host::kHookShift);
  ASSERT_EQ(hooks.Depth(), 2);
  EXPECT_EQ(hooks.Top(), host::kHookCompare);
  EXPECT_EQ(d.HookCount(), 1u);
  Move(10, 10);
  EXPECT_EQ(heard, std::vector<int>{host::kHookCompare});
  hooks.HookRemove(host::kHookDock);  // under the top: the listener stays
  EXPECT_EQ(hooks.Depth(), 1);
  EXPECT_EQ(d.HookCount(), 1u);
  hooks.HookRemove(host::kHookCompare);
  EXPECT_EQ(hooks.Depth(), 0);
  EXPECT_EQ(d.HookCount(), 0u);
}

TEST_F(MouseHooksTest, UnknownNamesChangeNothingAndTheStackNeverOverruns) {
  hooks.HookPush("pickup");  // names are exact
  hooks.HookPush("");
  EXPECT_EQ(hooks.Depth(), 0);
  for (int k = 0; k < 150; ++k) hooks.HookPush(k % 2 ? "Dock" : "Shift");
  EXPECT_EQ(hooks.Depth(), 100);
  EXPECT_EQ(d.HookCount(), 1u);
  hooks.HookPopAll();
  EXPECT_EQ(hooks.Depth(), 0);
  EXPECT_EQ(d.HookCount(), 0u);
}

TEST_F(MouseHooksTest, AClientThatSwallowsKeepsTheEventFromTheWindows) {
  hooks.SetClientHandler(host::kHookGetColor, [](WPARAM m, const MSLLHOOKSTRUCT&) {
    return m == WM_LBUTTONDOWN;
  });
  hooks.HookPush("GetColor");
  d.InjectClick(100, 100);
  d.DoEvents();
  EXPECT_EQ(geClicks, 0);
  hooks.HookPop();
  d.InjectClick(100, 100);
  d.DoEvents();
  EXPECT_EQ(geClicks, 1);
}

TEST_F(MouseHooksTest, TheLockClientBlocksClicksAndWheelOverTheGlobeOnly) {
  hooks.LockWindow = geMain;
  hooks.LockClassName = "QWidget";
  hooks.HookPush("CallMouseHookProc9_Lock");
  d.InjectClick(100, 100);
  d.InjectMouseWheel(120);
  d.DoEvents();
  EXPECT_EQ(geClicks, 0);
  POINT p;
  d.GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{100, 100})) << "moves still go through";

  int otherClicks = 0;
  d.SetWindowLongA(other, GWL_WNDPROC, d.RegisterWndProc([&](HWND, UINT m, WPARAM, LPARAM) -> LRESULT {
    if (m == WM_LBUTTONDOWN) ++otherClicks;
    return 0;
  }));
  d.InjectClick(750, 50);
  d.DoEvents();
  EXPECT_EQ(otherClicks, 1) << "other programs' windows are not locked";

  // With the busy window open, a blocked click flashes it twice, 50 ms apart.
  const HWND busy = d.CreateWindowExA(0, "#32770", "Bexo - Open a local resource", WS_VISIBLE, 650,
                                      300, 100, 50, 0, program);
  const auto before = d.GetTickCount();
  d.InjectClick(100, 100);
  d.DoEvents();
  EXPECT_EQ(d.FlashCount(busy), 2);
  EXPECT_EQ(d.GetTickCount() - before, 50u);
  EXPECT_EQ(geClicks, 0);
  hooks.HookPop();
  d.InjectClick(100, 100);
  d.DoEvents();
  EXPECT_EQ(geClicks, 1);
}

}  // namespace
}  // namespace altimar::testing
