#include "app/contour_options.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

using app::LevelSetting;

TEST(ContourOptions, LevelsAreCountIntervalOrList) {
  LevelSetting l;
  EXPECT_EQ(app::ParseLevels("count:7", l), "");
  EXPECT_EQ(l.mode, 0);
  EXPECT_EQ(l.count, 7);
  EXPECT_EQ(app::ParseLevels("interval:25", l), "");
  EXPECT_EQ(l.mode, 1);
  EXPECT_EQ(l.interval, 25);
  EXPECT_EQ(app::ParseLevels("list:  750, +800.5,1e3 ,-2,.5", l), "");
  EXPECT_EQ(l.mode, 2);
  EXPECT_EQ(l.list, "  750, +800.5,1e3 ,-2,.5") << "the list text is passed on as typed";
  for (const char* bad : {"count:1002", "count:-1", "count:x", "interval:0", "interval:1.5",
                          "steps:3", "list", ""})
    EXPECT_NE(app::ParseLevels(bad, l), "") << bad;
}

// The contour dialog reads "800m" as 800 and "abc" as 0; the command line
// names the piece instead and keeps the levels it had.
TEST(ContourOptions, LevelListPiecesThatAreNotFiniteNumbersAreNamed) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"list:abc", "piece 1 'abc' is not a finite number"},
      {"list:nan,inf", "piece 1 'nan' is not a finite number"},
      {"list:100,inf", "piece 2 'inf' is not a finite number"},
      {"list:1;2;3", "piece 1 '1;2;3' is not a finite number"},
      {"list:750,800m", "piece 2 '800m' is not a finite number"},
      {"list:1,,2", "piece 2 '' is not a finite number"},
      {"list:1,2,", "piece 3 '' is not a finite number"},
      {"list:1e400", "piece 1 '1e400' is not a finite number"},
      {"list:+-5", "piece 1 '+-5' is not a finite number"},
      {"list:0x10", "piece 1 '0x10' is not a finite number"},
      {"list:", "needs at least one level"},
  };
  for (const auto& c : cases) {
    LevelSetting l{2, 5, 10, "100,200"};
    EXPECT_NE(app::ParseLevels(c.text, l).find(c.message), std::string::npos)
        << c.text << ": " << app::ParseLevels(c.text, l);
    EXPECT_EQ(l.list, "100,200") << c.text;
    EXPECT_EQ(l.mode, 2) << c.text;
  }
}

TEST(ContourOptions, WindowsAreFourOrderedNumbers) {
  contour::GridWindow w;
  EXPECT_EQ(app::ParseWindow("11.2,47.15,11.6,47.45", w), "");
  EXPECT_EQ(w.west, 11.2);
  EXPECT_EQ(w.north, 47.45);
  EXPECT_EQ(app::ParseWindow("-1.5, -2, 3, +4", w), "");
  EXPECT_EQ(w.south, -2);
  for (const char* bad : {"1,2,3", "1,2,3,4,5", "3,2,1,4", "1,4,3,2", "a,b,c,d", "0,-95,1,0"})
    EXPECT_NE(app::ParseWindow(bad, w), "") << bad;
}

TEST(ContourOptions, ColoursAreWrittenRedGreenBlueAndStoredRedLow) {
  std::int32_t c = 0;
  EXPECT_EQ(app::ParseColor("#FF0000", c), "");
  EXPECT_EQ(c, 255);
  EXPECT_EQ(app::ParseColor("0080ff", c), "");
  EXPECT_EQ(c, 128 * 256 + 255 * 65536);
  for (const char* bad : {"#FF00", "#GG0000", "red", "#FF00001"})
    EXPECT_NE(app::ParseColor(bad, c), "") << bad;
}

}  // namespace
}  // namespace altimar::testing
