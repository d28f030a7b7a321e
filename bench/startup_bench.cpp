// Cold start of the program to Embed mode ready, headless: the workspace
// form loads, attaches its toolbar, progress bar and menu button to the
// running globe's menu bar and installs its hot keys.
#include <benchmark/benchmark.h>

#include "app/program.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace {

using namespace altimar;

// The program alone, with the globe already running.
void BM_ProgramStartToEmbedReady(benchmark::State& state) {
  win::Desktop d(win::Clock::Kind::Virtual);
  d.SetQuietMessageBoxes(true);
  auto globe = earth::Globe::Start(d, std::make_shared<earth::ProceduralTerrain>());
  d.Sleep(earth::Globe::kStartUpMs);
  for (auto _ : state) {
    app::Program p(d, "/tmp", 1);
    p.Start();
    if (p.ended() || p.frmQuarlin.ConnectMode != 2) state.SkipWithError("the program did not embed");
    state.PauseTiming();
    p.End();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ProgramStartToEmbedReady)->Unit(benchmark::kMillisecond);

// A fresh desktop and globe each time as well (the globe's own start-up wait
// is on the virtual clock).
void BM_DesktopGlobeAndProgramCold(benchmark::State& state) {
  for (auto _ : state) {
    win::Desktop d(win::Clock::Kind::Virtual);
    d.SetQuietMessageBoxes(true);
    auto globe = earth::Globe::Start(d, std::make_shared<earth::ProceduralTerrain>());
    d.Sleep(earth::Globe::kStartUpMs);
    app::Program p(d, "/tmp", 1);
    p.Start();
    benchmark::DoNotOptimize(p.frmQuarlin.ConnectMode);
  }
}
BENCHMARK(BM_DesktopGlobeAndProgramCold)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
