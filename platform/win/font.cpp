#include "platform/win/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>

namespace altimar::win {

namespace {
constexpr const char* kFontDir = "/usr/share/fonts/truetype/dejavu/";
constexpr int kDefaultPixels = 13;  // the system font's character height

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}
}  // namespace

struct FontEngine::Face {
  FT_Face face = nullptr;
  ~Face() {
    if (face) FT_Done_Face(face);
  }
};

FontEngine::FontEngine() {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) == 0) library_ = lib;
}

FontEngine::~FontEngine() {
  faces_.clear();
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

const std::vector<std::string>& FontEngine::ScreenFontNames() {
  static const std::vector<std::string> names = {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif"};
  return names;
}

std::string FontEngine::FontFile(const LOGFONTA& f) {
  const std::string name = Lower(std::string_view(f.lfFaceName, strnlen(f.lfFaceName, sizeof f.lfFaceName)));
  const bool bold = f.lfWeight >= 600, italic = f.lfItalic != 0;
  std::string family = "DejaVuSans", slant = "Oblique";
  if (name.find("mono") != std::string::npos || name.find("courier") != std::string::npos ||
      name.find("consol") != std::string::npos || name.find("fixed") != std::string::npos) {
    family = "DejaVuSansMono";
  } else if (name.find("serif") != std::string::npos && name.find("sans") == std::string::npos) {
    family = "DejaVuSerif";
    slant = "Italic";
  } else if (name.find("times") != std::string::npos || name.find("roman") != std::string::npos ||
             name.find("georgia") != std::string::npos || name.find("garamond") != std::string::npos) {
    family = "DejaVuSerif";
    slant = "Italic";
  }
  std::string file = family;
  if (bold && italic) file += "-Bold" + slant;
  else if (bold) file += "-Bold";
  else if (italic) file += "-" + slant;
  return std::string(kFontDir) + file + ".ttf";
}

namespace {
// The pixel size of a LOGFONT's height with a face's proportions.
int PixelSize(FT_Face face, const LOGFONTA& f) {
  int pixels = kDefaultPixels;
  if (f.lfHeight < 0) {
    pixels = -f.lfHeight;  // the character (em) height
  } else if (f.lfHeight > 0) {
    // The cell height: ascender to descender.
    const double cell = static_cast<double>(face->ascender - face->descender) / face->units_per_EM;
    pixels = std::max(1, static_cast<int>(std::lround(f.lfHeight / cell)));
  }
  return std::clamp(pixels, 1, 1000);
}
}  // namespace

FontEngine::Face* FontEngine::Select(const LOGFONTA& f) {
  if (!library_) return nullptr;
  std::string path = FontFile(f);
  if (!std::filesystem::exists(path)) path = std::string(kFontDir) + "DejaVuSans.ttf";
  auto it = faces_.find(path);
  if (it == faces_.end()) {
    auto face = std::make_unique<Face>();
    if (FT_New_Face(static_cast<FT_Library>(library_), path.c_str(), 0, &face->face) != 0)
      return nullptr;
    it = faces_.emplace(path, std::move(face)).first;
  }
  return it->second.get();
}

FontEngine::Sized* FontEngine::Sizes(const LOGFONTA& f) {
  Face* face = Select(f);
  if (!face) return nullptr;
  const int pixels = PixelSize(face->face, f);
  const std::string file = FontFile(f);
  Sized& s = sized_[{file, pixels * 10000 + static_cast<int>(std::max(0L, static_cast<long>(f.lfWidth)))}];
  if (!s.face) {
    s.face = face;
    s.pixels = pixels;
    FT_Set_Pixel_Sizes(face->face, static_cast<FT_UInt>(std::max(0L, static_cast<long>(f.lfWidth))),
                       static_cast<FT_UInt>(pixels));
    const auto& m = face->face->size->metrics;
    s.metrics.ascent = static_cast<int>((m.ascender + 63) >> 6);
    s.metrics.descent = static_cast<int>((-m.descender + 63) >> 6);
    s.metrics.height = s.metrics.ascent + s.metrics.descent;
  }
  return &s;
}

const FontEngine::Glyph* FontEngine::GlyphOf(Sized& s, unsigned char c) {
  auto it = s.glyphs.find(c);
  if (it != s.glyphs.end()) return &it->second;
  FT_Face face = s.face->face;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(s.pixels));
  Glyph g;
  if (FT_Load_Char(face, c, FT_LOAD_RENDER) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = slot->advance.x;
    g.coverage.resize(static_cast<std::size_t>(g.width * g.rows));
    for (int r = 0; r < g.rows; ++r)
      for (int col = 0; col < g.width; ++col)
        g.coverage[static_cast<std::size_t>(r * g.width + col)] =
            bm.buffer[r * bm.pitch + col];
  }
  return &s.glyphs.emplace(c, std::move(g)).first->second;
}

TextMetrics FontEngine::Metrics(const LOGFONTA& f) {
  Sized* s = Sizes(f);
  return s ? s->metrics : TextMetrics{};
}

int FontEngine::TextWidth(const LOGFONTA& f, std::string_view text) {
  Sized* s = Sizes(f);
  if (!s) return 0;
  long width = 0;
  for (unsigned char c : text) width += GlyphOf(*s, c)->advance;
  return static_cast<int>((width + 63) >> 6);
}

void FontEngine::Draw(const LOGFONTA& f, std::string_view text, int x, int y, Pixel color,
                      Surface& s, const RECT& clip) {
  Sized* sized = Sizes(f);
  if (!sized) return;
  const TextMetrics tm = sized->metrics;
  const int baseline = y + tm.ascent;
  const RECT c{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, s.width()),
               std::min(clip.bottom, s.height())};
  auto blend = [&](int px, int py, unsigned coverage) {
    if (px < c.left || py < c.top || px >= c.right || py >= c.bottom || coverage == 0) return;
    Pixel& d = s.at(px, py);
    auto mix = [&](int shift) {
      const unsigned a = (color >> shift) & 0xFF, b = (d >> shift) & 0xFF;
      return ((a * coverage + b * (255 - coverage) + 127) / 255) << shift;
    };
    d = mix(16) | mix(8) | mix(0);
  };
  long penX = static_cast<long>(x) << 6;
  for (unsigned char ch : text) {
    const Glyph* g = GlyphOf(*sized, ch);
    const int left = static_cast<int>(penX >> 6) + g->left;
    const int top = baseline - g->top;
    for (int row = 0; row < g->rows; ++row)
      for (int col = 0; col < g->width; ++col)
        blend(left + col, top + row, g->coverage[static_cast<std::size_t>(row * g->width + col)]);
    penX += g->advance;
  }
  const int right = static_cast<int>((penX + 63) >> 6);
  const int thickness = std::max(1, tm.height / 14);
  auto line = [&](int ly) {
    for (int t = 0; t < thickness; ++t)
      for (int px = x; px < right; ++px) blend(px, ly + t, 255);
  };
  if (f.lfUnderline) line(baseline + std::max(1, tm.descent / 2));
  if (f.lfStrikeOut) line(baseline - tm.ascent / 3);
}

}  // namespace altimar::win
