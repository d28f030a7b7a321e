// Text through FreeType with the DejaVu fonts: a face is chosen from a
// LOGFONT's face name, weight and italic flag; any face not installed falls
// back to DejaVu Sans.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

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
  Face* Select(const LOGFONTA& f);  // face at the font's pixel size, or nullptr
  void* library_ = nullptr;          // FT_Library
  std::map<std::string, std::unique_ptr<Face>> faces_;
};

}  // namespace altimar::win
