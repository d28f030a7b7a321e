#include "contour/contour_kml.h"

#include <gtest/gtest.h>

#include "contour/contour.h"
#include "contour/test_support.h"
#include "platform/runtime/kml_color.h"

namespace altimar::testing {
namespace {

TEST(KmlColor, AlphaFromOpacityThenBlueGreenRed) {
  EXPECT_EQ(contour::KmlColorText(255, 100), "FF0000FF");
  EXPECT_EQ(contour::KmlColorText(runtime::MakeColor(0, 128, 255), 50), "80FF8000");
  EXPECT_EQ(contour::KmlColorText(255, 0), "000000FF");
}

TEST(KmlColor, LevelColoursRunTowardTheHighColourOneStepShort) {
  const auto colors =
      contour::LevelColors(runtime::MakeColor(255, 0, 0), runtime::MakeColor(0, 0, 255), 4);
  ASSERT_EQ(colors.size(), 4u);
  EXPECT_EQ(colors[0], runtime::MakeColor(255, 0, 0));
  EXPECT_EQ(colors[1], runtime::MakeColor(191, 0, 64));
  EXPECT_EQ(colors[2], runtime::MakeColor(128, 0, 128));
  EXPECT_EQ(colors[3], runtime::MakeColor(64, 0, 191));
  EXPECT_TRUE(contour::LevelColors(255, 255, 0).empty());
}

TEST(KmlColor, WidthKeepsSevenSignificantDigits) {
  EXPECT_EQ(contour::WidthText(1.0f), "1");
  EXPECT_EQ(contour::WidthText(1.5f), "1.5");
  EXPECT_EQ(contour::WidthText(0.1f), "0.1");
  EXPECT_EQ(contour::WidthText(2.25f), "2.25");
}

constexpr const char* kStyleBody =
    "           <IconStyle>\r\n"
    "               <color>ffffff55</color>\r\n"
    "               <scale>0.4</scale>\r\n"
    "               <Icon></Icon>\r\n"
    "           </IconStyle>\r\n"
    "           <LabelStyle>\r\n"
    "               <color>ffeeee55</color>\r\n"
    "           </LabelStyle>\r\n"
    "           <LineStyle>\r\n";

std::string LineStyleEnd(const std::string& color, const std::string& width) {
  return "             <color>" + color + "</color>             <width>" + width +
         "</width>\r\n           </LineStyle>        \r\n       </Style>\r\n";
}

TEST(ContourKml, HeadHasTheBaseStyleThenOneStylePerLevel) {
  win::Desktop desktop(win::Clock::Kind::Virtual);
  ScriptedRandom random(EveryThird);
  contour::Contour c(desktop, random);
  c.SetStartupDefaults();
  c.NumLevels = 2;
  c.LineWidth = 2.5f;
  c.LineOpacity = 50;
  c.LowColor = runtime::MakeColor(255, 0, 0);
  c.HighColor = runtime::MakeColor(0, 0, 255);
  const std::string expected =
      std::string("<?xml version='1.0' encoding='UTF-8'?>"
                  "<kml xmlns='http://www.opengis.net/kml/2.2'> <Document>"
                  "     <name>Bexo-Altimar</name>       <Style id='Contours'>\r\n") +
      kStyleBody + LineStyleEnd("800000FF", "2.5") + "       <Style id='Contour0'>\r\n" +
      kStyleBody + LineStyleEnd("800000FF", "2.5") + "       <Style id='Contour1'>\r\n" +
      kStyleBody + LineStyleEnd("80800080", "2.5");
  EXPECT_EQ(contour::ContourKmlHead(c), expected);

  c.NumLevels = 0;
  const std::string head = contour::ContourKmlHead(c);
  EXPECT_EQ(head.find("Contour0"), std::string::npos) << "no levels, only the base style";
  EXPECT_EQ(contour::ContourKmlTail(), " </Document></kml>");
}

}  // namespace
}  // namespace altimar::testing
