// Contour tracing over the height grid with the CONREC scheme: every cell is
// split into four triangles around its centre, and each triangle gives at
// most one straight segment per level. Segments are written straight into
// KML text, one text per level, plus a text of label points.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "contour/chunked_text.h"
#include "contour/progress_bar.h"
#include "platform/runtime/random.h"
#include "platform/win/desktop.h"

namespace altimar::contour {

// Heights d(i, j) of column i and row j, rows stride values apart.
struct HeightGridView {
  const double* data;
  std::size_t stride;
  double operator()(int i, int j) const {
    return data[static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i)];
  }
};

// What tracing reports to and draws from: ProgressBar1, the desktop's event
// loop, the program's random generator, and whether this is a re-trace of
// the stored grid (which owns the whole bar).
struct TraceEnv {
  ProgressBar& bar;
  win::Desktop& desktop;
  runtime::Random& random;
  bool retraceOnly = false;
};

struct TraceResult {
  std::vector<ChunkedText> levelText;  // LevelText(k): that level's line strings
  ChunkedText labels;                  // the Labels text
  std::uint64_t segments = 0;
  std::uint64_t labelCount = 0;

  // The Placemarks text piece by piece: one placemark per level that has
  // segments, each followed by CR LF.
  template <typename F>
  void ForEachPlacemarkPiece(F&& f) const;
  std::string PlacemarksText() const;
  std::string LabelsText() const { return labels.str(); }
};

// Traces levels z[0..nc-1] over cells (ilb..iub-1) x (jlb..jub-1), with the
// corner longitudes x[] and latitudes y[].
TraceResult TraceContours(const double* x, const double* y, HeightGridView d, int nc,
                          const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env);

// The whole number a label is named with: floor(level).
std::string LabelNameText(double level);

// "<Placemark><styleUrl>#Contour" k "</styleUrl><MultiGeometry>"
std::string PlacemarkHead(int k);
inline constexpr std::string_view kPlacemarkTail = "</MultiGeometry></Placemark>\r\n";

template <typename F>
void TraceResult::ForEachPlacemarkPiece(F&& f) const {
  for (std::size_t k = 0; k < levelText.size(); ++k) {
    if (levelText[k].empty()) continue;
    f(std::string_view(PlacemarkHead(static_cast<int>(k))));
    levelText[k].ForEachPiece(f);
    f(kPlacemarkTail);
  }
}

}  // namespace altimar::contour
