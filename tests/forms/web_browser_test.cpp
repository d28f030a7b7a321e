#include "platform/forms/web_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include "test_folder.h"

namespace altimar::testing {
namespace {

using namespace altimar::forms;
using namespace altimar::win;
namespace fs = std::filesystem;

class BrowserTest : public ::testing::Test {
 protected:
  BrowserTest() {
    // One folder a test: CTest runs the tests of this fixture side by side.
    dir = FreshTestFolder("altimar_browser");
    std::ofstream(dir / "a.html") << "<html><head><title>Fiji &amp; more</title><style>p{}</style></head>"
                                      "<body><h1>NAME</h1><p>Fiji</p><table><tr><td>POP</td><td>920938"
                                      "</td></tr></table>x &lt; y<br>z</body></html>";
    std::ofstream(dir / "b.txt") << "plain\ntext";
    Surface pic(4, 3, 0xFF0000);
    WriteBmp((dir / "c.bmp").string(), pic);
    WritePng((dir / "d.png").string(), Surface(4, 3, 0x00FF00));
    std::ofstream(dir / "e.png") << "not a picture";
    std::ofstream(dir / "clock.svg")
        << "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='80' viewBox='0 0 50 40'>"
           "<g transform='translate(25,20)' style='stroke:none'>"
           "<circle r='10' fill='#00f'/><rect x='-20' y='12' width='10' height='5' fill='rgb(255,0,0)'/>"
           "<path d='M 12 -15 h 6 v 6 h -6 z' fill='lime' stroke='black' stroke-width='0.5'/>"
           "</g></svg>";
    std::ofstream(dir / "broken.svg") << "<svg><rect";
    web.Move(0, 0, 4500, 3000);
    form.Show();
  }
  ~BrowserTest() override { fs::remove_all(dir); }
  Desktop d{Clock::Kind::Virtual};
  Form form{d, d.StartProgram("altimar"), "frmHtml"};
  WebBrowser web{form, "WebBrowser1"};
  fs::path dir;
};

TEST_F(BrowserTest, HtmlShowsAsTextWithItsTitleAndTheEventsComeInOrder) {
  std::vector<std::string> events;
  web.ProgressChange = [&](long p, long) { events.push_back("progress " + std::to_string(p)); };
  web.StatusTextChange = [&](const std::string& t) { events.push_back("status " + t); };
  web.NavigateComplete2 = [&](const std::string&) { events.push_back("complete"); };
  web.Navigate("file://" + (dir / "a.html").string());
  EXPECT_EQ(web.LocationName(), "Fiji & more");
  EXPECT_EQ(web.DocumentLines(), (std::vector<std::string>{"NAME", "Fiji", "POP 920938", "x < y", "z"}));
  EXPECT_EQ(events, (std::vector<std::string>{"progress 0", "progress 100", "status Done", "complete"}));
}

TEST_F(BrowserTest, AMissingPageRaisesNavigateErrorWhichMayCancel) {
  web.Navigate((dir / "b.txt").string());
  bool cancel = true;
  std::string failed;
  web.NavigateError = [&](const std::string& url, bool& c) {
    failed = url;
    c = cancel;
  };
  web.Navigate((dir / "missing.html").string());
  EXPECT_EQ(failed, (dir / "missing.html").string());
  EXPECT_EQ(web.DocumentLines(), (std::vector<std::string>{"plain", "text"})) << "cancelled: the page stays";
  cancel = false;
  web.Navigate((dir / "missing.html").string());
  EXPECT_EQ(web.DocumentLines().front(), "The page cannot be displayed.");
}

TEST_F(BrowserTest, HistoryGoesBackAndForwardAndNewWindowsCanBeRefused) {
  web.Navigate((dir / "a.html").string());
  web.Navigate((dir / "c.bmp").string());
  EXPECT_TRUE(web.DocumentLines().empty()) << "a bitmap shows as its picture";
  web.GoBack();
  EXPECT_EQ(web.LocationURL(), (dir / "a.html").string());
  web.GoForward();
  EXPECT_EQ(web.LocationURL(), (dir / "c.bmp").string());
  web.NewWindow2 = [](bool& cancel) { cancel = true; };
  web.OpenInNewWindow((dir / "b.txt").string());
  EXPECT_EQ(web.LocationURL(), (dir / "c.bmp").string());
  RECT r;
  d.GetWindowRect(web.hwnd(), &r);
  EXPECT_EQ(d.ComposeScreen().at(r.left + 5, r.top + 5), 0xFF0000u) << "the picture is drawn";
}

TEST_F(BrowserTest, APngShowsAsItsPictureAndABrokenOneSaysSo) {
  RECT r;
  d.GetWindowRect(web.hwnd(), &r);
  web.Navigate((dir / "d.png").string());
  EXPECT_TRUE(web.DocumentLines().empty());
  EXPECT_EQ(d.ComposeScreen().at(r.left + 5, r.top + 5), 0x00FF00u);
  web.Navigate((dir / "e.png").string());
  ASSERT_FALSE(web.DocumentLines().empty());
  EXPECT_EQ(web.DocumentLines().front(), "The picture cannot be read: e.png");
}

TEST_F(BrowserTest, AnSvgIsDrawnAtItsSizeThroughItsViewBox) {
  RECT r;
  d.GetWindowRect(web.hwnd(), &r);
  web.Navigate((dir / "clock.svg").string());
  ASSERT_TRUE(web.DocumentLines().empty());
  const Surface& screen = d.ComposeScreen();
  auto at = [&](int x, int y) { return screen.at(r.left + 4 + x, r.top + 4 + y); };  // inside a 4-pixel margin
  EXPECT_EQ(at(50, 40), 0x0000FFu) << "the circle, at the centre of a picture twice the viewBox";
  EXPECT_EQ(at(15, 72), 0xFF0000u) << "the rectangle, moved with its group";
  EXPECT_EQ(at(80, 16), 0x00FF00u) << "the path's square, filled";
  EXPECT_EQ(at(74, 12), 0x000000u) << "and outlined";
  EXPECT_EQ(at(5, 5), 0xFFFFFFu) << "the picture's background";
  web.Navigate((dir / "broken.svg").string());
  ASSERT_FALSE(web.DocumentLines().empty());
  EXPECT_EQ(web.DocumentLines().front(), "The picture cannot be read: broken.svg");
}

// Found by the fuzzer: a page ending inside a closing script tag looped forever.
TEST(HtmlText, PagesThatEndInsideATagStillEnd) {
  EXPECT_EQ(WebBrowser::HtmlToLines("<p>a</p><script>x</script"), std::vector<std::string>{"a"});
  EXPECT_EQ(WebBrowser::HtmlToLines("b<title>t"), std::vector<std::string>{"b"});
  EXPECT_EQ(WebBrowser::HtmlToLines("c<p"), std::vector<std::string>{"c"});
}

}  // namespace
}  // namespace altimar::testing
