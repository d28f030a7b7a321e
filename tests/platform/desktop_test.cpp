#include "platform/win/desktop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <vector>

namespace altimar::testing {
namespace {

using namespace altimar::win;

class DesktopTest : public ::testing::Test {
 protected:
  DesktopTest() {
    d.SetQuietMessageBoxes(true);
    globe = d.StartProgram("globe");
    addon = d.StartProgram("addon");
  }
  // A top-level window that records the messages it gets.
  HWND Recorder(const std::string& title, int x, int y, int w, int h, HWND parent = 0) {
    return d.CreateWindowExA(0, "Rec", title, WS_VISIBLE, x, y, w, h, parent, addon,
                             [this](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
                               if (msg != WM_CREATE && msg != WM_SIZE && msg != WM_MOVE &&
                                   msg != WM_SETFOCUS && msg != WM_KILLFOCUS)
                                 log.push_back({hwnd, msg, wp, lp});
                               return 0;
                             });
  }
  struct Msg {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  Desktop d{Clock::Kind::Virtual};
  int globe = 0, addon = 0;
  std::vector<Msg> log;
};

TEST_F(DesktopTest, WindowsAreFoundByExactTitleAndClass) {
  const HWND main = d.CreateWindowExA(0, "QWidget", "Google Earth", WS_VISIBLE, 0, 0, 800, 600, 0, globe);
  const HWND bar = d.CreateWindowExA(0, "QWidget", "menubar", WS_VISIBLE | WS_CHILD, 0, 0, 800, 20, main, globe);
  EXPECT_EQ(d.FindWindowA("QWidget", "Google Earth"), main);
  EXPECT_EQ(d.FindWindowA(nullptr, "Google Earth"), main);
  EXPECT_EQ(d.FindWindowA("QWidget", "Google"), 0);
  EXPECT_EQ(d.FindWindowA("qwidget", "Google Earth"), 0) << "case matters";
  EXPECT_EQ(d.FindWindowA("QWidget", "menubar"), 0) << "only top-level windows";
  EXPECT_EQ(d.GetWindow(main, GW_CHILD), bar);
  EXPECT_EQ(d.GetParent(bar), main);
  EXPECT_EQ(d.GetParent(main), 0);
  char buf[8];
  EXPECT_EQ(d.GetWindowTextA(main, buf, sizeof buf), 7) << "cut to the buffer";
  EXPECT_STREQ(buf, "Google ");
}

TEST_F(DesktopTest, ReParentingMovesAWindowIntoAnotherProgramsWindow) {
  const HWND main = d.CreateWindowExA(0, "QWidget", "Google Earth", WS_VISIBLE, 100, 50, 800, 600, 0, globe);
  d.SetFrame(main, {4, 30, 4, 4});
  const HWND tool = Recorder("tool", 10, 10, 100, 20);
  EXPECT_EQ(d.SetParent(tool, main), d.GetDesktopWindow());
  RECT r;
  d.GetWindowRect(tool, &r);
  EXPECT_EQ(r, (RECT{114, 90, 214, 110})) << "its position is now inside the parent's client area";
  EXPECT_EQ(d.SetParent(main, tool), 0) << "no window below itself";
  EXPECT_EQ(d.SetParent(tool, 0), main);
  d.EndProgram(globe);
  EXPECT_FALSE(d.IsWindow(main));
  EXPECT_TRUE(d.IsWindow(tool));
}

TEST_F(DesktopTest, TheWindowUnderThePointFollowsZOrderVisibilityAndTopmost) {
  const HWND a = Recorder("a", 0, 0, 200, 200);
  const HWND b = Recorder("b", 100, 100, 200, 200);
  EXPECT_EQ(d.WindowFromPoint({150, 150}), b);
  d.SetForegroundWindow(a);
  EXPECT_EQ(d.WindowFromPoint({150, 150}), a);
  d.SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  d.SetForegroundWindow(a);
  EXPECT_EQ(d.WindowFromPoint({150, 150}), b) << "topmost stays in front";
  d.ShowWindow(b, SW_HIDE);
  EXPECT_EQ(d.WindowFromPoint({150, 150}), a);
  const HWND child = Recorder("child", 10, 10, 50, 50, a);
  EXPECT_EQ(d.WindowFromPoint({20, 20}), child);
  d.EnableWindow(child, false);
  EXPECT_EQ(d.WindowFromPoint({20, 20}), a);
  EXPECT_EQ(d.WindowFromPoint({1000, 700}), d.GetDesktopWindow());
}

// Any int is a coordinate a caller may pass: far-off values saturate, never
// wrap round to the other side of the screen (UBSan checks the arithmetic).
TEST_F(DesktopTest, ExtremeCoordinatesSaturateInsteadOfWrapping) {
  const HWND far = Recorder("far", INT_MAX, INT_MIN, INT_MAX, INT_MAX);
  RECT r;
  ASSERT_TRUE(d.GetWindowRect(far, &r));
  EXPECT_GT(r.left, 0);
  EXPECT_LT(r.top, 0);
  EXPECT_GE(r.width(), 0);
  EXPECT_GE(r.height(), 0);
  const HWND child = Recorder("child", INT_MAX, INT_MAX, 10, 10, far);
  d.SetFrame(far, {INT_MAX, INT_MIN, INT_MAX, INT_MAX});
  ASSERT_TRUE(d.GetWindowRect(child, &r));
  EXPECT_GT(r.left, 0);
  POINT p{INT_MAX, INT_MIN};
  d.ClientToScreen(child, &p);
  EXPECT_GT(p.x, 0);
  EXPECT_LT(p.y, 0);
  p = {INT_MIN, INT_MAX};
  d.ScreenToClient(child, &p);
  EXPECT_LT(p.x, 0);
  EXPECT_GT(p.y, 0);

  // A window moved far away and back is where it was sent; far off, it
  // keeps its size.
  const HWND w = Recorder("w", 0, 0, 100, 100);
  d.MoveWindow(w, INT_MIN, INT_MAX, 100, 100, true);
  ASSERT_TRUE(d.GetWindowRect(w, &r));
  EXPECT_EQ(r.width(), 100);
  EXPECT_LT(r.left, 0);
  EXPECT_GT(r.top, 0);
  EXPECT_EQ(d.WindowFromPoint({50, 50}), d.GetDesktopWindow());
  d.MoveWindow(w, 0, 0, 100, 100, true);
  EXPECT_EQ(d.WindowFromPoint({50, 50}), w);

  // The pointer goes far off and no window gets the move; a window dragged
  // by its caption goes to that side, then comes back onto the screen.
  log.clear();
  d.InjectMouseMove(INT_MIN, INT_MIN);
  d.DoEvents();
  EXPECT_TRUE(log.empty());
  d.GetCursorPos(&p);
  EXPECT_LT(p.x, 0);
  d.InjectMouseMove(50, 50);
  d.DoEvents();
  d.SendMessageA(w, WM_NCLBUTTONDOWN, HTCAPTION, 0);
  d.InjectMouseMove(INT_MIN, INT_MIN);
  d.DoEvents();
  ASSERT_TRUE(d.GetWindowRect(w, &r));
  EXPECT_LT(r.right, 0);
  d.InjectMouseMove(INT_MAX, INT_MAX);
  d.InjectMouseMove(50, 50);
  d.InjectMouseButton(VK_LBUTTON, false);
  d.DoEvents();
  ASSERT_TRUE(d.GetWindowRect(w, &r));
  EXPECT_EQ(r.width(), 100);
  EXPECT_GT(r.right, 0);
  EXPECT_LT(r.left, d.width());
}

TEST_F(DesktopTest, MessagesAreSentPostedAndPassedOnBySubclassing) {
  const HWND w = Recorder("w", 0, 0, 10, 10);
  d.SendMessageA(w, WM_USER, 1, 2);
  ASSERT_EQ(log.size(), 1u);
  d.PostMessageA(w, WM_USER + 1, 3, 4);
  EXPECT_EQ(log.size(), 1u);
  d.DoEvents();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].msg, WM_USER + 1);

  std::vector<UINT> seen;
  LONG old = 0;
  const LONG sub = d.RegisterWndProc([&](HWND h, UINT m, WPARAM wp, LPARAM lp) {
    seen.push_back(m);
    return d.CallWindowProcA(old, h, m, wp, lp);
  });
  old = d.SetWindowLongA(w, GWL_WNDPROC, sub);
  d.SendMessageA(w, WM_USER + 2, 0, 0);
  EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 2});
  EXPECT_EQ(log.back().msg, WM_USER + 2) << "the old procedure still gets it";
  d.SetWindowLongA(w, GWL_WNDPROC, old);
  d.SendMessageA(w, WM_USER + 3, 0, 0);
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(DesktopTest, MouseEventsRunTheHooksNewestFirstAndASwallowedEventGoesNowhere) {
  const HWND w = Recorder("w", 100, 100, 200, 200);
  ASSERT_TRUE(d.IsWindow(w));
  std::vector<std::string> order;
  HHOOK older = 0, newer = 0;
  bool swallow = false;
  older = d.SetWindowsHookExA(WH_MOUSE_LL, [&](int, WPARAM, LPARAM) -> LRESULT {
    order.push_back("older");
    return 0;
  }, addon, 0);
  newer = d.SetWindowsHookExA(WH_MOUSE_LL, [&](int code, WPARAM wp, LPARAM lp) -> LRESULT {
    const auto* ev = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
    order.push_back("newer " + std::to_string(ev->pt.x) + "," + std::to_string(ev->pt.y));
    if (swallow) return 1;
    return d.CallNextHookEx(newer, code, wp, lp);
  }, addon, 0);
  d.InjectMouseMove(150, 160);
  d.DoEvents();
  EXPECT_EQ(order, (std::vector<std::string>{"newer 150,160", "older"}));
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].msg, WM_MOUSEMOVE);
  EXPECT_EQ(GET_X_LPARAM(log[0].lp), 50) << "client coordinates";
  EXPECT_EQ(GET_Y_LPARAM(log[0].lp), 60);

  swallow = true;
  d.InjectMouseMove(170, 170);
  d.InjectMouseButton(VK_LBUTTON, true);
  d.DoEvents();
  EXPECT_EQ(log.size(), 1u) << "swallowed";
  POINT p;
  d.GetCursorPos(&p);
  EXPECT_EQ(p, (POINT{150, 160})) << "a swallowed move does not move the pointer";
  EXPECT_EQ(d.GetAsyncKeyState(VK_LBUTTON), 0);

  d.UnhookWindowsHookEx(newer);
  d.UnhookWindowsHookEx(older);
  EXPECT_EQ(d.HookCount(), 0u);
}

TEST_F(DesktopTest, CaptureTakesTheMouseWhereverItIs) {
  const HWND a = Recorder("a", 0, 0, 100, 100);
  const HWND b = Recorder("b", 200, 0, 100, 100);
  d.SetCapture(a);
  d.InjectClick(250, 50);
  d.DoEvents();
  ASSERT_EQ(log.size(), 3u);
  for (const auto& m : log) EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(GET_X_LPARAM(log[1].lp), 250);
  d.ReleaseCapture();
  log.clear();
  d.InjectClick(250, 50);
  d.DoEvents();
  EXPECT_EQ(log.back().hwnd, b);
  EXPECT_EQ(log.back().msg, WM_LBUTTONUP);
}

TEST_F(DesktopTest, HotKeysReachOnlyTheirWindowAndOnlyWhileRegistered) {
  const HWND target = Recorder("target", 0, 0, 10, 10);
  const HWND focus = Recorder("focus", 20, 0, 10, 10);
  d.SetFocus(focus);
  ASSERT_TRUE(d.RegisterHotKey(target, 7, MOD_CONTROL, VK_F9));
  EXPECT_FALSE(d.RegisterHotKey(focus, 8, MOD_CONTROL, VK_F9)) << "a key is registered once";
  d.InjectKey(VK_CONTROL, true);
  d.InjectKey(VK_F9, true);
  d.DoEvents();
  ASSERT_FALSE(log.empty());
  const auto hot = std::find_if(log.begin(), log.end(), [](const Msg& m) { return m.msg == WM_HOTKEY; });
  ASSERT_NE(hot, log.end());
  EXPECT_EQ(hot->hwnd, target);
  EXPECT_EQ(hot->wp, 7u);
  EXPECT_EQ(LOWORD(static_cast<WPARAM>(hot->lp)), static_cast<int>(MOD_CONTROL));
  EXPECT_EQ(HIWORD(static_cast<WPARAM>(hot->lp)), VK_F9);
  d.InjectKey(VK_F9, false);
  d.InjectKey(VK_CONTROL, false);
  d.InjectKey(VK_F9, true);  // without Ctrl: not the registered key
  d.DoEvents();
  EXPECT_EQ(log.back().hwnd, focus);
  EXPECT_EQ(log.back().msg, WM_KEYDOWN);
  d.UnregisterHotKey(target, 7);
  log.clear();
  d.InjectKey(VK_CONTROL, true);
  d.InjectKey(VK_F9, true);
  d.DoEvents();
  for (const auto& m : log) EXPECT_NE(m.msg, WM_HOTKEY);
}

TEST_F(DesktopTest, VirtualTimeMakesWaitsInstantAndDrivesTimers) {
  const auto start = std::chrono::steady_clock::now();
  d.Sleep(1500);
  EXPECT_EQ(d.GetTickCount(), 1500u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

  int ticks = 0;
  const HWND w = Recorder("w", 0, 0, 10, 10);
  d.SetTimer(w, 1, 1000, [&] { ++ticks; });
  d.Sleep(999);
  d.DoEvents();
  EXPECT_EQ(ticks, 0);
  d.Sleep(1);
  d.DoEvents();
  EXPECT_EQ(ticks, 1);
  d.Sleep(5000);
  d.DoEvents();
  EXPECT_EQ(ticks, 2) << "no burst after a long pause";
  d.KillTimer(w, 1);
  d.Sleep(5000);
  d.DoEvents();
  EXPECT_EQ(ticks, 2);
}

TEST_F(DesktopTest, AModalLoopEndsWithItsWindowOrFailsLoudlyWithoutInput) {
  const HWND dialog = d.CreateWindowExA(0, "Dlg", "Options", WS_VISIBLE, 0, 0, 100, 100, 0, addon,
                                        [&](HWND h, UINT m, WPARAM, LPARAM) -> LRESULT {
                                          if (m == WM_LBUTTONUP) d.ShowWindow(h, SW_HIDE);
                                          return 0;
                                        });
  try {
    d.RunModalLoop(dialog);
    FAIL() << "expected ModalLoopError";
  } catch (const ModalLoopError& e) {
    EXPECT_NE(std::string(e.what()).find("Options"), std::string::npos) << e.what();
  }
  d.InjectClick(50, 50);
  d.ShowWindow(dialog, SW_SHOW);
  d.RunModalLoop(dialog);
  EXPECT_FALSE(d.IsWindowVisible(dialog));

  // A timer can end it too: virtual time runs on to the timer.
  d.ShowWindow(dialog, SW_SHOW);
  d.SetTimer(dialog, 1, 3000, [&] { d.ShowWindow(dialog, SW_HIDE); });
  d.RunModalLoop(dialog);
  EXPECT_FALSE(d.IsWindowVisible(dialog));
  EXPECT_GE(d.GetTickCount(), 3000u);
}

TEST_F(DesktopTest, MessageBoxesAreRecordedAndAnsweredWhenHeadless) {
  EXPECT_EQ(d.MessageBoxA(0, "Too high.\r\nSet it a bit lower and try again.", "Altimar",
                          MB_OK | MB_SYSTEMMODAL),
            IDOK);
  d.QueueMessageBoxAnswer(IDNO);
  EXPECT_EQ(d.MessageBoxA(0, "Delete?", "Altimar", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(d.MessageBoxA(0, "Again?", "Altimar", MB_YESNO), IDYES);
  ASSERT_EQ(d.MessageBoxLog().size(), 3u);
  EXPECT_EQ(d.MessageBoxLog()[0].text, "Too high.\r\nSet it a bit lower and try again.");
  EXPECT_EQ(d.MessageBoxLog()[1].answer, IDNO);
}

// With a front end feeding input, the box is a real window that waits for
// its button to be clicked.
TEST_F(DesktopTest, WithAFrontEndAMessageBoxWaitsForItsButton) {
  int turns = 0;
  POINT target{};
  bool clicked = false;
  d.SetPump([&] {
    ++turns;
    const HWND box = d.FindWindowA("#32770", "Altimar");
    if (!box || clicked) return;
    RECT r;
    d.GetWindowRect(box, &r);
    d.InjectClick(r.left + target.x, r.top + target.y);
    clicked = true;
  });
  target = {1 + 230, 24 + 113};  // the second button of two: "No"
  EXPECT_EQ(d.MessageBoxA(0, "Delete the selected features?", "Altimar", MB_YESNO), IDNO);
  EXPECT_EQ(d.FindWindowA("#32770", "Altimar"), 0) << "the box is gone";
  clicked = false;
  target = {1 + 180, 24 + 113};  // the only button: "OK"
  EXPECT_EQ(d.MessageBoxA(0, "Done.", "Altimar", MB_OK), IDOK);
  EXPECT_GT(turns, 1);
  EXPECT_EQ(d.MessageBoxLog().back().text, "Done.");
  d.SetPump(nullptr);
}

TEST_F(DesktopTest, EndingAProgramReleasesItsWindowsHooksHotKeysAndTimers) {
  const HWND w = Recorder("w", 0, 0, 10, 10);
  d.SetWindowsHookExA(WH_MOUSE_LL, [](int, WPARAM, LPARAM) -> LRESULT { return 0; }, addon, 0);
  d.RegisterHotKey(w, 1, 0, VK_F10);
  int ticks = 0;
  d.SetTimer(w, 1, 10, [&] { ++ticks; });
  d.EndProgram(addon);
  EXPECT_FALSE(d.IsWindow(w));
  EXPECT_EQ(d.HookCount(), 0u);
  EXPECT_FALSE(d.HotKeyRegistered(0, VK_F10));
  d.Sleep(100);
  d.DoEvents();
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(d.FindProgram("addon"), 0);
  EXPECT_EQ(d.FindProgram("globe"), globe);
}

}  // namespace
}  // namespace altimar::testing
