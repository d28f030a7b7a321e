#include "workspace/toolbar_images.h"

#include <cmath>
#include <map>

namespace altimar::workspace {

using namespace altimar::win;

namespace {

// Rings of an elliptic hill, as contour lines look.
void ContourRings(Surface& s, Pixel line) {
  const double cx = 7.5, cy = 8.5;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) {
      const double r = std::hypot((x - cx) / 1.25, y - cy);
      for (double ring : {2.0, 4.5, 7.0})
        if (std::fabs(r - ring) < 0.55) s.at(x, y) = line;
    }
}

}  // namespace

Surface ToolbarImage(const std::string& key, FontEngine& fonts) {
  constexpr int n = kToolbarImageSize;
  Surface s(n, n, 0xF0F0F0);
  if (key == "openframe") {  // an open folder, for the properties frame
    s.FillRect(1, 3, 7, 5, 0xC89020);
    s.FillRect(1, 5, 15, 14, 0xE0B040);
    s.FillRect(3, 8, 15, 14, 0xF0D070);
    return s;
  }
  if (key == "closeframe") {  // a closed folder
    s.FillRect(1, 3, 7, 5, 0xC89020);
    s.FillRect(1, 5, 15, 14, 0xC89020);
    return s;
  }
  if (key == "contour" || key == "tcontour") {
    ContourRings(s, 0x8B4513);
    if (key == "tcontour") {  // a setting: a small slider in the corner
      s.FillRect(8, 11, 16, 13, 0x202020);
      s.FillRect(11, 9, 13, 15, 0x2060C0);
    }
    return s;
  }
  // The workspace keys: a tile in the colour of the command's family.
  static const std::map<std::string, std::pair<Pixel, const char*>> kTiles = {
      {"open", {0xD8A020, "O"}},         {"wfs", {0x8080C0, "W"}},
      {"leaf", {0x40A040, "B"}},         {"pan", {0x808080, "P"}},
      {"select", {0x2080D0, "S"}},       {"multiselect", {0x2080D0, "R"}},
      {"circleselect", {0x2080D0, "C"}}, {"selectedshift", {0x2080D0, "M"}},
      {"fastsearch", {0xC06020, "F"}},   {"sql", {0xC06020, "Q"}},
      {"html", {0x6040A0, "H"}},         {"add", {0x30A030, "+"}},
      {"delete", {0xC03030, "x"}},       {"shift", {0x30A0A0, "T"}},
      {"export", {0x606060, "E"}},       {"topen", {0x909090, "o"}},
      {"thighlight", {0x909090, "h"}},   {"tbbox", {0x909090, "b"}},
      {"tcursor", {0x909090, "c"}},      {"tkml", {0x909090, "k"}}};
  const auto it = kTiles.find(key);
  const Pixel tile = it == kTiles.end() ? 0x909090 : it->second.first;
  const char* letter = it == kTiles.end() ? "?" : it->second.second;
  s.FillRect(1, 1, n - 1, n - 1, tile);
  LOGFONTA f;
  f.lfHeight = -11;
  f.lfWeight = FW_BOLD;
  const int width = fonts.TextWidth(f, letter);
  const TextMetrics m = fonts.Metrics(f);
  fonts.Draw(f, letter, (n - width) / 2, (n - m.height) / 2, 0xFFFFFF, s, {1, 1, n - 1, n - 1});
  return s;
}

}  // namespace altimar::workspace
