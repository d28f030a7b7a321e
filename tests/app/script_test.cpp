// The script driver: a whole user road from a script, and the way it
// reports failing lines.
#include "app/script.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class ScriptTest : public ::testing::Test {
 protected:
  ScriptTest() {
    dir = fs::temp_directory_path() / ("altimar_script_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  ~ScriptTest() override { fs::remove_all(dir); }
  int Run(const std::string& text) {
    out.str("");
    err.str("");
    app::Script script({dir.string()}, out, err);
    std::istringstream in(text);
    return script.Run(in, "test");
  }
  fs::path dir;
  std::ostringstream out, err;
};

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
