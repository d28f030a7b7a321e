// The globe's terrain queries and screen sampling of a 999 x 999 grid, on
// the embedded terrain over the Alps (straight down, range 30 km).
#include <benchmark/benchmark.h>

#include "contour/contour.h"
#include "host/mouse_hooks.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace {

using namespace altimar;

struct Scene {
  win::Desktop desktop{win::Clock::Kind::Virtual};
  std::shared_ptr<earth::Globe> globe;
  Scene() {
    earth::GlobeOptions o;
    o.camera.focusLatitude = 47.3;
    o.camera.focusLongitude = 11.4;
    o.camera.range = 30000;
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>(), o);
    desktop.Sleep(earth::Globe::kStartUpMs);
  }
};

// Positions in row order, as screen sampling asks for them.
void BM_PointOnTerrain(benchmark::State& state) {
  Scene s;
  int i = 0, j = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(s.globe->GetPointOnTerrainFromScreenCoords(2.0 * i / 999 - 1, 2.0 * j / 999 - 1));
    if (++i == 999) {
      i = 0;
      j = (j + 1) % 999;
    }
  }
}
BENCHMARK(BM_PointOnTerrain);

// The terrain alone, for comparison: one height of the embedded terrain.
void BM_TerrainHeight(benchmark::State& state) {
  double lon = 11.2;
  for (auto _ : state) {
    benchmark::DoNotOptimize(earth::ProceduralTerrain::Height(lon, 47.3));
    lon = lon > 11.6 ? 11.2 : lon + 0.0004;
  }
}
BENCHMARK(BM_TerrainHeight);

void BM_ScreenSampling999(benchmark::State& state) {
  Scene s;
  runtime::Pcg32 random(1);
  contour::Contour c(s.desktop, random);
  host::MouseHooks hooks(s.desktop, s.desktop.StartProgram("altimar"));
  hooks.FillClientTable();
  c.set_mouse_hooks(&hooks);
  c.SetStartupDefaults();
  c.SetDialogDefaults();
  c.GridCols = 999;
  c.GridRows = 999;
  for (auto _ : state) {
    if (!c.SampleScreenGrid()) state.SkipWithError("sampling failed");
  }
}
BENCHMARK(BM_ScreenSampling999)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
