#include "platform/runtime/kml_color.h"

namespace altimar::runtime {

std::string HexByte(int value) {
  static const char kDigits[] = "0123456789ABCDEF";
  // Colour components are bytes; anything else is cut to its low byte.
  const unsigned v = static_cast<unsigned>(value) & 0xFFu;
  return {kDigits[v >> 4], kDigits[v & 15u]};
}

Rgb SplitColor(std::int32_t color) {
  const std::int64_t c = color;
  const int red = static_cast<int>(c % 256);
  const int blue = static_cast<int>(c / 65536);
  const int green = static_cast<int>((c - blue * 65536LL - red) / 256);
  return {red, green, blue};
}

std::int32_t MakeColor(int red, int green, int blue) {
  return static_cast<std::int32_t>(red + 256 * green + 65536 * blue);
}

std::string ColorToKmlHex(std::int32_t color) {
  const Rgb c = SplitColor(color);
  return HexByte(c.blue) + HexByte(c.green) + HexByte(c.red);
}

}  // namespace altimar::runtime
