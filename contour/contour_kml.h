// The text of the contour document around the traced placemarks: the head
// with one line style per level, and the tail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace altimar::contour {

class Contour;

// Eight hexadecimal digits aabbggrr: alpha from the opacity in percent, then
// blue, green, red of the colour.
std::string KmlColorText(std::int32_t color, int opacityPercent);
// The line width with up to 7 significant digits ("1", "1.5", "0.1").
std::string WidthText(float width);
// Colour of each level, running from low toward high in numLevels steps
// (level 0 has low; the last stops one step short of high). At most 1001.
std::vector<std::int32_t> LevelColors(std::int32_t low, std::int32_t high, int numLevels);

std::string ContourKmlHead(const Contour& c);
std::string ContourKmlTail();

}  // namespace altimar::contour
