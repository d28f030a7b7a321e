#include "platform/runtime/kml_color.h"

#include <gtest/gtest.h>

namespace altimar::testing {
namespace {

using namespace altimar::runtime;

TEST(KmlColor, BytesAreTwoUpperCaseDigitsOfTheLowByte) {
  EXPECT_EQ(HexByte(0), "00");
  EXPECT_EQ(HexByte(10), "0A");
  EXPECT_EQ(HexByte(255), "FF");
  EXPECT_EQ(HexByte(0x1AB), "AB");
  EXPECT_EQ(HexByte(-1), "FF");
}

TEST(KmlColor, KmlCodeIsBlueGreenRedAndRgbCodeRedGreenBlue) {
  EXPECT_EQ(ColorToKmlHex(255), "0000FF");
  EXPECT_EQ(ColorToKmlHex(MakeColor(0x12, 0x34, 0x56)), "563412");
  EXPECT_EQ(RgbHex(0x12, 0x34, 0x56), "123456");
}

TEST(KmlColor, SplitUndoesMake) {
  for (const Rgb c : {Rgb{0, 0, 0}, Rgb{255, 255, 255}, Rgb{1, 2, 3}, Rgb{255, 0, 128}}) {
    const Rgb back = SplitColor(MakeColor(c.red, c.green, c.blue));
    EXPECT_EQ(back.red, c.red);
    EXPECT_EQ(back.green, c.green);
    EXPECT_EQ(back.blue, c.blue);
  }
  EXPECT_EQ(MakeColor(0x12, 0x34, 0x56), 0x563412);
}

}  // namespace
}  // namespace altimar::testing
