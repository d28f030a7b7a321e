// The open command end to end: a 100,000-point shapefile with seven fields
// chosen in the file dialog, its attribute database built, its KML export
// written and opened in the globe.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/program.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "synthetic_shapefiles.h"

namespace {

namespace fs = std::filesystem;
using namespace altimar;

void BM_OpenShapefile100k(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / "altimar_open_bench";
  fs::create_directories(dir);
  const std::string base = (dir / "points").string();
  if (!fs::exists(base + ".shp") && !bench::WriteRandomPoints(base, 100000)) {
    state.SkipWithError("cannot write the shapefile");
    return;
  }
  win::Desktop desktop(win::Clock::Kind::Virtual);
  desktop.SetQuietMessageBoxes(true);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
  desktop.Sleep(earth::Globe::kStartUpMs);
  app::Program program(desktop, (dir / "program").string(), 1);
  fs::create_directories(dir / "program");
  program.Start();
  for (auto _ : state) {
    desktop.QueueDialogAnswer(base + ".shp");
    program.frmQuarlin.OpenCommand();
    if (program.rdb.FeatureRs->RecordCount() != 100000 || !desktop.MessageBoxLog().empty()) {
      state.SkipWithError("the open failed");
      break;
    }
  }
  state.counters["records"] = 100000;
}
BENCHMARK(BM_OpenShapefile100k)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
