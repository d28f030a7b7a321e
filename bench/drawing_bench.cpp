// What runs on every pointer move inside the mouse-hook clients: the cursor
// cross and the pick rectangle on the 3D view, and the screen-colour preview
// with its rubber band (a screen pixel read, the swatch repainted, the XOR
// line moved).
#include <benchmark/benchmark.h>

#include "app/program.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace {

using namespace altimar;

struct World {
  World() {
    d.SetQuietMessageBoxes(true);
    globe = earth::Globe::Start(d, std::make_shared<earth::ProceduralTerrain>());
    d.Sleep(earth::Globe::kStartUpMs);
    program = std::make_unique<app::Program>(d, "/tmp", 1);
    program->Start();
    program->drawing.InitScreenDrawing();
  }
  win::Desktop d{win::Clock::Kind::Virtual};
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<app::Program> program;
};

void BM_DrawCursor(benchmark::State& state) {
  World w;
  w.program->style.CursorShape = static_cast<std::int32_t>(state.range(0));
  int x = 100;
  for (auto _ : state) w.program->drawing.DrawCursor(x++ % 900 + 50, 300, 20);
}
BENCHMARK(BM_DrawCursor)->Arg(20)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_DrawPickRect(benchmark::State& state) {
  World w;
  w.program->hooks.LastHookPoint = {100, 100};
  int x = 0;
  for (auto _ : state) w.program->drawing.DrawPickRect({300 + x++ % 400, 400});
}
BENCHMARK(BM_DrawPickRect)->Unit(benchmark::kMicrosecond);

void BM_PreviewScreenColorWithRubberBand(benchmark::State& state) {
  World w;
  auto& dlg = w.program->styles.frmBBoxStyle;
  dlg.Show();
  w.program->style.StyleTarget = 1;
  dlg.chkRubberband.SetValue(1);
  auto& pick = w.program->styles.pick;
  pick.RubberBandBegin();
  int k = 0;
  for (auto _ : state) {
    w.program->hooks.LastHookPoint = {600 + k % 300, 300 + k % 200};
    ++k;
    pick.PreviewScreenColor();
  }
  pick.RubberBandEnd();
}
BENCHMARK(BM_PreviewScreenColorWithRubberBand)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
