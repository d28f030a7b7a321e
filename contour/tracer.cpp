#include "contour/tracer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/runtime/number_text.h"
#include "platform/runtime/numeric.h"

namespace altimar::contour {
namespace {

using runtime::MaxOf;
using runtime::MinOf;

// A number's text, kept ready for copying.
struct NumText {
  char s[runtime::kMaxNumberText];
  std::size_t n = 0;
  void Set(double v) { n = runtime::FormatGeneral15(v, s); }
};

// CONREC's case table, indexed by the signs (+1) of vertices m1, m2, m3.
constexpr int kCase[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
    {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
    {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}},
};
constexpr int kIm[4] = {0, 1, 1, 0};
constexpr int kJm[4] = {0, 0, 1, 1};

constexpr std::string_view kSegmentHead = "<LineString><coordinates>";
constexpr std::string_view kSegmentTail = "</coordinates></LineString>";
constexpr std::string_view kLabelMiddle =
    "</name><styleUrl>#Contours</styleUrl><Point><coordinates>";
constexpr std::string_view kLabelTail = "</coordinates></Point></Placemark>";

// Appends to a small fixed buffer; a segment's text always fits.
struct Line {
  char buf[512];
  std::size_t n = 0;
  void Put(std::string_view s) {
    std::memcpy(buf + n, s.data(), s.size());
    n += s.size();
  }
  void Put(const NumText& t) {
    std::memcpy(buf + n, t.s, t.n);
    n += t.n;
  }
  void Put(char c) { buf[n++] = c; }
  void PutNumber(double v) { n += runtime::FormatGeneral15(v, buf + n); }
};

class Tracer {
 public:
  Tracer(const double* x, const double* y, HeightGridView d, int nc, const double* z, int ilb,
         int iub, int jlb, int jub, runtime::Random& random, TraceResult& out)
      : x_(x), y_(y), d_(d), nc_(nc), z_(z), ilb_(ilb), iub_(iub), random_(random), out_(out) {
    const int nx = iub - ilb + 1, ny = jub - jlb + 1;
    xText_.resize(static_cast<std::size_t>(nx));
    xcText_.resize(static_cast<std::size_t>(nx));
    yText_.resize(static_cast<std::size_t>(ny));
    ycText_.resize(static_cast<std::size_t>(ny));
    for (int i = ilb; i <= iub; ++i) {
      xText_[static_cast<std::size_t>(i - ilb)].Set(x[i]);
      if (i < iub) xcText_[static_cast<std::size_t>(i - ilb)].Set(0.5 * (x[i] + x[i + 1]));
    }
    for (int j = jlb; j <= jub; ++j) {
      yText_[static_cast<std::size_t>(j - jlb)].Set(y[j]);
      if (j < jub) ycText_[static_cast<std::size_t>(j - jlb)].Set(0.5 * (y[j] + y[j + 1]));
    }
    jlb_ = jlb;
    levelTail_.resize(static_cast<std::size_t>(nc));
    labelHead_.resize(static_cast<std::size_t>(nc));
    for (int k = 0; k < nc; ++k) {
      // Built with append: GCC 12 warns falsely (-Wrestrict) on "," + string.
      std::string& tail = levelTail_[static_cast<std::size_t>(k)];
      tail.append(",").append(runtime::General15(z[k])).append(kSegmentTail);
      std::string& head = labelHead_[static_cast<std::size_t>(k)];
      head.append("<Placemark><name>").append(LabelNameText(z[k]));
    }
    sorted_ = std::is_sorted(z, z + nc);
  }

  // One row of cells, west to east.
  void Row(int j) {
    const double zLow = z_[0], zHigh = z_[nc_ - 1];
    for (int i = ilb_; i < iub_; ++i) {
      const double d00 = d_(i, j), d01 = d_(i, j + 1), d10 = d_(i + 1, j), d11 = d_(i + 1, j + 1);
      const double dmin = MinOf(MinOf(d00, d01), MinOf(d10, d11));
      const double dmax = MaxOf(MaxOf(d00, d01), MaxOf(d10, d11));
      if (!(dmax >= zLow && dmin <= zHigh && dmax < 1e37)) continue;
      if (sorted_) {
        // Ascending levels: the ones in [dmin, dmax) form one run.
        int k = static_cast<int>(std::lower_bound(z_, z_ + nc_, dmin) - z_);
        for (; k < nc_ && z_[k] < dmax; ++k) Cell(i, j, k);
      } else {
        for (int k = 0; k < nc_; ++k)
          if (dmin <= z_[k] && z_[k] < dmax) Cell(i, j, k);
      }
    }
  }

 private:
  // Level k in cell (i, j): five vertices, four triangles.
  void Cell(int i, int j, int k) {
    const double zk = z_[k];
    double h[5], xh[5], yh[5];
    int sh[5];
    for (int m = 4; m >= 1; --m) {
      h[m] = d_(i + kIm[m - 1], j + kJm[m - 1]) - zk;
      xh[m] = x_[i + kIm[m - 1]];
      yh[m] = y_[j + kJm[m - 1]];
    }
    h[0] = 0.25 * (h[1] + h[2] + h[3] + h[4]);
    xh[0] = 0.5 * (x_[i] + x_[i + 1]);
    yh[0] = 0.5 * (y_[j] + y_[j + 1]);
    for (int m = 0; m <= 4; ++m) sh[m] = h[m] > 0 ? 1 : (h[m] < 0 ? -1 : 0);

    for (int m = 1; m <= 4; ++m) {
      const int m1 = m, m2 = 0, m3 = m == 4 ? 1 : m + 1;
      const int c = kCase[sh[m1] + 1][sh[m2] + 1][sh[m3] + 1];
      if (c == 0) continue;
      Line line;
      line.Put(kSegmentHead);
      std::size_t secondAt = 0, secondLen = 0;
      auto vertex = [&](int v) {
        const NumText& tx = v == 0 ? xcText_[static_cast<std::size_t>(i - ilb_)]
                                   : xText_[static_cast<std::size_t>(i + kIm[v - 1] - ilb_)];
        const NumText& ty = v == 0 ? ycText_[static_cast<std::size_t>(j - jlb_)]
                                   : yText_[static_cast<std::size_t>(j + kJm[v - 1] - jlb_)];
        line.Put(tx);
        line.Put(',');
        line.Put(ty);
      };
      auto side = [&](int p, int q) {
        const double den = h[q] - h[p];
        line.PutNumber((h[q] * xh[p] - h[p] * xh[q]) / den);
        line.Put(',');
        line.PutNumber((h[q] * yh[p] - h[p] * yh[q]) / den);
      };
      auto point = [&](int which) {
        // which: 0 first point, 1 second point of case c.
        switch (c * 2 + which) {
          case 2: vertex(m1); break;
          case 3: vertex(m2); break;
          case 4: vertex(m2); break;
          case 5: vertex(m3); break;
          case 6: vertex(m3); break;
          case 7: vertex(m1); break;
          case 8: vertex(m1); break;
          case 9: side(m2, m3); break;
          case 10: vertex(m2); break;
          case 11: side(m3, m1); break;
          case 12: vertex(m3); break;
          case 13: side(m1, m2); break;
          case 14: side(m1, m2); break;
          case 15: side(m2, m3); break;
          case 16: side(m2, m3); break;
          case 17: side(m3, m1); break;
          case 18: side(m3, m1); break;
          default: side(m1, m2); break;  // 19
        }
      };
      point(0);
      line.Put(' ');
      secondAt = line.n;
      point(1);
      secondLen = line.n - secondAt;
      line.Put(levelTail_[static_cast<std::size_t>(k)]);
      out_.levelText[static_cast<std::size_t>(k)].append(line.buf, line.n);
      ++out_.segments;

      if (random_.NextSingle() < 0.02f) {
        const std::string& head = labelHead_[static_cast<std::size_t>(k)];
        ChunkedText& labels = out_.labels;
        labels.append(head);
        labels.append(kLabelMiddle);
        labels.append(line.buf + secondAt, secondLen);
        labels.append(kLabelTail);
        ++out_.labelCount;
      }
    }
  }

  const double* x_;
  const double* y_;
  HeightGridView d_;
  int nc_;
  const double* z_;
  int ilb_, iub_, jlb_ = 0;
  runtime::Random& random_;
  TraceResult& out_;
  bool sorted_ = false;
  std::vector<NumText> xText_, xcText_, yText_, ycText_;
  std::vector<std::string> levelTail_, labelHead_;
};

}  // namespace

std::string LabelNameText(double level) {
  const double f = std::floor(level);
  if (std::fabs(f) < 1e15) return std::to_string(static_cast<long long>(f));
  return runtime::General15(f);
}

std::string PlacemarkHead(int k) {
  return "<Placemark><styleUrl>#Contour" + std::to_string(k) + "</styleUrl><MultiGeometry>";
}

std::string TraceResult::PlacemarksText() const {
  std::string s;
  ForEachPlacemarkPiece([&](std::string_view p) { s.append(p); });
  return s;
}

TraceResult TraceContours(const double* x, const double* y, HeightGridView d, int nc,
                          const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env) {
  TraceResult out;
  out.levelText.resize(static_cast<std::size_t>(std::max(nc, 0)));
  ProgressBar& bar = env.bar;

  double base = runtime::RoundHalfEven(bar.Value());
  double factor = 0.5;  // sampling has filled the first half of the bar
  if (env.retraceOnly) {
    factor = 1.0;
    bar.SetVisible(true);
    bar.SetMin(0);
    bar.SetMax(100);
    base = 0;
  }

  if (nc > 0) {
    Tracer tracer(x, y, d, nc, z, ilb, iub, jlb, jub, env.random, out);
    const double rows = static_cast<double>(jub - jlb + 1);
    for (int j = jub - 1; j >= jlb; --j) {
      SetProgressValue(bar, base + std::floor((static_cast<double>(jub - j) / rows) * 100 * factor));
      tracer.Row(j);
      env.desktop.DoEvents();
    }
  }

  if (env.retraceOnly) bar.SetVisible(false);
  return out;
}

}  // namespace altimar::contour
