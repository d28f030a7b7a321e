// The script driver: a whole user road from a script, and the way it
// reports failing lines.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "app/script_fixture.h"
#include "platform/earth/globe.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

using ScriptTest = ScriptFixture;

TEST_F(ScriptTest, ARoadThroughTheToolbarAndTheMenu) {
  const std::string shot = (dir / "shot.png").string();
  const std::string kml = (dir / "contour.kml").string(), bmp = (dir / "Altimar.bmp").string();
  ASSERT_EQ(Run("# contours of the default view\n"
                "globe lat=47.3 lon=11.4 range=30000 size=1024x768\n"
                "start seed=7\n"
                "expect program.ConnectMode 2\n"
                "foreground globe\n"
                "key Ctrl+F9\n"
                "click frmQuarlin.Toolbar1:contour\n"
                "expect file " + kml + "\n"
                "expect frmQuarlin.Toolbar1:contour.Value 0\n"
                "click frmGEMenu.Frame1\n"
                "click menu:bexoCamera\n"
                "expect file " + bmp + "\n"
                "screenshot " + shot + "\n"
                "click frmGEMenu.Frame1\n"
                "click menu:bexoExit\n"
                "expect program.ended true\n"),
            0)
      << err.str();
  EXPECT_TRUE(fs::exists(shot));
  EXPECT_NE(out.str().find("ok program.ended = true"), std::string::npos);
}

TEST_F(ScriptTest, ContourOptionsFromTheToolbarThenApplyWithoutSampling) {
  const std::string kml = (dir / "contour.kml").string();
  ASSERT_EQ(Run("globe lat=47.3 lon=11.4 range=30000\n"
                "start\n"
                "foreground globe\n"
                "key Ctrl+F9\n"
                "click frmQuarlin.Toolbar1:tcontour\n"
                "click frmContour.Option1(1)\n"
                "set frmContour.VScroll3.Value 50\n"
                "click frmContour.chcLabelContours\n"
                "click frmContour.Command1\n"
                "click frmQuarlin.Toolbar1:contour\n"
                "expect text " + kml + " <Folder><name>P</name>\n"
                "print globe.queries\n"
                "click frmQuarlin.Toolbar1:tcontour\n"
                "expect frmContour.Command3.Enabled true\n"
                "click frmContour.Picture1@5,5\n"
                "set frmSetRGB.Slider1.Value 0\n"
                "set frmSetRGB.Slider2.Value 255\n"
                "click frmSetRGB.cmdOK\n"
                "click frmContour.Command3\n"
                "click frmContour.Command1\n"
                "expect text " + kml + " <color>FF00FF00</color>\n"
                "print globe.queries\n"),
            0)
      << err.str();
  // Both counts of terrain queries are the same: Apply did not sample again.
  const std::string o = out.str();
  const auto first = o.find("globe.queries = "), second = o.rfind("globe.queries = ");
  ASSERT_NE(first, second);
  EXPECT_EQ(o.substr(first, o.find('\n', first) - first), o.substr(second, o.find('\n', second) - second));
  // The levels are 50 m apart.
  std::ifstream in(kml);
  const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<int> levels;
  for (std::size_t at = 0; (at = doc.find("<Placemark><name>", at)) != std::string::npos; ++at)
    levels.insert(std::stoi(doc.substr(at + 17)));
  ASSERT_GE(levels.size(), 3u);
  for (int l : levels) EXPECT_EQ((l - *levels.begin()) % 50, 0) << l;
}

TEST_F(ScriptTest, TheGlobeOpensAKmlFileOnceItRuns) {
  const std::string good = Path("places.kml"), bad = Path("broken.kml");
  std::ofstream(good) << "<kml><Document><name>Here</name><Placemark><name>A</name></Placemark></Document></kml>";
  std::ofstream(bad) << "<kml><Document>\n<name>Here</name>\n<Placemark></Document></kml>\n";
  ASSERT_EQ(Run("globe kml=" + good + "\nexpect globe.opened 1\n"), 0) << err.str();
  auto places = script->globe()->GetTemporaryPlaces()->GetChildren();
  ASSERT_EQ(places->get_Count(), 1);
  EXPECT_EQ(places->Item(1)->get_Name(), "Here");

  // The reader's message, with its line and column, ends the script.
  EXPECT_EQ(Run("# a broken file\nglobe kml=" + bad + "\nexpect globe.opened 1\n"), 1);
  EXPECT_EQ(err.str(), "test:2: OpenKmlFile: " + bad + ": mismatched tag at line 3, column 14\n");
  EXPECT_TRUE(script->globe()->running());
  EXPECT_EQ(script->globe()->GetTemporaryPlaces()->GetChildren()->get_Count(), 0);

  // A folder or a device is refused before the reader is asked.
  EXPECT_EQ(Run("globe kml=" + dir.string() + "\n"), 1);
  EXPECT_EQ(err.str(), "test:1: " + dir.string() + " is a folder, not a file\n");
  EXPECT_EQ(Run("globe kml=/dev/zero\n"), 1);
  EXPECT_EQ(err.str(), "test:1: /dev/zero is not a regular file\n");
  EXPECT_TRUE(script->globe()->openRequests().empty());
}

TEST_F(ScriptTest, FailuresNameTheirLineAndStopTheScript) {
  EXPECT_EQ(Run("globe\nstart\nexpect frmQuarlin.Toolbar1.Visible true\nexpect program.ended true\n"), 1);
  EXPECT_EQ(err.str(), "test:3: expected frmQuarlin.Toolbar1.Visible = true, it is false\n");
  EXPECT_EQ(Run("globe\nstart\nclick frmGEMenu.Frame1\nclick menu:nothing\n"), 1);
  EXPECT_EQ(err.str(), "test:4: the open menu has no item 'nothing'\n");
  EXPECT_EQ(Run("globe\nstart\nclick frmGEMenu.Frame1\n"), 1) << "a menu left open cannot end";
  EXPECT_NE(err.str().find("#32768"), std::string::npos);
  EXPECT_EQ(Run("globe size=12\n"), 1);
  EXPECT_EQ(err.str(), "test:1: size is WIDTHxHEIGHT\n");
  EXPECT_EQ(Run("expect \"unclosed\n"), 1);
  EXPECT_EQ(err.str(), "test:1: a quote is not closed\n");
}

TEST_F(ScriptTest, MessageBoxesArePrinted) {
  EXPECT_EQ(Run("start\nexpect program.ended true\nexpect message \"not running\"\n"), 0) << err.str();
  EXPECT_NE(out.str().find("message [Altimar]: Google Earth is not running.\\n\\nYou should start it first."),
            std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace altimar::testing
