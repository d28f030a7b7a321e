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

// One repaint of a 1024 x 700 view (the camera still: the height raster is kept).
void BM_Repaint1024x700(benchmark::State& state) {
  Scene s;
  const win::HWND main = s.globe->GetMainHwnd();
  s.desktop.MoveWindow(main, 0, 0, 1024 + 8, 700 + 22 + 34, false);
  win::RECT r;
  s.desktop.GetClientRect(s.globe->GetRenderHwnd(), &r);
  s.globe->Paint();
  for (auto _ : state) s.globe->Paint();
  state.counters["width"] = r.width();
  state.counters["height"] = r.height();
}
BENCHMARK(BM_Repaint1024x700)->Unit(benchmark::kMillisecond);

// The first paint after the camera moved: the heights under the view are read anew.
void BM_PaintAfterMove(benchmark::State& state) {
  Scene s;
  s.desktop.MoveWindow(s.globe->GetMainHwnd(), 0, 0, 1024 + 8, 700 + 22 + 34, false);
  double lat = 47.3;
  for (auto _ : state) {
    auto c = s.globe->GetCamera(0);
    lat += 0.001;
    c->put_FocusPointLatitude(lat);
    s.globe->SetCamera(*c, 5.0);
    s.globe->Paint();
  }
}
BENCHMARK(BM_PaintAfterMove)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
