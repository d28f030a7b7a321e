// Costs of the shapefile library on generated files (written into a
// temporary folder on first use): nearest-feature queries on 100,000 points
// (target < 1 ms) and on 100,000 polylines of 20 vertices, 2 M vertices
// (target < 5 ms); opening with the index build; the KML export of 100,000
// points with seven attributes (compare with ogr2ogr: export_vs_ogr.sh).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench/synthetic_shapefiles.h"
#include "platform/shapefile/shape_library.h"

namespace {

namespace fs = std::filesystem;
using altimar::shapefile::ShapeLibrary;

constexpr int kFeatures = 100000;

// The generated files, made once per run and removed at exit.
struct Files {
  Files() : dir(fs::temp_directory_path() / ("altimar_shp_bench_" + std::to_string(::getpid()))) {
    fs::create_directories(dir);
    points = (dir / "points").string();
    lines = (dir / "lines").string();
    if (!altimar::bench::WriteRandomPoints(points, kFeatures) ||
        !altimar::bench::WriteRandomPolylines(lines, kFeatures, 20))
      std::abort();
  }
  ~Files() { fs::remove_all(dir); }
  fs::path dir;
  std::string points, lines;
};

const Files& GeneratedFiles() {
  static Files files;
  return files;
}

const std::string& Source(int which) { return which == 0 ? GeneratedFiles().points : GeneratedFiles().lines; }

void BM_FindNearest(benchmark::State& state) {
  ShapeLibrary lib;
  if (!lib.SW_OpenShpFile(Source(static_cast<int>(state.range(0))) + ".shp")) {
    state.SkipWithError(lib.LastError().c_str());
    return;
  }
  lib.SW_OpenDBFFile(Source(static_cast<int>(state.range(0))) + ".dbf");
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> lon(-180, 180), lat(-85, 85);
  std::string coords, attrs;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lib.SW_FindNearest(lon(rng), lat(rng), coords, attrs));
  }
  state.SetLabel(state.range(0) == 0 ? "100k points" : "100k polylines, 2M vertices");
}
BENCHMARK(BM_FindNearest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_OpenShpFile(benchmark::State& state) {
  const std::string path = Source(static_cast<int>(state.range(0))) + ".shp";
  for (auto _ : state) {
    ShapeLibrary lib;
    benchmark::DoNotOptimize(lib.SW_OpenShpFile(path));
  }
  state.SetLabel(state.range(0) == 0 ? "100k points" : "100k polylines, 2M vertices");
}
BENCHMARK(BM_OpenShpFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ExportShp2Kml(benchmark::State& state) {
  const std::string kml = (GeneratedFiles().dir / "points.kml").string();
  ShapeLibrary lib;
  for (auto _ : state) {
    if (lib.SW_ExportShp2Kml(GeneratedFiles().points, kml) != kFeatures) {
      state.SkipWithError(lib.LastError().c_str());
      return;
    }
  }
  state.SetLabel("100k points, 7 attributes");
}
BENCHMARK(BM_ExportShp2Kml)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
