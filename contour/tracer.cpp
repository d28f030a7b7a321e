#include "contour/tracer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "contour/tracer_cell.h"
#include "platform/runtime/numeric.h"

namespace altimar::contour {
namespace detail {

FixedTexts::FixedTexts(const GridCopy& g) {
  const auto nx = static_cast<std::size_t>(g.nx), ny = static_cast<std::size_t>(g.ny);
  x.resize(nx);
  y.resize(ny);
  xc.resize(nx > 0 ? nx - 1 : 0);
  yc.resize(ny > 0 ? ny - 1 : 0);
  for (std::size_t i = 0; i < nx; ++i) x[i].Set(g.x[i]);
  for (std::size_t i = 0; i + 1 < nx; ++i) xc[i].Set(0.5 * (g.x[i] + g.x[i + 1]));
  for (std::size_t j = 0; j < ny; ++j) y[j].Set(g.y[j]);
  for (std::size_t j = 0; j + 1 < ny; ++j) yc[j].Set(0.5 * (g.y[j] + g.y[j + 1]));
  levelTail.resize(g.z.size());
  labelHead.resize(g.z.size());
  for (std::size_t k = 0; k < g.z.size(); ++k) {
    levelTail[k].append(",").append(CoordText(g.z[k])).append(
        "</coordinates></LineString>");
    labelHead[k].append("<Placemark><name>").append(LabelNameText(g.z[k]));
  }
}

}  // namespace detail

namespace {

using detail::CellLevel;
using detail::GridCopy;
using runtime::MaxOf;
using runtime::MinOf;

// A cell that one level crosses, and the emission index of its first
// segment within its band.
struct Crossing {
  std::uint32_t cell;  // j * (nx - 1) + i
  std::uint64_t firstSegment;
};

// The crossings of a band of rows, level by level, in emission order (rows
// north to south, columns west to east, levels in index order).
struct Band {
  int rowFrom = 0, rowTo = 0;  // cell rows rowFrom down to rowTo, inclusive
  std::vector<std::vector<Crossing>> byLevel;
  std::vector<std::uint64_t> firstSegmentOfRow;  // within the band
  std::uint64_t segments = 0;
  std::uint64_t base = 0;  // emission index of the band's first segment
};

struct Plan {
  std::vector<Band> bands;  // north to south
  std::uint64_t segments = 0;
  // Emission index of the first segment of each row (north first), then the total.
  std::vector<std::uint64_t> firstSegmentOfRow;
};

// A piece of work: a run of one band's crossings of one level.
struct Unit {
  int level;
  int band;
  std::size_t from, to;
  bool firstOfLevel = false, lastOfLevel = false;
  // Results, written by the worker that traced the unit.
  ChunkedText text;
  std::vector<std::pair<std::uint64_t, std::string>> labels;  // (segment index, text)
  std::uint64_t segments = 0;
};

constexpr std::size_t kUnitCrossings = 8192;
constexpr std::size_t kInlineCrossings = 16384;  // below this, no worker threads
constexpr int kCellsPerBand = 20000;              // below this, one planning band

// Segments one level gives in one cell: the triangles whose case is not 0.
int CountSegments(const GridCopy& g, int i, int j, double zk) {
  auto sign = [](double h) { return h > 0 ? 1 : (h < 0 ? -1 : 0); };
  const double h1 = g.at(i, j) - zk, h2 = g.at(i + 1, j) - zk, h3 = g.at(i + 1, j + 1) - zk,
               h4 = g.at(i, j + 1) - zk;
  const int s0 = sign(0.25 * (h1 + h2 + h3 + h4)) + 1;
  const int s1 = sign(h1) + 1, s2 = sign(h2) + 1, s3 = sign(h3) + 1, s4 = sign(h4) + 1;
  using detail::kCase;
  return (kCase[s1][s0][s2] != 0) + (kCase[s2][s0][s3] != 0) + (kCase[s3][s0][s4] != 0) +
         (kCase[s4][s0][s1] != 0);
}

// The levels in ascending order (ties in index order): the levels a cell
// crosses, [dmin, dmax), are one run of that order.
struct LevelOrder {
  std::vector<int> order;
  std::vector<double> sorted;
  bool ascending;
  explicit LevelOrder(const std::vector<double>& z) : order(z.size()), sorted(z.size()) {
    for (std::size_t k = 0; k < z.size(); ++k) order[k] = static_cast<int>(k);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
      return z[static_cast<std::size_t>(a)] < z[static_cast<std::size_t>(b)];
    });
    for (std::size_t k = 0; k < z.size(); ++k) sorted[k] = z[static_cast<std::size_t>(order[k])];
    ascending = std::is_sorted(z.begin(), z.end());
  }
};

void PlanBand(const GridCopy& g, const LevelOrder& lo, Band& band) {
  const int cellsX = g.nx - 1;
  const double zFirst = g.z.front(), zLast = g.z.back();
  band.byLevel.resize(g.z.size());
  std::vector<int> ks;
  for (int j = band.rowFrom; j >= band.rowTo; --j) {
    band.firstSegmentOfRow.push_back(band.segments);
    for (int i = 0; i < cellsX; ++i) {
      const double d00 = g.at(i, j), d01 = g.at(i, j + 1), d10 = g.at(i + 1, j),
                   d11 = g.at(i + 1, j + 1);
      const double dmin = MinOf(MinOf(d00, d01), MinOf(d10, d11));
      const double dmax = MaxOf(MaxOf(d00, d01), MaxOf(d10, d11));
      if (!(dmax >= zFirst && dmin <= zLast && dmax < 1e37)) continue;
      ks.clear();
      for (auto it = std::lower_bound(lo.sorted.begin(), lo.sorted.end(), dmin);
           it != lo.sorted.end() && *it < dmax; ++it)
        ks.push_back(lo.order[static_cast<std::size_t>(it - lo.sorted.begin())]);
      if (!lo.ascending) std::sort(ks.begin(), ks.end());
      for (int k : ks) {
        const int n = CountSegments(g, i, j, g.z[static_cast<std::size_t>(k)]);
        if (n == 0) continue;
        band.byLevel[static_cast<std::size_t>(k)].push_back(
            {static_cast<std::uint32_t>(j * cellsX + i), band.segments});
        band.segments += static_cast<std::uint64_t>(n);
      }
    }
  }
}

// Plans the rows in bands, one per thread, then numbers the segments across
// bands so that every segment has its sequential emission index.
Plan MakePlan(const GridCopy& g, int threads) {
  const int cellsY = g.ny - 1, cellsX = g.nx - 1;
  const LevelOrder lo(g.z);
  int bands = std::clamp(static_cast<int>(static_cast<long long>(cellsX) * cellsY / kCellsPerBand),
                         1, std::max(threads, 1));
  bands = std::min(bands, std::max(cellsY, 1));
  Plan plan;
  plan.bands.resize(static_cast<std::size_t>(bands));
  for (int b = 0; b < bands; ++b) {
    Band& band = plan.bands[static_cast<std::size_t>(b)];
    band.rowFrom = cellsY - 1 - cellsY * b / bands;
    band.rowTo = cellsY - cellsY * (b + 1) / bands;
  }
  {
    std::vector<std::thread> helpers;
    for (int b = 1; b < bands; ++b)
      helpers.emplace_back([&, b] { PlanBand(g, lo, plan.bands[static_cast<std::size_t>(b)]); });
    PlanBand(g, lo, plan.bands[0]);
    for (auto& h : helpers) h.join();
  }
  for (Band& band : plan.bands) {
    band.base = plan.segments;
    for (std::uint64_t first : band.firstSegmentOfRow) plan.firstSegmentOfRow.push_back(band.base + first);
    plan.segments += band.segments;
  }
  plan.firstSegmentOfRow.push_back(plan.segments);
  return plan;
}

std::vector<Unit> MakeUnits(const Plan& plan, std::size_t levels) {
  std::vector<Unit> units;
  for (std::size_t k = 0; k < levels; ++k) {
    const std::size_t firstOfLevel = units.size();
    for (std::size_t b = 0; b < plan.bands.size(); ++b) {
      const std::size_t n = plan.bands[b].byLevel[k].size();
      for (std::size_t from = 0; from < n; from += kUnitCrossings) {
        Unit u;
        u.level = static_cast<int>(k);
        u.band = static_cast<int>(b);
        u.from = from;
        u.to = std::min(n, from + kUnitCrossings);
        units.push_back(std::move(u));
      }
    }
    if (units.size() > firstOfLevel) {
      units[firstOfLevel].firstOfLevel = true;
      units.back().lastOfLevel = true;
    }
  }
  return units;
}

void TraceUnit(const GridCopy& g, const detail::FixedTexts& t, const Plan& plan,
               const std::vector<std::uint64_t>& labelled, Unit& u) {
  const int cellsX = g.nx - 1;
  const Band& band = plan.bands[static_cast<std::size_t>(u.band)];
  const auto& crossings = band.byLevel[static_cast<std::size_t>(u.level)];
  const double zk = g.z[static_cast<std::size_t>(u.level)];
  const std::string& labelHead = t.labelHead[static_cast<std::size_t>(u.level)];
  auto nextLabel = std::lower_bound(labelled.begin(), labelled.end(),
                                    band.base + crossings[u.from].firstSegment);
  detail::CrossingCache cache(cellsX);
  for (std::size_t p = u.from; p < u.to; ++p) {
    const int i = static_cast<int>(crossings[p].cell % static_cast<std::uint32_t>(cellsX));
    const int j = static_cast<int>(crossings[p].cell / static_cast<std::uint32_t>(cellsX));
    std::uint64_t s = band.base + crossings[p].firstSegment;
    CellLevel c;
    c.Load(g, i, j, zk);
    detail::EmitSegments(c, t, i, j, u.level, cache, u.text, [&](std::string_view second) {
      // The level's segments are not consecutive in emission order: skip
      // the labels of other levels' segments in between.
      while (nextLabel != labelled.end() && *nextLabel < s) ++nextLabel;
      if (nextLabel != labelled.end() && *nextLabel == s) {
        std::string label;
        label.reserve(labelHead.size() + second.size() + 96);
        label.append(labelHead)
            .append("</name><styleUrl>#Contours</styleUrl><Point><coordinates>")
            .append(second)
            .append("</coordinates></Point></Placemark>");
        u.labels.emplace_back(s, std::move(label));
        ++nextLabel;
      }
      ++s;
      ++u.segments;
    });
  }
}

// Runs the units on worker threads and hands them back in order.
class UnitRunner {
 public:
  UnitRunner(const GridCopy& g, const detail::FixedTexts& t, const Plan& plan,
             const std::vector<std::uint64_t>& labelled, std::vector<Unit>& units, int threads)
      : g_(g), t_(t), plan_(plan), labelled_(labelled), units_(units),
        done_(std::make_unique<std::atomic<bool>[]>(units.size())),
        ahead_(2 * static_cast<std::size_t>(threads) + 2) {
    for (std::size_t u = 0; u < units.size(); ++u) done_[u] = false;
    for (int w = 0; w < threads; ++w) workers_.emplace_back([this] { Work(); });
  }
  ~UnitRunner() {
    for (auto& w : workers_) w.join();
  }
  UnitRunner(const UnitRunner&) = delete;
  UnitRunner& operator=(const UnitRunner&) = delete;

  // Waits until unit u is done, calling idle() about every 10 ms meanwhile.
  // Units are asked for in order: those before u have been written.
  template <typename Idle>
  void WaitFor(std::size_t u, Idle&& idle) {
    std::unique_lock lock(mutex_);
    if (u > wanted_) {
      wanted_ = u;
      cv_.notify_all();
    }
    while (!done_[u].load(std::memory_order_acquire)) {
      cv_.wait_for(lock, std::chrono::milliseconds(10));
      lock.unlock();
      idle();
      lock.lock();
    }
  }

 private:
  void Work() {
    for (;;) {
      const std::size_t u = next_.fetch_add(1);
      if (u >= units_.size()) return;
      {
        // Traced text waits in memory until it is written: run only a few
        // units ahead of the writer (a unit is at most about 1 MB of text).
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return u < wanted_ + ahead_; });
      }
      TraceUnit(g_, t_, plan_, labelled_, units_[u]);
      {
        std::lock_guard lock(mutex_);
        done_[u].store(true, std::memory_order_release);
      }
      cv_.notify_all();
    }
  }

  const GridCopy& g_;
  const detail::FixedTexts& t_;
  const Plan& plan_;
  const std::vector<std::uint64_t>& labelled_;
  std::vector<Unit>& units_;
  std::unique_ptr<std::atomic<bool>[]> done_;
  std::atomic<std::size_t> next_{0};
  std::size_t wanted_ = 0;  // the unit the writer waits for; guarded by mutex_
  std::size_t ahead_ = 1;   // how many units from it may be traced at once
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::thread> workers_;
};

GridCopy CopyGrid(const double* x, const double* y, HeightGridView d, int nc, const double* z,
                  int ilb, int iub, int jlb, int jub) {
  GridCopy g;
  g.nx = iub - ilb + 1;
  g.ny = jub - jlb + 1;
  g.x.assign(x + ilb, x + iub + 1);
  g.y.assign(y + jlb, y + jub + 1);
  g.z.assign(z, z + nc);
  g.d.resize(static_cast<std::size_t>(g.nx) * static_cast<std::size_t>(g.ny));
  for (int j = 0; j < g.ny; ++j)
    for (int i = 0; i < g.nx; ++i)
      g.d[static_cast<std::size_t>(j) * static_cast<std::size_t>(g.nx) +
          static_cast<std::size_t>(i)] = d(ilb + i, jlb + j);
  return g;
}

}  // namespace

std::string LabelNameText(double level) {
  const double f = std::floor(level);
  if (std::fabs(f) < 1e15) return std::to_string(static_cast<long long>(f));
  return CoordText(f);
}

std::string PlacemarkHead(int k) {
  return "<Placemark><styleUrl>#Contour" + std::to_string(k) + "</styleUrl><MultiGeometry>";
}

TraceStats TraceContoursTo(const double* x, const double* y, HeightGridView d, int nc,
                           const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env,
                           const TextSink& placemarks, ChunkedText& labels) {
  TraceStats stats;
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
  auto finish = [&] {
    if (env.retraceOnly) bar.SetVisible(false);
    return stats;
  };
  if (nc <= 0 || iub < ilb || jub < jlb) return finish();

  const int threads =
      env.threads > 0 ? env.threads
                      : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const GridCopy g = CopyGrid(x, y, d, nc, z, ilb, iub, jlb, jub);
  const Plan plan = MakePlan(g, threads);

  // One draw per segment, in emission order: the generator advances exactly
  // as a sequential tracer would advance it.
  std::vector<std::uint64_t> labelled;
  for (std::uint64_t s = 0; s < plan.segments; ++s)
    if (env.random.NextSingle() < 0.02f) labelled.push_back(s);

  // Progress is shown per row, as the rows are done: row r (north first)
  // counts as done once every segment before the next row's is written.
  const int rowCount = g.ny - 1;
  const double rows = static_cast<double>(jub - jlb + 1);
  int rowsShown = 0;
  auto showRowsUpTo = [&](std::uint64_t segmentsDone) {
    while (rowsShown < rowCount &&
           plan.firstSegmentOfRow[static_cast<std::size_t>(rowsShown) + 1] <= segmentsDone) {
      const int j = jub - 1 - rowsShown;
      SetProgressValue(bar, base + std::floor((static_cast<double>(jub - j) / rows) * 100 * factor));
      ++rowsShown;
      env.desktop.DoEvents();
    }
  };

  const detail::FixedTexts texts(g);
  std::vector<Unit> units = MakeUnits(plan, g.z.size());
  std::size_t crossings = 0;
  for (const auto& band : plan.bands)
    for (const auto& level : band.byLevel) crossings += level.size();
  const int workers = crossings < kInlineCrossings ? 0 : threads;

  std::vector<std::pair<std::uint64_t, std::string>> allLabels;
  std::uint64_t done = 0;
  auto deliver = [&](Unit& u) {
    if (u.firstOfLevel) placemarks(PlacemarkHead(u.level));
    u.text.ForEachPiece([&](std::string_view p) { placemarks(p); });
    if (u.lastOfLevel) placemarks(kPlacemarkTail);
    u.text = ChunkedText();  // written: free it now
    for (auto& l : u.labels) allLabels.push_back(std::move(l));
    u.labels.clear();
    stats.segments += u.segments;
    // Units finish level by level while rows run north to south: the rows
    // shown follow the share of the segments written.
    done += u.segments;
    showRowsUpTo(done);
  };
  if (workers == 0) {
    for (auto& u : units) {
      TraceUnit(g, texts, plan, labelled, u);
      deliver(u);
    }
  } else {
    UnitRunner runner(g, texts, plan, labelled, units, workers);
    for (std::size_t u = 0; u < units.size(); ++u) {
      runner.WaitFor(u, [&] { env.desktop.DoEvents(); });
      deliver(units[u]);
    }
  }
  showRowsUpTo(plan.segments);  // every row, including those without segments

  std::sort(allLabels.begin(), allLabels.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& l : allLabels) labels.append(l.second);
  stats.labels = allLabels.size();
  return finish();
}

TraceResult TraceContours(const double* x, const double* y, HeightGridView d, int nc,
                          const double* z, int ilb, int iub, int jlb, int jub, TraceEnv& env) {
  TraceResult r;
  ChunkedText labels;
  r.stats = TraceContoursTo(x, y, d, nc, z, ilb, iub, jlb, jub, env,
                            [&](std::string_view p) { r.placemarks.append(p); }, labels);
  r.labels = labels.str();
  return r;
}

}  // namespace altimar::contour
