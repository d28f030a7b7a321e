#include <gtest/gtest.h>

#include "platform/forms/controls.h"
#include "platform/forms/toolbar.h"
#include "platform/forms/menu.h"
#include "platform/win/gdi.h"

namespace altimar::testing {
namespace {

using namespace altimar::forms;
using namespace altimar::win;

// A small form as the program's forms are written: controls as members,
// handlers wired in the load handler.
class TestForm : public Form {
 public:
  TestForm(Desktop& d, int program) : Form(d, program, "frmTest") {
    initialWidth_ = 6000;
    initialHeight_ = 4500;
    initialCaption_ = "Test";
    cmdOK.Move(300, 300, 1200, 375);
    chkLabels.Move(300, 900, 2000, 300);
    for (int i = 0; i < 3; ++i) opt[i].Move(300, 1500 + 300.0 * i, 1500, 300);
    Text1.Move(2500, 300, 2000, 375);
    ProgressBar1.Move(2500, 900, 2000, 300);
  }
  int loads = 0;
  std::vector<std::string> events;

  Frame frame{*this, "Frame1"};
  CommandButton cmdOK{*this, "cmdOK"};
  CheckBox chkLabels{*this, "chkLabels"};
  OptionButton opt[3] = {{*this, "opt", 0, &frame}, {*this, "opt", 1, &frame}, {*this, "opt", 2, &frame}};
  TextBox Text1{*this, "Text1"};
  ProgressBar ProgressBar1{*this, "ProgressBar1"};

 protected:
  void Form_Load() override {
    ++loads;
    frame.Move(0, 1200, 3000, 1500);
    for (int i = 0; i < 3; ++i) opt[i].Move(150, 225 + 375.0 * i, 2000, 300);
    cmdOK.Caption = "OK";
    cmdOK.MouseDown = [this](int, int, double, double) { events.push_back("down"); };
    cmdOK.MouseUp = [this](int, int, double, double) { events.push_back("up"); };
    cmdOK.Click = [this] {
      events.push_back("click");
      Hide();
    };
    for (auto& o : opt) o.ClickIndex = [this](int i) { events.push_back("opt" + std::to_string(i)); };
    Text1.KeyPress = [](int& key) {
      if ((key < '0' || key > '9') && key != VK_BACK) key = 0;  // digits only
    };
  }
};

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() { d.SetQuietMessageBoxes(true); }
  // Screen centre of a control.
  POINT Centre(Control& c) {
    RECT r;
    d.GetWindowRect(c.hwnd(), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Click(Control& c) {
    const POINT p = Centre(c);
    d.InjectClick(p.x, p.y);
  }
  Desktop d{Clock::Kind::Virtual};
  TestForm f{d, d.StartProgram("altimar")};
};

TEST_F(FormsTest, AFormLoadsOnceOnFirstUse) {
  EXPECT_FALSE(f.loaded());
  EXPECT_EQ(f.loads, 0);
  EXPECT_EQ(f.Caption(), "Test");  // a property access loads it
  EXPECT_EQ(f.loads, 1);
  f.Show();
  f.Hide();
  f.Show();
  EXPECT_EQ(f.loads, 1);
  EXPECT_EQ(f.Width(), 6000);
  EXPECT_EQ(d.GetParent(f.opt[1].hwnd()), f.frame.hwnd()) << "option buttons sit in their frame";
  EXPECT_EQ(d.GetClassName(f.hwnd()), "ThunderFormDC");
}

TEST_F(FormsTest, AButtonShowsItsPictureFace) {
  f.Show();
  f.cmdOK.Picture = Surface(10, 10, 0x00FF00);
  f.cmdOK.Caption = "";
  f.cmdOK.Refresh();
  RECT r;
  d.GetWindowRect(f.cmdOK.hwnd(), &r);
  EXPECT_EQ(d.ComposeScreen().at((r.left + r.right) / 2, (r.top + r.bottom) / 2), 0x00FF00u);
}

TEST_F(FormsTest, ADisabledFrameDisablesWhatItHoldsAndTheFormSetsThePointer) {
  f.Show();
  const POINT p = Centre(f.opt[1]);
  f.opt[1].Caption = "Two";
  f.frame.SetEnabled(false);
  EXPECT_FALSE(f.opt[1].Enabled());
  d.InjectClick(p.x, p.y);
  d.DoEvents();
  EXPECT_FALSE(f.opt[1].Value()) << "a click inside a disabled frame reaches nothing";
  RECT r;
  d.GetWindowRect(f.opt[1].hwnd(), &r);
  int grey = 0, dark = 0;  // the caption is drawn in the disabled colour, not in black
  const Surface& screen = d.ComposeScreen();
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left + 16; x < r.right; ++x) {
      grey += screen.at(x, y) == 0x9A9A9Au;
      dark += (screen.at(x, y) & 0xFF) < 0x60;
    }
  EXPECT_GT(grey, 0);
  EXPECT_EQ(dark, 0);
  f.frame.SetEnabled(true);
  d.InjectClick(p.x, p.y);
  d.DoEvents();
  EXPECT_TRUE(f.opt[1].Value());

  EXPECT_EQ(d.CursorShapeAt(p), 0);
  f.SetMousePointer(11);
  EXPECT_EQ(d.CursorShapeAt(p), 11) << "an hourglass over the form and what it holds";
  EXPECT_EQ(d.CursorShapeAt({d.width() - 1, d.height() - 1}), 0);
  f.SetMousePointer(0);
  EXPECT_EQ(d.CursorShapeAt(p), 0);
}

TEST_F(FormsTest, AClickRaisesMouseDownMouseUpThenClickAndAModalFormReturnsWhenHidden) {
  Click(f.cmdOK);
  f.Show(true);  // the queued click hides it, which ends the modal loop
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(f.events, (std::vector<std::string>{"down", "up", "click"}));
  f.cmdOK.SetEnabled(false);
  f.events.clear();
  f.Show();
  Click(f.cmdOK);
  d.DoEvents();
  EXPECT_TRUE(f.events.empty()) << "a disabled button gets nothing";
}

TEST_F(FormsTest, ACancelledCloseOnlyHidesTheForm) {
  f.QueryUnload = [](bool& cancel, int mode) { cancel = mode == vbFormControlMenu; };
  f.Show();
  d.SendMessageA(f.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(f.loaded());
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.Unload(vbFormCode));
  EXPECT_FALSE(f.loaded());
  f.Show();
  EXPECT_EQ(f.loads, 2) << "loaded again after an unload";
}

TEST_F(FormsTest, OptionButtonsInAnArrayAreExclusiveAndCheckBoxesToggle) {
  f.Show();
  Click(f.opt[1]);
  d.DoEvents();
  Click(f.opt[2]);
  d.DoEvents();
  EXPECT_FALSE(f.opt[0].Value());
  EXPECT_FALSE(f.opt[1].Value());
  EXPECT_TRUE(f.opt[2].Value());
  EXPECT_EQ(f.events, (std::vector<std::string>{"opt1", "opt2"}));
  Click(f.chkLabels);
  d.DoEvents();
  EXPECT_EQ(f.chkLabels.Value, 1);
  Click(f.chkLabels);
  d.DoEvents();
  EXPECT_EQ(f.chkLabels.Value, 0);
}

TEST_F(FormsTest, KeyPressCanDiscardAKey) {
  f.Show();
  f.Text1.SetFocus();
  for (int vk : {int{'1'}, int{'A'}, int{'2'}, VK_BACK, int{'7'}}) {
    d.InjectKey(vk, true);
    d.InjectKey(vk, false);
  }
  d.DoEvents();
  EXPECT_EQ(f.Text1.Text(), "17");
}

TEST_F(FormsTest, AProgressBarKeepsToItsRangeAndControlsPaintTheirLook) {
  f.ProgressBar1.SetMin(1);
  f.ProgressBar1.SetMax(100);
  f.ProgressBar1.SetValue(50);
  f.ProgressBar1.SetValue(101);
  EXPECT_EQ(f.ProgressBar1.Value(), 50) << "a value outside the range is refused";
  // The control is what the contour code reports to.
  IProgressBar& bar = f.ProgressBar1;
  SetProgressValue(bar, 145);
  EXPECT_EQ(f.ProgressBar1.Value(), 100);
  f.Show();
  // A button: raised edge (white top-left), grey face, dark caption pixels in the middle.
  const Surface& screen = d.ComposeScreen();
  RECT r;
  d.GetWindowRect(f.cmdOK.hwnd(), &r);
  EXPECT_EQ(screen.at(r.left, r.top), 0xFFFFFFu);
  EXPECT_EQ(screen.at(r.right - 1, r.bottom - 1), 0x696969u);
  EXPECT_EQ(screen.at(r.left + 4, r.top + 4), 0xF0F0F0u);
  int dark = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) dark += (screen.at(x, y) & 0xFF) < 0x60;
  EXPECT_GT(dark, 5) << "the caption is drawn";
  // Pressed, the edge turns sunken.
  d.InjectMouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  d.InjectMouseButton(VK_LBUTTON, true);
  d.DoEvents();
  EXPECT_EQ(d.ComposeScreen().at(r.left, r.top), 0xA0A0A0u);
  d.InjectMouseButton(VK_LBUTTON, false);
  d.DoEvents();
}

TEST_F(FormsTest, TimersTickOnTheLoopWhileEnabled) {
  Timer t(f, "Timer1");
  int ticks = 0;
  t.Tick = [&] { ++ticks; };
  t.SetInterval(100);
  d.Sleep(250);
  d.DoEvents();
  EXPECT_EQ(ticks, 1);
  d.Sleep(100);
  d.DoEvents();
  EXPECT_EQ(ticks, 2);
  t.SetEnabled(false);
  d.Sleep(500);
  d.DoEvents();
  EXPECT_EQ(ticks, 2);
}

TEST_F(FormsTest, ToolbarGroupsAreExclusiveAndDisabledButtonsDoNotFire) {
  Toolbar bar(f, "Toolbar1");
  ImageList icons;
  icons.Add("red", Surface(16, 16, 0xFF0000));
  bar.images = &icons;
  bar.Move(0, 3000, 4000, 420);
  f.Show();  // the toolbar was declared before the form loaded: it has its window
  bar.Add("contour", tbrDefault, "red").ToolTipText = "Create new Contours";
  bar.Add("sep", tbrSeparator);
  bar.Add("pick", tbrButtonGroup, "red");
  bar.Add("rect", tbrButtonGroup, "red");
  bar.Add("off", tbrDefault, "red").Enabled = false;
  std::vector<std::string> clicked;
  bar.ButtonClick = [&](ToolbarButton& b) { clicked.push_back(b.Key); };
  RECT r;
  d.GetWindowRect(bar.hwnd(), &r);
  auto clickButton = [&](int index) {  // 0-based, counting the separator
    int x = 2;
    for (int k = 0; k < index; ++k) x += bar.Buttons()[static_cast<std::size_t>(k)].Style == tbrSeparator ? 8 : 25;
    d.InjectClick(r.left + x + 12, r.top + 12);
    d.DoEvents();
  };
  clickButton(0);
  clickButton(2);
  clickButton(3);
  clickButton(4);
  EXPECT_EQ(clicked, (std::vector<std::string>{"contour", "pick", "rect"}));
  EXPECT_EQ(bar.Button("pick")->Value, tbrUnpressed) << "one of a group is pressed at a time";
  EXPECT_EQ(bar.Button("rect")->Value, tbrPressed);
  EXPECT_EQ(bar.ButtonsWidth(), (2 + 25 + 8 + 25 + 25 + 25 + 2) * 15.0);
  // Resting on a button shows its tool tip; it goes after a while.
  d.InjectMouseMove(r.left + 2 + 12, r.top + 12);
  d.DoEvents();
  ASSERT_NE(bar.ToolTipWindow(), 0);
  EXPECT_EQ(d.GetWindowText(bar.ToolTipWindow()), "Create new Contours");
  d.Sleep(6000);
  d.DoEvents();
  EXPECT_EQ(bar.ToolTipWindow(), 0);
  // A pressed button looks sunken: shadow on its top-left edge.
  int x = 2 + 25 + 8 + 25;
  EXPECT_EQ(d.ComposeScreen().at(r.left + x, r.top + 1), 0xA0A0A0u);
  EXPECT_EQ(d.ComposeScreen().at(r.left + 2, r.top + 1), 0xF0F0F0u) << "an unpressed one is flat";
}

TEST_F(FormsTest, APopupMenuRunsTheChosenItemAndSkipsDisabledOnes) {
  Menu bexo("bexo", "Bexo");
  std::vector<std::string> ran;
  bexo.Add("about", "About").Click = [&] { ran.push_back("about"); };
  bexo.Add("sep1", "-");
  auto& off = bexo.Add("camera", "Camera");
  off.Enabled = false;
  off.Click = [&] { ran.push_back("camera"); };
  bexo.Add("exit", "Exit").Click = [&] { ran.push_back("exit"); };
  bexo.Add("hidden", "Big Bang Model").Visible = false;
  f.Show();
  // Menu at (0, 0) of the form's client area; items are 20 pixels high after a 2-pixel edge.
  POINT origin{0, 0};
  d.ClientToScreen(f.hwnd(), &origin);
  d.InjectClick(origin.x + 30, origin.y + 2 + 20 + 8 + 10);  // the disabled item: nothing
  d.InjectClick(origin.x + 30, origin.y + 2 + 20 + 8 + 20 + 10);  // Exit
  Menu* chosen = PopupMenu(f, bexo, vbPopupMenuRightButton, 0, 0);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->name(), "exit");
  EXPECT_EQ(ran, std::vector<std::string>{"exit"});
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0) << "the popup is gone";

  d.InjectClick(1200, 780);  // outside: dismissed
  EXPECT_EQ(PopupMenu(f, bexo, vbPopupMenuLeftButton, 0, 0), nullptr);
  EXPECT_THROW(PopupMenu(f, bexo), ModalLoopError) << "headless, with no input the menu cannot end";
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0) << "and its window does not outlive the call";
  EXPECT_EQ(d.GetCapture(), 0);

  // An item with items opens them beside it; a click there runs the inner item.
  auto& more = bexo.Add("more", "More");
  more.Add("inner", "Inner").Click = [&] { ran.push_back("inner"); };
  const int moreTop = 2 + 20 + 8 + 20 + 20;  // after About, the separator, Camera and Exit
  d.InjectClick(origin.x + 30, origin.y + moreTop + 10);
  d.InjectClick(origin.x + 220 - 4 + 30, origin.y + moreTop + 2 + 10);
  chosen = PopupMenu(f, bexo, vbPopupMenuLeftButton, 0, 0);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->name(), "inner");
  EXPECT_EQ(ran.back(), "inner");
  EXPECT_EQ(d.FindWindowA("#32768", ""), 0) << "and its window does not outlive the call";
  EXPECT_EQ(d.GetCapture(), 0);
}

}  // namespace
}  // namespace altimar::testing
