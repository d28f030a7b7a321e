#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contour/contour.h"
#include "contour/level_list.h"
#include "contour/test_support.h"

namespace altimar::testing {
namespace {

using contour::Contour;

class LevelsTest : public ::testing::Test {
 protected:
  LevelsTest() {
    desktop.SetQuietMessageBoxes(true);
    c.SetStartupDefaults();
    c.SetDialogDefaults();
  }
  // A grid holding exactly these heights (and nothing else).
  void Heights(const std::vector<double>& h) {
    c.GridCols = static_cast<contour::Long>(h.size());
    c.GridRows = 1;
    for (std::size_t i = 0; i < h.size(); ++i) c.Heights(static_cast<int>(i), 0) = h[i];
  }
  std::vector<double> Levels() const {
    return std::vector<double>(c.Levels.begin(), c.Levels.begin() + c.NumLevels);
  }
  win::Desktop desktop{win::Clock::Kind::Virtual};
  ScriptedRandom random{EveryThird};
  Contour c{desktop, random};
};

TEST_F(LevelsTest, ByCountSpreadsLevelsUpToTheHighestHeight) {
  Heights({212, 500, 987});
  c.NumLevels = 5;
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(Levels(), (std::vector<double>{367, 522, 677, 832, 987}));

  c.NumLevels = 1;
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(Levels(), (std::vector<double>{987}));

  Heights({0, 0, 0});
  c.NumLevels = 3;
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(Levels(), (std::vector<double>{0, 0, 0})) << "a flat sea-level grid";
}

TEST_F(LevelsTest, RangeScanRoundsHalvesToEvenAndKeepsItsStartValues) {
  Heights({100.5, 101.5});
  c.NumLevels = 1;
  c.LevelsByCount();
  EXPECT_EQ(c.Levels[0], 102);  // hi
  c.NumLevels = 2;
  c.LevelsByCount();
  EXPECT_EQ(c.Levels[0], 101);  // lo 100 + floor(2 / 2)

  Heights({-50, -10, -30});  // all below sea level: hi stays 0
  c.LevelMode = contour::kLevelsByInterval;
  c.LevelInterval = 10;
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(Levels(), (std::vector<double>{-50, -40, -30, -20, -10}));
}

TEST_F(LevelsTest, ByIntervalLeavesOutTheHighestLevelWithinRange) {
  c.LevelInterval = 100;
  Heights({100, 1050});
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(c.NumLevels, 9);
  EXPECT_EQ(c.Levels[8], 900);
  Heights({100, 1000});
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(c.NumLevels, 9);

  c.LevelInterval = 10;
  Heights({0, 30});
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(Levels(), (std::vector<double>{0, 10, 20}));

  c.LevelInterval = 500;
  Heights({100, 300});
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(c.NumLevels, 0) << "an interval larger than the range draws nothing";
}

TEST_F(LevelsTest, FromListReadsEachPieceLikeTheLevelListReader) {
  c.LevelList = "500,,600";
  ASSERT_TRUE(c.LevelsFromList());
  EXPECT_EQ(Levels(), (std::vector<double>{500, 0, 600}));
  c.LevelList = "  750,800m, 1e3,-2.5e1x,+.5,abc,";
  ASSERT_TRUE(c.LevelsFromList());
  EXPECT_EQ(Levels(), (std::vector<double>{750, 800, 1000, -25, 0.5, 0, 0}));
  c.LevelList = "900,100,500";
  ASSERT_TRUE(c.LevelsFromList());
  EXPECT_EQ(Levels(), (std::vector<double>{900, 100, 500})) << "kept in the given order";
  c.LevelList = "";
  ASSERT_TRUE(c.LevelsFromList());
  EXPECT_EQ(c.NumLevels, 0);
}

TEST_F(LevelsTest, LeadingNumberTakesTheLongestNumberAtTheStart) {
  EXPECT_EQ(contour::LeadingNumber("12.5.3"), 12.5);
  EXPECT_EQ(contour::LeadingNumber("1e"), 1);
  EXPECT_EQ(contour::LeadingNumber("1e+"), 1);
  EXPECT_EQ(contour::LeadingNumber("2E2m"), 200);
  EXPECT_EQ(contour::LeadingNumber("-"), 0);
  EXPECT_EQ(contour::LeadingNumber(". 5"), 0);
  EXPECT_EQ(contour::LeadingNumber("1e-400"), 0) << "too small is 0";
  EXPECT_TRUE(std::isinf(contour::LeadingNumber("1e400")));
}

TEST_F(LevelsTest, OversizedLevelSetsAreRefusedWithAMessageAndChangeNothing) {
  c.LevelMode = contour::kLevelsByInterval;
  c.LevelInterval = 1;
  Heights({0, 2000});
  c.NumLevels = 7;
  c.Levels[0] = 123;
  EXPECT_FALSE(c.BuildLevels());
  EXPECT_EQ(c.NumLevels, 7);
  EXPECT_EQ(c.Levels[0], 123);
  ASSERT_EQ(desktop.MessageBoxLog().size(), 1u);
  EXPECT_EQ(desktop.MessageBoxLog()[0].caption, "Altimar");
  EXPECT_EQ(desktop.MessageBoxLog()[0].flags, win::MB_OK | win::MB_SYSTEMMODAL);

  Heights({0, 999});  // the walk reaches index 1000 exactly
  ASSERT_TRUE(c.BuildLevels());
  EXPECT_EQ(c.NumLevels, 999);
  Heights({0, 1000});  // one more would need index 1001
  EXPECT_FALSE(c.BuildLevels());

  std::string list = "0";
  for (int k = 1; k < 1001; ++k) list += "," + std::to_string(k);
  c.LevelMode = contour::kLevelsFromList;
  c.LevelList = list;
  ASSERT_TRUE(c.BuildLevels());
  EXPECT_EQ(c.NumLevels, 1001);
  c.LevelList = list + ",1001";
  EXPECT_FALSE(c.BuildLevels());
  EXPECT_EQ(c.NumLevels, 1001);
  c.LevelList = "10,1e999";
  EXPECT_FALSE(c.BuildLevels()) << "a level beyond any height is refused, not stored";

  c.LevelMode = contour::kLevelsByCount;
  c.NumLevels = 1002;
  EXPECT_FALSE(c.BuildLevels());
  EXPECT_EQ(desktop.MessageBoxLog().size(), 5u);
}

TEST_F(LevelsTest, NoDataAndHostileHeightsStayOutOfTheRangeScan) {
  Heights({1e38, 120, 1e38, 180});
  c.NumLevels = 1;
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(c.Levels[0], 180) << "no-data does not become the highest height";

  Heights({-1e9, 5e9, 100});
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(c.Levels[0], 32767) << "heights beyond 16 bits saturate";
  c.NumLevels = 2;
  ASSERT_TRUE(c.LevelsByCount());
  EXPECT_EQ(c.Levels[0], -32768 + 32767) << "range 65535 does not overflow";

  Heights({1e38, 1e38});
  c.LevelMode = contour::kLevelsByInterval;
  c.LevelInterval = 10;
  ASSERT_TRUE(c.LevelsByInterval());
  EXPECT_EQ(c.NumLevels, 0) << "a grid without heights has no levels";
}

TEST_F(LevelsTest, AnUnknownModeLeavesTheLevelsAlone) {
  c.LevelMode = 7;
  c.NumLevels = 3;
  c.Levels[2] = 42;
  EXPECT_TRUE(c.BuildLevels());
  EXPECT_EQ(c.NumLevels, 3);
  EXPECT_EQ(c.Levels[2], 42);
}

TEST_F(LevelsTest, DefaultsAtStartAndWhenTheDialogLoads) {
  Contour fresh(desktop, random);
  fresh.SetStartupDefaults();
  EXPECT_EQ(fresh.LevelMode, contour::kLevelsByInterval);
  EXPECT_EQ(fresh.LevelInterval, 0);
  EXPECT_FALSE(fresh.ShowProgress);
  EXPECT_EQ(fresh.LowColor, 255);
  fresh.SetDialogDefaults();
  EXPECT_EQ(fresh.LevelMode, contour::kLevelsByCount);
  EXPECT_EQ(fresh.NumLevels, 5);
  EXPECT_EQ(fresh.LevelInterval, 10);
  EXPECT_TRUE(fresh.ShowProgress);
  EXPECT_EQ(fresh.LevelList,
            "500,550,600,650,700,750,800,850,900,950,1000,1100,1200,1300,1400,1500");
}

}  // namespace
}  // namespace altimar::testing
