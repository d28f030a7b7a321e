// One cell and one level of the CONREC scheme: the five vertices, the case
// of each triangle, and the text of the segments. Internal to the tracer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "contour/chunked_text.h"
#include "platform/runtime/number_text.h"

namespace altimar::contour::detail {

// A copy of the part of the grid being traced, so that worker threads never
// read state that event handlers on the user-interface thread may change.
struct GridCopy {
  int nx = 0, ny = 0;      // nodes across and up
  std::vector<double> d;   // d[j * nx + i]
  std::vector<double> x, y;
  std::vector<double> z;   // the levels
  double at(int i, int j) const {
    return d[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) +
             static_cast<std::size_t>(i)];
  }
};

// A number's text, kept ready for copying.
struct NumText {
  char s[runtime::kMaxNumberText];
  std::size_t n = 0;
  void Set(double v) { n = runtime::FormatGeneral15(v, s); }
};

// Texts that do not change during a run: corner and centre coordinates and
// the per-level pieces.
struct FixedTexts {
  std::vector<NumText> x, xc, y, yc;
  std::vector<std::string> levelTail;  // "," level "</coordinates></LineString>"
  std::vector<std::string> labelHead;  // "<Placemark><name>" floor(level)
  explicit FixedTexts(const GridCopy& g);
};

// CONREC's case table, indexed by the signs (+1) of vertices m1, m2, m3.
inline constexpr int kCase[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
    {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
    {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}},
};
// Vertex m (1..4) is corner (i + kIm[m-1], j + kJm[m-1]); vertex 0 the centre.
inline constexpr int kIm[4] = {0, 1, 1, 0};
inline constexpr int kJm[4] = {0, 0, 1, 1};

struct CellLevel {
  double h[5], xh[5], yh[5];
  int sh[5];

  void Load(const GridCopy& g, int i, int j, double zk) {
    for (int m = 4; m >= 1; --m) {
      h[m] = g.at(i + kIm[m - 1], j + kJm[m - 1]) - zk;
      xh[m] = g.x[static_cast<std::size_t>(i + kIm[m - 1])];
      yh[m] = g.y[static_cast<std::size_t>(j + kJm[m - 1])];
    }
    h[0] = 0.25 * (h[1] + h[2] + h[3] + h[4]);
    xh[0] = 0.5 * (g.x[static_cast<std::size_t>(i)] + g.x[static_cast<std::size_t>(i + 1)]);
    yh[0] = 0.5 * (g.y[static_cast<std::size_t>(j)] + g.y[static_cast<std::size_t>(j + 1)]);
    for (int m = 0; m <= 4; ++m) sh[m] = h[m] > 0 ? 1 : (h[m] < 0 ? -1 : 0);
  }
  // Case of the triangle m (1 south, 2 east, 3 north, 4 west).
  int Case(int m) const {
    const int m3 = m == 4 ? 1 : m + 1;
    return kCase[sh[m] + 1][sh[0] + 1][sh[m3] + 1];
  }
  int CountSegments() const {
    return (Case(1) != 0) + (Case(2) != 0) + (Case(3) != 0) + (Case(4) != 0);
  }
};

// The text of a point where a level crosses a side of a triangle.
struct PointText {
  NumText x, y;
};

// Crossing points already written for one level, so that each is formatted
// once. A side shared by two triangles, or by two cells, gives the same
// point whichever way round it is computed: S(q, p) negates both numerator
// and denominator of S(p, q), which floating point does exactly.
//   spokes: the four sides from the centre, for the current cell;
//   west:   the east side of the previous cell in the row;
//   north:  the south side of the cell above (rows run north to south).
// The triangles run south, east, north, west, so a cell writes its own south
// and east sides before it reads its north and west ones: those live in
// slots of their own (two per column, two for the row).
class CrossingCache {
 public:
  explicit CrossingCache(int cellsX) : south_(static_cast<std::size_t>(cellsX) * 2) {}

  void StartCell(int i, int j) {
    i_ = i;
    j_ = j;
    spokeKnown_ = 0;
    westSlot_ = eastSlot_;
    westKnown_ = i > 0 && eastCell_ == CellKey(i - 1, j);
    northKnown_ = SouthSlot(i, j + 1).row == j + 1;
  }

  template <typename Compute>
  const PointText& Get(int p, int q, Compute&& compute) {
    if (p == 0 || q == 0) {
      const int m = p + q;
      const unsigned bit = 1u << m;
      if (!(spokeKnown_ & bit)) {
        compute(spokes_[m]);
        spokeKnown_ |= bit;
      }
      return spokes_[m];
    }
    if (p + q == 3) {  // south: vertices 1 and 2
      Slot& s = SouthSlot(i_, j_);
      compute(s.text);
      s.row = j_;
      return s.text;
    }
    if (p + q == 7) {  // north: vertices 3 and 4
      Slot& s = SouthSlot(i_, j_ + 1);
      if (!northKnown_) {
        compute(s.text);
        s.row = -2;  // not a south side of any cell
      }
      return s.text;
    }
    if (p == 1 || q == 1) {  // west: vertices 4 and 1
      if (!westKnown_) compute(row_[westSlot_]);
      return row_[westSlot_];
    }
    // east: vertices 2 and 3
    eastSlot_ = 1 - westSlot_;
    eastCell_ = CellKey(i_, j_);
    compute(row_[eastSlot_]);
    return row_[eastSlot_];
  }

 private:
  struct Slot {
    int row = -2;
    PointText text;
  };
  static long long CellKey(int i, int j) {
    return static_cast<long long>(j) << 32 | static_cast<unsigned>(i);
  }
  Slot& SouthSlot(int i, int row) {
    return south_[static_cast<std::size_t>(i) * 2 + static_cast<std::size_t>(row & 1)];
  }

  std::vector<Slot> south_;
  PointText spokes_[5];
  PointText row_[2];
  int eastSlot_ = 0, westSlot_ = 0;
  long long eastCell_ = -1;
  unsigned spokeKnown_ = 0;
  bool westKnown_ = false, northKnown_ = false;
  int i_ = 0, j_ = 0;
};

// Writes the segments of one cell and level. For each segment, calls
// onSegment(secondPointText) after appending it to out.
template <typename OnSegment>
void EmitSegments(const CellLevel& c, const FixedTexts& t, int i, int j, int k,
                  CrossingCache& cache, ChunkedText& out, OnSegment&& onSegment) {
  static constexpr std::string_view kHead = "<LineString><coordinates>";
  char buf[512];
  cache.StartCell(i, j);
  for (int m = 1; m <= 4; ++m) {
    const int cs = c.Case(m);
    if (cs == 0) continue;
    const int m1 = m, m2 = 0, m3 = m == 4 ? 1 : m + 1;
    std::size_t n = kHead.size();
    std::memcpy(buf, kHead.data(), n);
    auto put = [&](const NumText& v) {
      std::memcpy(buf + n, v.s, v.n);
      n += v.n;
    };
    auto vertex = [&](int v) {
      put(v == 0 ? t.xc[static_cast<std::size_t>(i)] : t.x[static_cast<std::size_t>(i + kIm[v - 1])]);
      buf[n++] = ',';
      put(v == 0 ? t.yc[static_cast<std::size_t>(j)] : t.y[static_cast<std::size_t>(j + kJm[v - 1])]);
    };
    // S(p, q): where the level crosses the side from vertex p to vertex q.
    auto side = [&](int p, int q) {
      const PointText& pt = cache.Get(p, q, [&](PointText& out) {
        const double den = c.h[q] - c.h[p];
        out.x.Set((c.h[q] * c.xh[p] - c.h[p] * c.xh[q]) / den);
        out.y.Set((c.h[q] * c.yh[p] - c.h[p] * c.yh[q]) / den);
      });
      put(pt.x);
      buf[n++] = ',';
      put(pt.y);
    };
    auto point = [&](bool second) {
      switch (cs) {
        case 1: second ? vertex(m2) : vertex(m1); break;
        case 2: second ? vertex(m3) : vertex(m2); break;
        case 3: second ? vertex(m1) : vertex(m3); break;
        case 4: second ? side(m2, m3) : vertex(m1); break;
        case 5: second ? side(m3, m1) : vertex(m2); break;
        case 6: second ? side(m1, m2) : vertex(m3); break;
        case 7: second ? side(m2, m3) : side(m1, m2); break;
        case 8: second ? side(m3, m1) : side(m2, m3); break;
        default: second ? side(m1, m2) : side(m3, m1); break;  // 9
      }
    };
    point(false);
    buf[n++] = ' ';
    const std::size_t secondAt = n;
    point(true);
    const std::string_view second(buf + secondAt, n - secondAt);
    const std::string& tail = t.levelTail[static_cast<std::size_t>(k)];
    std::memcpy(buf + n, tail.data(), tail.size());
    n += tail.size();
    out.append(buf, n);
    onSegment(second);
  }
}

}  // namespace altimar::contour::detail
