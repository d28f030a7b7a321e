// Cost of one height query of the embedded terrain (target: well under 1 us).
#include <benchmark/benchmark.h>

#include "platform/earth/procedural_terrain.h"

namespace {

void BM_ProceduralHeight(benchmark::State& state) {
  double lon = 11.2, lat = 47.15;
  for (auto _ : state) {
    benchmark::DoNotOptimize(altimar::earth::ProceduralTerrain::Height(lon, lat));
    lon += 0.0004;
    if (lon > 11.6) {
      lon = 11.2;
      lat += 0.0003;
    }
  }
}
BENCHMARK(BM_ProceduralHeight);

void BM_ProceduralHeightOcean(benchmark::State& state) {
  double lon = 99.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(altimar::earth::ProceduralTerrain::Height(lon, 10.0));
    lon += 1e-5;
  }
}
BENCHMARK(BM_ProceduralHeightOcean);

}  // namespace

BENCHMARK_MAIN();
