#include "platform/runtime/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

namespace altimar::testing {
namespace {

using runtime::General15;

std::string Reference(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}

TEST(NumberText, WritesFifteenSignificantDigitsWithAPoint) {
  EXPECT_EQ(General15(7.5), "7.5");
  EXPECT_EQ(General15(46), "46");
  EXPECT_EQ(General15(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(General15(-11.25), "-11.25");
  EXPECT_EQ(General15(0.1 + 0.2), "0.3");
  EXPECT_EQ(General15(0), "0");
  EXPECT_EQ(General15(123456789012345.0), "123456789012345");
  EXPECT_EQ(General15(999999999999999.5), "1e+15");
  EXPECT_EQ(General15(0.0001), "0.0001");
  EXPECT_EQ(General15(0.00001), "1e-05");
  EXPECT_EQ(General15(9.9999999999999995e-5), "0.0001") << "rounds up into the plain range";
}

// The fast path must agree with the library text for every double: random
// bit patterns, coordinates, and values right at rounding boundaries.
TEST(NumberText, AgreesWithTheLibraryEverywhere) {
  std::mt19937_64 gen(2024);
  std::uniform_real_distribution<double> coord(-180, 180);
  char buf[runtime::kMaxNumberText];
  int checked = 0;
  auto check = [&](double v) {
    if (!std::isfinite(v)) return;
    const std::size_t n = runtime::FormatGeneral15(v, buf);
    ASSERT_EQ(std::string(buf, n), Reference(v)) << "for " << v;
    ++checked;
  };
  for (int k = 0; k < 300000; ++k) {
    check(coord(gen));
    std::uint64_t bits = gen();
    double raw;
    std::memcpy(&raw, &bits, sizeof raw);
    check(raw);
    check(std::ldexp(coord(gen), static_cast<int>(gen() % 110) - 60));
    // Decimal values with few digits, and their neighbours.
    const double d = static_cast<double>(static_cast<std::int64_t>(gen() % 2000001) - 1000000) /
                     std::pow(10.0, static_cast<double>(gen() % 12));
    check(d);
    check(std::nextafter(d, 1e300));
    check(std::nextafter(d, -1e300));
  }
  for (int e = -5; e <= 16; ++e) {
    const double p = std::pow(10.0, e);
    check(p);
    check(std::nextafter(p, 0.0));
    check(std::nextafter(p, 1e300));
    check(p * 0.99999999999999995);
  }
  EXPECT_GT(checked, 1500000);
}

TEST(NumberText, SinglePrecisionKeepsSevenDigits) {
  EXPECT_EQ(runtime::General7(1.0f), "1");
  EXPECT_EQ(runtime::General7(0.1f), "0.1");
  EXPECT_EQ(runtime::General7(1.2345678f), "1.234568");
}

}  // namespace
}  // namespace altimar::testing
