// Text through FreeType with the DejaVu fonts: a face is chosen from a
// LOGFONT's face name, weight and italic flag; any face not installed falls
// back to DejaVu Sans.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win/surface.h"
#include "platform/win/win_types.h"

namespace altimar::win {

struct TextMetrics {
  int ascent = 0, descent = 0, height = 0;
};

class FontEngine {
 public:
  FontEngine();
  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  bool available() const { return library_ != nullptr; }
  // The faces the screen offers, by name.
  static const std::vector<std::string>& ScreenFontNames();
  // The font file a LOGFONT resolves to.
  static std::string FontFile(const LOGFONTA& f);
  TextMetrics Metrics(const LOGFONTA& f);
  int TextWidth(const LOGFONTA& f, std::string_view text);
  // Draws text with its top-left corner at (x, y), blending color by the
  // glyphs' coverage, clipped to clip. Underline and strike-out as the font asks.
  void Draw(const LOGFONTA& f, std::string_view text, int x, int y, Pixel color, Surface& s,
            const RECT& clip);

 private:
  struct Face;
  // A rendered glyph, kept: rendering each character anew is what text costs.
  struct Glyph {
    std::vector<std::uint8_t> coverage;
    int width = 0, rows = 0, left = 0, top = 0;
    long advance = 0;  // 26.6 fixed point
  };
  struct Sized {
    Face* face = nullptr;
    int pixels = 0;
    TextMetrics metrics;
    std::map<unsigned char, Glyph> glyphs;
  };
  Face* Select(const LOGFONTA& f);  // face at the font's pixel size, or nullptr
  Sized* Sizes(const LOGFONTA& f);  // the font at its size, with its glyphs
  const Glyph* GlyphOf(Sized& s, unsigned char c);
  void* library_ = nullptr;          // FT_Library
  std::map<std::string, std::unique_ptr<Face>> faces_;
  std::map<std::pair<std::string, int>, Sized> sized_;
};

}  // namespace altimar::win
