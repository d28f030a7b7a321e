#include "contour/contour_kml.h"

#include <algorithm>

#include "contour/contour.h"
#include "platform/runtime/kml_color.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/numeric.h"

namespace altimar::contour {
namespace {

constexpr const char* kCrLf = "\r\n";

// Lines 2 to 10 of every style block: the label icon and label colour.
constexpr const char* kIconAndLabel =
    "           <IconStyle>\r\n"
    "               <color>ffffff55</color>\r\n"
    "               <scale>0.4</scale>\r\n"
    "               <Icon></Icon>\r\n"
    "           </IconStyle>\r\n"
    "           <LabelStyle>\r\n"
    "               <color>ffeeee55</color>\r\n"
    "           </LabelStyle>\r\n"
    "           <LineStyle>\r\n";

void AppendLineStyleEnd(std::string& s, const std::string& color, const std::string& width) {
  s += "             <color>" + color + "</color>" + "             <width>" + width + "</width>" +
       kCrLf;
  s += "           </LineStyle>        \r\n";
  s += "       </Style>\r\n";
}

}  // namespace

std::string KmlColorText(std::int32_t color, int opacityPercent) {
  const double alpha = runtime::RoundHalfEven(opacityPercent / 100.0 * 255.0);
  return runtime::HexByte(static_cast<int>(std::clamp(alpha, 0.0, 255.0))) +
         runtime::ColorToKmlHex(color);
}

std::string WidthText(float width) { return runtime::General7(width); }

std::vector<std::int32_t> LevelColors(std::int32_t low, std::int32_t high, int numLevels) {
  const int n = std::clamp(numLevels, 0, kArraySize);
  std::vector<std::int32_t> colors(static_cast<std::size_t>(n));
  const runtime::Rgb a = runtime::SplitColor(low), b = runtime::SplitColor(high);
  auto step = [&](int c1, int c2, int k) {
    return static_cast<int>(runtime::RoundHalfEven(
        c1 + ((static_cast<double>(c2) - c1) / numLevels) * k));
  };
  for (int k = 0; k < n; ++k)
    colors[static_cast<std::size_t>(k)] = runtime::MakeColor(
        step(a.red, b.red, k), step(a.green, b.green, k), step(a.blue, b.blue, k));
  return colors;
}

std::string ContourKmlHead(const Contour& c) {
  const std::string width = WidthText(c.LineWidth);
  std::string s;
  s += "<?xml version='1.0' encoding='UTF-8'?>";
  s += "<kml xmlns='http://www.opengis.net/kml/2.2'>";
  s += " <Document>";
  s += "     <name>Bexo-Altimar</name>";
  s += "       <Style id='Contours'>\r\n";
  s += kIconAndLabel;
  AppendLineStyleEnd(s, KmlColorText(c.LowColor, c.LineOpacity), width);
  const auto colors = LevelColors(c.LowColor, c.HighColor, c.NumLevels);
  for (std::size_t k = 0; k < colors.size(); ++k) {
    s += "       <Style id='Contour" + std::to_string(k) + "'>\r\n";
    s += kIconAndLabel;
    AppendLineStyleEnd(s, KmlColorText(colors[k], c.LineOpacity), width);
  }
  return s;
}

std::string ContourKmlTail() { return " </Document></kml>"; }

}  // namespace altimar::contour
