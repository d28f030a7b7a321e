// The properties window: inside the globe's render window with the clock
// face and out again, its tabs, a feature's attributes found by FID, the
// floating-info box, and what it makes of the browser's events.
#include "data/html_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "attribute_fixture.h"
#include "bench/attribute_import.h"
#include "data/clock_face.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/forms/svg_picture.h"
#include "platform/win/gdi.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using data::FrmHtml;
using Row = std::vector<std::string>;

class HtmlWindowTest : public AttributeFixture {
 protected:
  void SetUp() override {
    AttributeFixture::SetUp();
    data::HtmlWindowLinks links;
    links.floatValue = [this] { return floatBox; };
    links.setFloatValue = [this](int v) { floatBox = v; };
    links.clearShow = [this] { parentAtUnload = desktop.GetParent(form->hwnd()); };
    links.lastToolKey = [this] { return toolKey; };
    form = std::make_unique<FrmHtml>(desktop, program, objGE, *rdb, dir.string(), links);
  }
  void TearDown() override {
    form.reset();
    AttributeFixture::TearDown();
  }
  void StartGlobe() {
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
    desktop.Sleep(earth::Globe::kStartUpMs);
  }
  std::string Pages() {
    return std::string(form->frameFastSearch.Visible() ? "S" : "-") +
           (form->ListView1.Visible() ? "P" : "-") + (form->WebBrowser1.Visible() ? "H" : "-");
  }
  Row Item(std::size_t k) {
    const auto& items = form->ListView1.ListItems();
    if (k >= items.size()) return {};
    Row row{items[k].Text};
    row.insert(row.end(), items[k].SubItems.begin(), items[k].SubItems.end());
    return row;
  }
  std::string Status(const std::string& text) {
    form->WebBrowser1.StatusTextChange(text);
    return form->LinkText;
  }

  int program = desktop.StartProgram("altimar");
  host::ApplicationGE objGE{desktop};
  std::shared_ptr<earth::Globe> globe;
  int floatBox = 0;
  std::string toolKey = "pan";
  std::optional<win::HWND> parentAtUnload;  // when the "Show" box was cleared
  std::unique_ptr<FrmHtml> form;
};

TEST_F(HtmlWindowTest, LivesInTheRenderWindowWithTheClockAndLeavesItAtUnload) {
  StartGlobe();
  form->Show();
  const win::HWND render = globe->GetRenderHwnd();
  const win::HWND window = form->hwnd();
  EXPECT_EQ(desktop.GetParent(window), render);
  const fs::path clock = dir / "clock.svg";
  EXPECT_EQ(form->WebBrowser1.LocationURL(), clock.string());
  EXPECT_EQ(ReadFileBytes(clock), data::ClockSvg()) << "written into the program folder";
  EXPECT_TRUE(form->WebBrowser1.DocumentLines().empty()) << "shown as a picture, not an error";

  EXPECT_TRUE(form->Unload());
  ASSERT_TRUE(parentAtUnload.has_value()) << "the highlight dialog's Show box is cleared";
  EXPECT_EQ(*parentAtUnload, 0) << "a top-level window again before it goes";
  EXPECT_FALSE(desktop.IsWindow(window));
  EXPECT_TRUE(desktop.IsWindow(render)) << "the globe keeps its window";
}

TEST_F(HtmlWindowTest, AClockAlreadyInTheFolderIsKeptAndWithoutAGlobeNothingIsWritten) {
  form->Show();
  EXPECT_EQ(desktop.GetParent(form->hwnd()), 0) << "no globe: the window stands on its own";
  EXPECT_EQ(form->WebBrowser1.LocationURL(), "");
  EXPECT_FALSE(fs::exists(dir / "clock.svg"));
  ASSERT_TRUE(form->Unload());

  WriteText("clock.svg", "<svg width='9' height='9'/>");
  StartGlobe();
  form->Show();
  EXPECT_EQ(form->WebBrowser1.LocationURL(), (dir / "clock.svg").string());
  EXPECT_EQ(ReadFileBytes(dir / "clock.svg"), "<svg width='9' height='9'/>");
  EXPECT_FALSE(fs::exists(dir / "clock.svg.part"));
}

TEST_F(HtmlWindowTest, TheGlobeQuittingWhileTheWindowShowsIsNoError) {
  StartGlobe();
  form->Show();
  globe->Quit();
  EXPECT_FALSE(form->Visible()) << "gone with the render window";
  EXPECT_TRUE(form->Unload());
  EXPECT_TRUE(parentAtUnload.has_value());
  form->Show();
  EXPECT_TRUE(form->Visible()) << "shown again, on its own";
  EXPECT_EQ(desktop.GetParent(form->hwnd()), 0);
}

TEST(ClockFace, IsTheShippedPictureAndDrawsAsAClockAtTenPastTen) {
  EXPECT_EQ(ReadFileBytes(fs::path(ALTIMAR_ASSETS) / "clock.svg"), data::ClockSvg());
  win::Desktop desktop{win::Clock::Kind::Virtual};
  win::Surface pic;
  ASSERT_EQ(forms::DrawSvg(data::ClockSvg(), pic, desktop.gdi().fonts()), "");
  ASSERT_EQ(pic.width(), 120);
  ASSERT_EQ(pic.height(), 120);
  EXPECT_EQ(pic.at(60, 60), 0xC0392Bu) << "the hub";
  EXPECT_EQ(pic.at(60, 2), 0x2B3A4Au) << "the rim";
  EXPECT_EQ(pic.at(60, 30), 0xF7F5EEu) << "the face";
  EXPECT_EQ(pic.at(47, 51), 0x2B3A4Au) << "the hour hand, towards ten";
  EXPECT_EQ(pic.at(79, 48), 0x2B3A4Au) << "the minute hand, towards two";
  EXPECT_EQ(pic.at(1, 1), 0xFFFFFFu) << "outside the face";
}

TEST_F(HtmlWindowTest, EachTabShowsItsPageAndHidesTheOthers) {
  StartGlobe();
  form->Show();
  std::vector<std::string> tabs;
  for (const auto& t : form->TabStrip1.Tabs()) tabs.push_back(t.Key + "=" + t.Caption);
  EXPECT_EQ(tabs, (Row{"Search=Search", "Properties=Properties", "html=HTML/JavaScript"}));
  EXPECT_EQ(form->TabStrip1.SelectedItem()->Key, "Properties");
  EXPECT_EQ(Pages(), "-P-") << "opens on the list, the search panel and the browser hidden";
  form->TabStrip1.Select(3);
  EXPECT_EQ(Pages(), "--H");
  EXPECT_TRUE(desktop.IsWindowVisible(form->WebBrowser1.hwnd()));
  form->TabStrip1.Select(1);
  EXPECT_EQ(Pages(), "S--");
  form->TabStrip1.Select(3);
  form->TabStrip1.Select(2);
  EXPECT_EQ(Pages(), "-P-") << "the browser does not stay over the list";
  EXPECT_FALSE(desktop.IsWindowVisible(form->WebBrowser1.hwnd()));
}

TEST_F(HtmlWindowTest, AShapefilesFeatureIsFoundByItsFidWhereverTheRecordsetStood) {
  ASSERT_TRUE(
      bench::ImportShapefileAttributes(*rdb, shapes, std::string(ALTIMAR_TESTDATA) + "/shp/world"));
  form->Show();
  rdb->FeatureRs->MoveLast();
  ASSERT_TRUE(form->ShowRecordProperties(2));
  EXPECT_EQ(form->Label2.Caption, "FID: 2");
  ASSERT_EQ(form->ListView1.ListItems().size(), 10u) << "one row per attribute column";
  EXPECT_EQ(Item(0), (Row{"1", "iso_a2", "EH"}));
  EXPECT_EQ(Item(1), (Row{"2", "name_long", "Western Sahara"}));
  EXPECT_EQ(Item(9)[0], "10");
  EXPECT_EQ(Item(9)[1], "gdpPercap");
  EXPECT_EQ(rdb->FeatureRs->Get("FID"), dao::Value{std::int64_t{2}}) << "it stands on the row";

  ASSERT_TRUE(form->ShowRecordProperties(1));
  EXPECT_EQ(Item(1), (Row{"2", "name_long", "Tanzania"}));
  for (std::int32_t missing : {177, -1}) {
    EXPECT_FALSE(form->ShowRecordProperties(missing)) << missing;
    EXPECT_TRUE(form->ListView1.ListItems().empty());
    EXPECT_EQ(form->Label2.Caption, "FID: 1") << "past the end the label stays";
  }
  rdb->CloseAttributeDb();
  EXPECT_FALSE(form->ShowRecordProperties(1)) << "no database open";
}

TEST_F(HtmlWindowTest, AKmlTableWithoutAnFidIndexIsWalkedAndReadByColumnName) {
  ASSERT_TRUE(
      rdb->ImportKml(std::string(ALTIMAR_TESTDATA) + "/kml/hello_world_4_gateway_arch.kml"));
  form->Show();
  ASSERT_TRUE(form->ShowRecordProperties(2));  // numbered from 1: "H", "e", ...
  EXPECT_EQ(Item(0), (Row{"1", "PName", "e"})) << "not the Note column before the attributes";
  EXPECT_EQ(Item(4), (Row{"5", "altitudeMode", "relativeToGround"}));
  EXPECT_FALSE(form->ShowRecordProperties(1000));
  EXPECT_EQ(form->Label2.Caption, "FID: 2");
}

TEST_F(HtmlWindowTest, TheFloatingBoxFollowsTheHighlightDialogAndTheLastTool) {
  floatBox = 1;
  toolKey = "select";
  form->Show();
  EXPECT_EQ(form->chkFloatingInfo.Value, 1);
  EXPECT_TRUE(form->chkFloatingInfo.Enabled());
  form->chkFloatingInfo.SetValue(0);
  EXPECT_EQ(floatBox, 0) << "a click sets the dialog's Float box";
  ASSERT_TRUE(form->Unload());

  toolKey = "pan";
  form->Show();
  EXPECT_EQ(form->chkFloatingInfo.Value, 0);
  EXPECT_FALSE(form->chkFloatingInfo.Enabled());
}

TEST(HtmlWindowInList, ItemsAreComparedWholeAndWithCase) {
  EXPECT_TRUE(FrmHtml::InList("leaf", "leaf,select"));
  EXPECT_TRUE(FrmHtml::InList("select", "leaf,select"));
  EXPECT_FALSE(FrmHtml::InList("lea", "leaf,select"));
  EXPECT_FALSE(FrmHtml::InList("elect", "leaf,select"));
  EXPECT_FALSE(FrmHtml::InList("f,s", "leaf,select"));
  EXPECT_FALSE(FrmHtml::InList("Select", "leaf,select"));
  EXPECT_FALSE(FrmHtml::InList("", "leaf,select"));
  EXPECT_TRUE(FrmHtml::InList("", "a,,b"));
}

TEST_F(HtmlWindowTest, AStatusTextEndingInTheShortcutWordsLosesSevenCharacters) {
  form->Show();
  EXPECT_EQ(Status("方式"), "") << "shorter than what it loses";
  EXPECT_EQ(Status("三四五方式"), "");
  EXPECT_EQ(Status("http://a/b一二三四五方式"), "http://a/b") << "seven characters";
  EXPECT_EQ(Status("地图ab三四五方式"), "地图") << "characters, not bytes";
  EXPECT_EQ(Status("\x80\x80方式"), "") << "stray bytes";
  EXPECT_EQ(Status("方式 x"), "方式 x") << "only at the end";
  EXPECT_EQ(Status("Done"), "Done");
  Status("www.example");
  EXPECT_FALSE(form->SameWindow);
  Status("www.example.com");
  EXPECT_TRUE(form->SameWindow);
}

TEST_F(HtmlWindowTest, ANewWindowGoesToTheLinkOnlyWhenTheLinkIsAnAddress) {
  WriteText("a.html", "<p>A</p>");
  WriteText("b.html", "<p>B</p>");
  WriteText("c.v2.html", "<p>C</p>");
  form->Show();
  forms::WebBrowser& web = form->WebBrowser1;
  web.Navigate(Path("a.html"));

  Status("see www.example.com");
  ASSERT_TRUE(form->SameWindow);
  web.OpenInNewWindow(Path("b.html"));
  EXPECT_EQ(web.LocationURL(), Path("b.html")) << "no address: the page opens in place";

  const std::string link = "file://" + Path("c.v2.html");
  Status(link);
  web.OpenInNewWindow(Path("a.html"));
  EXPECT_EQ(web.LocationURL(), link);
  EXPECT_EQ(web.DocumentLines(), Row{"C"});

  Status("http://www.example.com/x");
  web.OpenInNewWindow(Path("a.html"));
  EXPECT_EQ(web.LocationURL(), link) << "an address the control cannot show: no error page";
  EXPECT_EQ(web.DocumentLines(), Row{"C"});

  Status("file://" + Path("b.html"));
  if (!form->SameWindow) {  // a folder with dots in its name makes it two
    web.OpenInNewWindow(Path("a.html"));
    EXPECT_EQ(web.LocationURL(), Path("a.html")) << "one dot: the page asked for";
  }
}

TEST_F(HtmlWindowTest, TheBrowserButtonsMoveThroughTheHistory) {
  WriteText("a.html", "<p>A</p>");
  WriteText("b.html", "<p>B</p>");
  form->Show();
  forms::WebBrowser& web = form->WebBrowser1;
  web.Navigate(Path("a.html"));
  web.Navigate(Path("b.html"));
  form->BrowserCommand(0);
  EXPECT_EQ(web.LocationURL(), Path("a.html"));
  form->BrowserCommand(4);
  EXPECT_EQ(web.LocationURL(), Path("a.html")) << "no such button";
  form->BrowserCommand(1);
  EXPECT_EQ(web.LocationURL(), Path("b.html"));
  WriteText("b.html", "<p>B2</p>");
  form->BrowserCommand(3);
  EXPECT_EQ(web.DocumentLines(), Row{"B2"});
}

TEST(SmallHtmlWindow, HasThreePagesAndOpensOnTheProperties) {
  win::Desktop desktop{win::Clock::Kind::Virtual};
  data::FrmHTML_ form(desktop, desktop.StartProgram("altimar"));
  form.Load();
  EXPECT_EQ(form.Caption(), "Properties/Description");
  std::vector<std::string> pages;
  for (const auto& t : form.SSTab1.Tabs()) pages.push_back(t.Caption);
  EXPECT_EQ(pages, (Row{"Search", "Properties", "HTML/JavaScript"}));
  EXPECT_EQ(form.SSTab1.SelectedItem()->Caption, "Properties");
}

}  // namespace
}  // namespace altimar::testing
