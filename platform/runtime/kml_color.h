// Colour text for KML: Win32 colour values (red in the low byte) written as
// the six hexadecimal digits blue, green, red that follow KML's alpha byte.
#pragma once

#include <cstdint>
#include <string>

namespace altimar::runtime {

// A byte as two upper-case hexadecimal digits ("0A", "FF").
std::string HexByte(int value);

// Blue, green and red of an RGB colour value, each through HexByte.
std::string ColorToKmlHex(std::int32_t color);
// The code in red, green, blue order, two upper-case digits each (the RGB
// dialog's and the screen pick's).
inline std::string RgbHex(int red, int green, int blue) {
  return HexByte(red) + HexByte(green) + HexByte(blue);
}

// Red, green and blue of a colour value (red = colour mod 256, blue = colour
// div 65536, green from what remains).
struct Rgb {
  int red, green, blue;
};
Rgb SplitColor(std::int32_t color);
std::int32_t MakeColor(int red, int green, int blue);

}  // namespace altimar::runtime
