// A window's pixels: 32-bit 0x00RRGGBB, rows top to bottom.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/win_types.h"

namespace altimar::win {

using Pixel = std::uint32_t;

inline constexpr Pixel ToPixel(COLORREF c) {
  return (static_cast<Pixel>(GetRValue(c)) << 16) | (static_cast<Pixel>(GetGValue(c)) << 8) |
         static_cast<Pixel>(GetBValue(c));
}
inline constexpr COLORREF ToColorRef(Pixel p) {
  return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
             static_cast<int>(p & 0xFF));
}

class Surface {
 public:
  Surface() = default;
  Surface(int w, int h, Pixel fill = 0) { Resize(w, h, fill); }

  int width() const { return w_; }
  int height() const { return h_; }
  // Keeps what fits of the old content at the top left; new area gets fill.
  void Resize(int w, int h, Pixel fill = 0);
  void Fill(Pixel p);
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  Pixel& at(int x, int y) { return px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)]; }
  Pixel at(int x, int y) const { return px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(w_) + static_cast<std::size_t>(x)]; }
  Pixel* row(int y) { return px_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w_); }
  const Pixel* row(int y) const { return px_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w_); }
  void FillRect(int l, int t, int r, int b, Pixel p);  // clipped, r and b exclusive

 private:
  int w_ = 0, h_ = 0;
  std::vector<Pixel> px_;
};

// Windows bitmap files (24 bits a pixel, bottom-up), written and read.
// Each returns an empty string on success, else why it failed.
std::string WriteBmp(const std::string& path, const Surface& s);
std::string ReadBmp(const std::string& path, Surface& s);
// A PNG picture of the surface.
std::string WritePng(const std::string& path, const Surface& s);
// PNG pictures for people; transparency shows white.
std::string ReadPng(const std::string& path, Surface& s);

}  // namespace altimar::win
