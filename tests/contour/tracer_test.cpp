#include "contour/tracer.h"

#include <gtest/gtest.h>

#include <random>

#include "contour/test_support.h"
#include "reference_conrec.h"

namespace altimar::testing {
namespace {

using contour::HeightGridView;
using contour::TraceContours;
using contour::TraceEnv;

// A grid held the way the contour module holds it: d[j * stride + i].
struct Grid {
  int cols, rows;
  std::vector<double> x, y, d;
  Grid(int c, int r) : cols(c), rows(r), x(c), y(r), d(static_cast<std::size_t>(c * r)) {}
  double& at(int i, int j) { return d[static_cast<std::size_t>(j * cols + i)]; }
  HeightGridView view() const { return {d.data(), static_cast<std::size_t>(cols)}; }
  ReferenceGrid Reference(const std::vector<double>& z) const {
    ReferenceGrid g{x, y, {}, z};
    g.d.assign(static_cast<std::size_t>(cols), std::vector<double>(static_cast<std::size_t>(rows)));
    for (int i = 0; i < cols; ++i)
      for (int j = 0; j < rows; ++j)
        g.d[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] =
            d[static_cast<std::size_t>(j * cols + i)];
    return g;
  }
};

class TracerTest : public ::testing::Test {
 protected:
  contour::TraceResult Trace(const Grid& g, const std::vector<double>& z, int threads = 1,
                             bool retrace = true) {
    TraceEnv env{bar, desktop, random, retrace, threads};
    return TraceContours(g.x.data(), g.y.data(), g.view(), static_cast<int>(z.size()), z.data(),
                         0, g.cols - 1, 0, g.rows - 1, env);
  }
  win::Desktop desktop{win::Clock::Kind::Virtual};
  ScriptedRandom random{EveryThird};
  RecordingBar bar;
};

Grid OneCell(double sw, double se, double ne, double nw) {
  Grid g(2, 2);
  g.x = {0, 1};
  g.y = {0, 1};
  g.at(0, 0) = sw;
  g.at(1, 0) = se;
  g.at(1, 1) = ne;
  g.at(0, 1) = nw;
  return g;
}

TEST_F(TracerTest, OneCellGivesTheTwoCentreSegmentsOfTheWorkedExample) {
  random = ScriptedRandom([](std::uint64_t) { return 0.5f; });
  auto r = Trace(OneCell(0, 0, 10, 10), {5});
  EXPECT_EQ(r.placemarks,
            "<Placemark><styleUrl>#Contour0</styleUrl><MultiGeometry>"
            "<LineString><coordinates>0.5,0.5 1,0.5,5</coordinates></LineString>"
            "<LineString><coordinates>0.5,0.5 0,0.5,5</coordinates></LineString>"
            "</MultiGeometry></Placemark>\r\n");
  EXPECT_EQ(r.labels, "");
  EXPECT_EQ(r.stats.segments, 2u);
}

TEST_F(TracerTest, LabelsSitOnTheSecondPointWithTheFlooredLevelAsName) {
  random = ScriptedRandom([](std::uint64_t n) { return n == 1 ? 0.0199f : 0.02f; });
  auto r = Trace(OneCell(0.5, 0.5, 10.5, 10.5), {5.5});
  EXPECT_EQ(r.labels,
            "<Placemark><name>5</name><styleUrl>#Contours</styleUrl>"
            "<Point><coordinates>0,0.5</coordinates></Point></Placemark>");
  EXPECT_EQ(random.drawn(), 2u) << "one draw per segment";
}

TEST_F(TracerTest, LevelAtTheHighestCornerGivesNothingAndAtTheLowestGivesSegments) {
  EXPECT_EQ(Trace(OneCell(0, 0, 10, 10), {10}).placemarks, "");
  auto low = Trace(OneCell(0, 0, 10, 10), {0});
  EXPECT_NE(low.placemarks.find("<coordinates>1,0 0,0,0</coordinates>"), std::string::npos)
      << low.placemarks;
  EXPECT_EQ(Trace(OneCell(7, 7, 7, 7), {7}).placemarks, "") << "a flat cell gives nothing";
}

TEST_F(TracerTest, NoCellInRangeOrNoCellsAtAllGiveEmptyTexts) {
  EXPECT_EQ(Trace(OneCell(0, 0, 10, 10), {20, 30}).placemarks, "");
  Grid row(5, 1);
  row.x = {0, 1, 2, 3, 4};
  row.y = {0};
  row.d = {1, 5, 9, 5, 1};
  auto r = Trace(row, {3});
  EXPECT_EQ(r.placemarks, "");
  EXPECT_EQ(r.labels, "");
  EXPECT_EQ(Trace(OneCell(0, 0, 10, 10), {}).placemarks, "");
}

TEST_F(TracerTest, NoDataCellsAreSkipped) {
  Grid g(3, 2);
  g.x = {0, 1, 2};
  g.y = {0, 1};
  g.d = {0, 0, 1e38, 10, 10, 10};
  auto r = Trace(g, {5});
  EXPECT_EQ(r.stats.segments, 2u) << "only the western cell is traced";
  EXPECT_EQ(r.placemarks.find("1.5"), std::string::npos);
}

// Grids and level sets of every kind, traced by the real tracer and by the
// plain reference: texts, labels and the progress values must agree. The
// large grids are planned in several bands and traced on worker threads.
TEST_F(TracerTest, AgreesWithThePlainReferenceTracer) {
  std::mt19937 gen(7);
  struct Case {
    int cols, rows;
    bool integerHeights;
    bool unsortedLevels;
    int threads;
  };
  const Case cases[] = {{2, 2, true, false, 1},   {7, 3, true, false, 1},
                        {25, 31, true, true, 1},  {40, 40, false, false, 2},
                        {33, 17, false, true, 2}, {220, 200, false, false, 2},
                        {230, 210, true, true, 3}};
  for (const Case& c : cases) {
    Grid g(c.cols, c.rows);
    for (int i = 0; i < c.cols; ++i) g.x[static_cast<std::size_t>(i)] = 10.0 + 0.013 * i;
    for (int j = 0; j < c.rows; ++j) g.y[static_cast<std::size_t>(j)] = 46.5 + 0.0091 * j;
    std::uniform_real_distribution<double> h(0, 100);
    for (int j = 0; j < c.rows; ++j)
      for (int i = 0; i < c.cols; ++i) {
        double v = 40 * std::sin(i * 0.21) + 35 * std::cos(j * 0.17) + 0.3 * h(gen);
        if (c.integerHeights) v = std::round(v / 5) * 5;  // many corners equal to levels
        if (h(gen) < 2) v = 1e38;                         // no-data holes
        g.at(i, j) = v;
      }
    std::vector<double> z;
    for (double v = -70; v <= 80; v += 5) z.push_back(v);
    if (c.unsortedLevels) {
      std::shuffle(z.begin() + 1, z.end() - 1, gen);
      z.insert(z.begin() + 3, z[5]);  // a duplicate
    }
    SCOPED_TRACE(::testing::Message() << c.cols << "x" << c.rows << " threads " << c.threads);

    random = ScriptedRandom(EveryThird);
    bar = RecordingBar();
    auto r = Trace(g, z, c.threads);
    ScriptedRandom refRandom(EveryThird);
    auto ref = ReferenceTrace(g.Reference(z), [&] { return refRandom.NextSingle(); }, 0, 1.0);
    EXPECT_EQ(r.placemarks, ref.placemarks);
    EXPECT_EQ(r.labels, ref.labels);
    EXPECT_EQ(random.drawn(), refRandom.drawn());
    EXPECT_EQ(r.stats.segments, random.drawn());
    std::vector<double> expected(ref.progress.begin(), ref.progress.end());
    EXPECT_EQ(bar.values, expected);
  }
}

TEST_F(TracerTest, ReTraceOwnsTheWholeBarAndHidesItAfter) {
  bar.SetValue(37);
  bar.values.clear();
  Grid g = OneCell(0, 0, 10, 10);
  Trace(g, {5}, 1, true);
  EXPECT_EQ(bar.visibility, (std::vector<bool>{true, false}));
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.values, (std::vector<double>{50}));
}

TEST_F(TracerTest, ProgressAfterSamplingContinuesFromTheBarAndStaysWithinIt) {
  // Fly-over sampling leaves the bar at up to 96; half of the bar is added.
  bar.SetMin(1);
  bar.SetMax(100);
  bar.SetValue(96);
  bar.values.clear();
  Grid g(2, 5);
  g.x = {0, 1};
  g.y = {0, 1, 2, 3, 4};
  for (int j = 0; j < 5; ++j) g.at(0, j) = g.at(1, j) = j * 10.0;
  Trace(g, {15}, 1, false);
  ASSERT_EQ(bar.values.size(), 4u);
  for (double v : bar.values) EXPECT_LE(v, 100);
  EXPECT_EQ(bar.values.front(), 100) << "96 + 10 is held at the bar's maximum";
  EXPECT_TRUE(bar.visibility.empty()) << "a run after sampling leaves the bar's visibility alone";
}

}  // namespace
}  // namespace altimar::testing
