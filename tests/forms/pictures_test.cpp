#include "platform/forms/pictures.h"
#include "platform/win/gdi.h"
#include "platform/forms/lists.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

using namespace altimar::forms;
using namespace altimar::win;

class ValuesForm : public Form {
 public:
  explicit ValuesForm(Desktop& d) : Form(d, d.StartProgram("altimar"), "frmSetRGB") {
    initialWidth_ = 7500;
    initialHeight_ = 6000;
    hscrRed.Move(150, 150, 3000, 255);
    Slider1.Move(150, 600, 3000, 450);
    cmbFields.Move(150, 1200, 3000, 315);
    Picture1.Move(3600, 150, 1500, 1500);
    ListView1.Move(150, 2000, 4500, 1500);
    TabStrip1.Move(150, 3700, 4500, 900);
  }
  HScrollBar hscrRed{*this, "hscrRed"};
  Slider Slider1{*this, "Slider1"};
  ComboBox cmbFields{*this, "cmbFields"};
  PictureBox Picture1{*this, "Picture1"};
  ListView ListView1{*this, "ListView1"};
  TabStrip TabStrip1{*this, "TabStrip1"};
};

class PicturesTest : public ::testing::Test {
 protected:
  PicturesTest() { f.Show(); }
  POINT At(Control& c, int dx, int dy) {
    RECT r;
    d.GetWindowRect(c.hwnd(), &r);
    return {r.left + dx, r.top + dy};
  }
  void ClickAt(POINT p) {
    d.InjectClick(p.x, p.y);
    d.DoEvents();
  }
  Desktop d{Clock::Kind::Virtual};
  ValuesForm f{d};
};

TEST_F(PicturesTest, ScrollBarsStepByArrowsAndPagesAndRaiseChange) {
  auto& bar = f.hscrRed;
  bar.Min = 0;
  bar.Max = 255;
  bar.SmallChange = 1;
  bar.LargeChange = 16;
  int changes = 0;
  bar.Change = [&] { ++changes; };
  ClickAt(At(bar, 200 - 5, 8));  // the right arrow
  ClickAt(At(bar, 200 - 5, 8));
  EXPECT_EQ(bar.Value(), 2);
  ClickAt(At(bar, 150, 8));  // the track right of the thumb
  EXPECT_EQ(bar.Value(), 18);
  ClickAt(At(bar, 3, 8));  // the left arrow
  EXPECT_EQ(bar.Value(), 17);
  bar.SetValue(400);
  EXPECT_EQ(bar.Value(), 255) << "kept within Min..Max";
  EXPECT_EQ(changes, 5);
}

TEST_F(PicturesTest, ASliderFollowsTheDrag) {
  auto& s = f.Slider1;
  s.Min = 1;
  s.Max = 100;
  const POINT start = At(s, 6, 15);
  d.InjectMouseMove(start.x, start.y);
  d.InjectMouseButton(VK_LBUTTON, true);
  d.InjectMouseMove(start.x + (200 - 12), start.y);
  d.InjectMouseButton(VK_LBUTTON, false);
  d.DoEvents();
  EXPECT_EQ(s.Value(), 100);
}

TEST_F(PicturesTest, AComboBoxDropsDownAndAClickOnAnItemSelectsIt) {
  auto& c = f.cmbFields;
  for (const char* item : {"NAME", "AREA", "POP"}) c.AddItem(item);
  c.ItemData()[2] = 7;
  int clicks = 0;
  c.Click = [&] { ++clicks; };
  ClickAt(At(c, 100, 10));
  const HWND list = d.FindWindowA("ComboLBox", "");
  ASSERT_NE(list, 0) << "the list is open";
  RECT r;
  d.GetWindowRect(list, &r);
  ClickAt({r.left + 20, r.top + 1 + 2 * 16 + 8});
  EXPECT_EQ(c.ListIndex(), 2);
  EXPECT_EQ(c.Text(), "POP");
  EXPECT_EQ(c.ItemData()[static_cast<std::size_t>(c.ListIndex())], 7);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(d.FindWindowA("ComboLBox", ""), 0) << "and closed";
}

TEST_F(PicturesTest, APictureBoxClearsDrawsAndPrints) {
  auto& p = f.Picture1;
  p.BackColor = RGB(0, 0, 0);
  p.Cls();
  p.Line(0, 0, 750, 750, RGB(255, 0, 0), true, true);
  p.ForeColor = RGB(255, 255, 255);
  p.CurrentX = 0;
  p.CurrentY = 900;
  p.Print("Ok");
  const Surface& screen = d.ComposeScreen();
  const POINT in = At(p, 10, 10), out = At(p, 80, 20);
  EXPECT_EQ(screen.at(in.x, in.y), 0xFF0000u) << "the filled box";
  EXPECT_EQ(screen.at(out.x, out.y), 0x000000u) << "the cleared background";
  int white = 0;
  for (int y = 60; y < 80; ++y)
    for (int x = 0; x < 30; ++x) white += ((p.Canvas().at(x, y) >> 16) & 0xFF) > 0x80;
  EXPECT_GT(white, 5) << "the printed text";
  EXPECT_GT(p.CurrentY, 900) << "the print position moved down a line";
}

TEST_F(PicturesTest, DrawingThroughTheDeviceContextLastsOnlyWithAutoRedraw) {
  auto& p = f.Picture1;
  auto& gdi = d.gdi();
  auto drawRed = [&] {
    HDC dc = p.hDC();
    RECT r{0, 0, 10, 10};
    HBRUSH red = gdi.CreateSolidBrush(RGB(255, 0, 0));
    gdi.FillRect(dc, &r, red);
    gdi.DeleteObject(red);
    gdi.ReleaseDC(p.hwnd(), dc);
  };
  const POINT in = At(p, 5, 5);
  p.BackColor = RGB(0, 0, 255);
  p.Cls();
  drawRed();
  EXPECT_EQ(d.ComposeScreen().at(in.x, in.y), 0xFF0000u);
  p.Refresh();
  EXPECT_EQ(d.ComposeScreen().at(in.x, in.y), 0x0000FFu) << "without AutoRedraw a repaint wipes it";

  p.AutoRedraw = true;
  drawRed();
  p.Line(0, 300, 150, 300, RGB(0, 255, 0));  // drawing by the control keeps it too
  p.Refresh();
  EXPECT_EQ(d.ComposeScreen().at(in.x, in.y), 0xFF0000u) << "with AutoRedraw it is part of the picture";
  EXPECT_EQ(p.Canvas().at(5, 5), 0xFF0000u);
  p.Cls();
  EXPECT_EQ(d.ComposeScreen().at(in.x, in.y), 0x0000FFu) << "until the picture is cleared";
}

TEST_F(PicturesTest, AListViewShowsRowsUnderItsHeadersAndAClickSelects) {
  auto& lv = f.ListView1;
  lv.AddColumn("Field", 1500);
  lv.AddColumn("Value", 2500);
  auto& a = lv.AddItem("NAME");
  a.SubItems.push_back("Fiji");
  lv.AddItem("POP_EST").SubItems.push_back("920938");
  std::string clicked;
  lv.ItemClick = [&](ListItem& item) { clicked = item.Text; };
  ClickAt(At(lv, 20, 2 + 17 * 2 + 8));  // the second row
  EXPECT_EQ(clicked, "POP_EST");
  ASSERT_NE(lv.SelectedItem(), nullptr);
  EXPECT_EQ(lv.SelectedItem()->SubItems[0], "920938");
  EXPECT_EQ(d.ComposeScreen().at(At(lv, 250, 2 + 17 * 2 + 2).x, At(lv, 250, 2 + 17 * 2 + 2).y), 0x0078D7u)
      << "the selected row is highlighted";
  lv.Clear();
  EXPECT_EQ(lv.SelectedItem(), nullptr);
  EXPECT_EQ(lv.ColumnHeaders().size(), 2u);
}

TEST_F(PicturesTest, ATabStripSelectsTheClickedTab) {
  auto& ts = f.TabStrip1;
  ts.Add("attr", "Attributes");
  ts.Add("geom", "Geometry");
  int clicks = 0;
  ts.Click = [&] { ++clicks; };
  EXPECT_EQ(ts.SelectedItem()->Key, "attr");
  ClickAt(At(ts, 100, 10));  // past the first tab's caption, on the second
  EXPECT_EQ(ts.SelectedItem()->Key, "geom");
  EXPECT_EQ(clicks, 1);
  ClickAt(At(ts, 250, 60));  // below the tabs: nothing
  EXPECT_EQ(ts.SelectedItem()->Key, "geom");
}

}  // namespace
}  // namespace altimar::testing
