#include "platform/runtime/random.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

TEST(Random, NumbersLieInZeroToOneAndTwoPercentAreBelowTheLabelThreshold) {
  runtime::Pcg32 r(99);
  int below = 0;
  const int n = 200000;
  for (int k = 0; k < n; ++k) {
    const float v = r.NextSingle();
    ASSERT_GE(v, 0.0f);
    ASSERT_LT(v, 1.0f);
    below += v < 0.02f;
  }
  EXPECT_NEAR(below / static_cast<double>(n), 0.02, 0.002);
}

TEST(Random, DiscardSkipsExactlyAsManyNumbers) {
  runtime::Pcg32 a(5), b(5);
  for (int k = 0; k < 12345; ++k) a.NextSingle();
  b.Discard(12345);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(a.NextU32(), b.NextU32());
}

TEST(Random, SeedsGiveDifferentSequences) {
  runtime::Pcg32 a(1), b(2);
  int same = 0;
  for (int k = 0; k < 100; ++k) same += a.NextU32() == b.NextU32();
  EXPECT_LT(same, 3);
}

}  // namespace
}  // namespace altimar::testing
