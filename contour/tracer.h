// Contour tracing over the height grid with the CONREC scheme: every cell is
// split into four triangles around its centre, and each triangle gives at
// most one straight segment per level. Segments are written straight into
// KML text: one placemark per level that has segments, and label points.
//
// The output is fixed by the rules of the scheme: within a level, segments
// follow the cells row by row from north to south, west to east, and the
// triangles south, east, north, west; labels follow the overall emission
// order (rows, columns, levels, triangles), one random draw per segment.
// The work is planned in that order and then traced level by level on all
// cores, which gives the same text as a single sequential pass, and lets the
// caller write each level out as soon as it is done.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "contour/chunked_text.h"
#include "contour/progress_bar.h"
#include "platform/runtime/number_text.h"
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
  int threads = 0;  // 0: one per core
};

struct TraceStats {
  std::uint64_t segments = 0;
  std::uint64_t labels = 0;
};

// Receives the Placemarks text piece by piece, in order, on the calling thread.
using TextSink = std::function<void(std::string_view)>;

// Traces levels z[0..nc-1] over cells (ilb..iub-1) x (jlb..jub-1) with the
// corner longitudes x[] and latitudes y[]. The Placemarks text goes to
// placemarks; the Labels text is appended to labels.
TraceStats TraceContoursTo(const double* x, const double* y, HeightGridView d, int nc,
                           const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env,
                           const TextSink& placemarks, ChunkedText& labels);

// Both texts whole.
struct TraceResult {
  std::string placemarks;
  std::string labels;
  TraceStats stats;
};
TraceResult TraceContours(const double* x, const double* y, HeightGridView d, int nc,
                          const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env);

// A coordinate or level as the contour document writes it: at most 15
// significant digits, trailing zeros dropped, "." as the separator always;
// the exponent form below 1e-4 and from 1e15 up ("1e-05").
inline std::string CoordText(double v) { return runtime::General15(v); }

// The whole number a label is named with: floor(level).
std::string LabelNameText(double level);
// "<Placemark><styleUrl>#Contour" k "</styleUrl><MultiGeometry>"
std::string PlacemarkHead(int k);
inline constexpr std::string_view kPlacemarkTail = "</MultiGeometry></Placemark>\r\n";

}  // namespace altimar::contour
