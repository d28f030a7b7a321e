// The contour run on a 999 x 999 grid of the embedded terrain, file write
// included: levels every 10 m with labels off and on, and 1001 list levels.
// Counters: the document's size, the heap peak during the run above what the
// grid already held, and their ratio.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "alloc_counter.h"
#include "app/contour_batch.h"
#include "contour/contour.h"
#include "contour/grid_fill.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/runtime/number_text.h"

namespace {

using altimar::contour::Contour;

struct Fixture {
  altimar::win::Desktop desktop;
  altimar::runtime::Pcg32 random{42};
  std::unique_ptr<Contour> contour;
  std::string path;
  int lo = 0, hi = 0;

  Fixture() {
    desktop.SetQuietMessageBoxes(true);
    contour = std::make_unique<Contour>(desktop, random);
    contour->SetStartupDefaults();
    contour->SetDialogDefaults();
    contour->RetraceOnly = true;
    altimar::contour::FillGrid(*contour, altimar::app::kDefaultWindow, 999, 999,
                               [](double lon, double lat) {
                                 return std::optional<double>(
                                     altimar::earth::ProceduralTerrain::Height(lon, lat));
                               });
    double mn = 1e9, mx = -1e9;
    for (int j = 0; j < 999; ++j)
      for (int i = 0; i < 999; ++i) {
        mn = std::min(mn, contour->Heights(i, j));
        mx = std::max(mx, contour->Heights(i, j));
      }
    lo = static_cast<int>(mn);
    hi = static_cast<int>(mx);
    path = (std::filesystem::temp_directory_path() / "altimar_bench_contour.kml").string();
  }
  ~Fixture() { std::filesystem::remove(path); }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void Run(benchmark::State& state, Contour& c, const std::string& path) {
  long long peak = 0;
  std::uint64_t bytes = 0, segments = 0;
  for (auto _ : state) {
    bench::ResetPeak();
    const long long base = bench::gInUse.load();
    auto r = c.WriteContourFile(path);
    peak = std::max(peak, bench::gPeak.load() - base);
    bytes = r.bytes;
    segments = r.segments;
    if (!r.written) state.SkipWithError("contour file not written");
  }
  state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["segments"] = static_cast<double>(segments);
  state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["peak_per_doc"] = static_cast<double>(peak) / static_cast<double>(bytes);
}

void BM_Interval10(benchmark::State& state) {
  Fixture& f = Shared();
  f.contour->LevelMode = altimar::contour::kLevelsByInterval;
  f.contour->LevelInterval = 10;
  f.contour->LabelContours = state.range(0) != 0;
  Run(state, *f.contour, f.path);
}
BENCHMARK(BM_Interval10)->ArgName("labels")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_List1001(benchmark::State& state) {
  Fixture& f = Shared();
  std::string list;
  for (int k = 0; k < 1001; ++k) {
    if (k) list += ',';
    list += altimar::runtime::General15(f.lo + (f.hi - f.lo) * (k + 0.5) / 1001.0);
  }
  f.contour->LevelMode = altimar::contour::kLevelsFromList;
  f.contour->LevelList = list;
  f.contour->LabelContours = false;
  Run(state, *f.contour, f.path);
}
BENCHMARK(BM_List1001)->Unit(benchmark::kMillisecond);

void BM_CoordText(benchmark::State& state) {
  char buf[64];
  double v = 11.234567891234;
  for (auto _ : state) {
    benchmark::DoNotOptimize(altimar::runtime::FormatGeneral15(v, buf));
    v += 1.1e-7;
  }
}
BENCHMARK(BM_CoordText);

}  // namespace

BENCHMARK_MAIN();
