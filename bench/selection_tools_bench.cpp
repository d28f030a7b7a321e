// The selection tools on 100,000 random-walk polylines (20 vertices each)
// with their attribute database: the pick client's work per pointer move,
// a pick end to end, a rectangle selecting about 5,000 features with its
// document, and a shift of those 5,000 rows; and browsing to a feature of
// 20,000 vertices.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "app/program.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "synthetic_shapefiles.h"

namespace {

namespace fs = std::filesystem;
using namespace altimar;

// One desktop, globe and program with the polylines open, for every benchmark.
struct World {
  win::Desktop desktop{win::Clock::Kind::Virtual};
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<app::Program> program;
  win::RECT view{};
  double boxEast = 0;  // the rectangle [0, boxEast] x [0, 51] meets about 5,000 lines
  std::string error;

  World() {
    const fs::path dir = fs::temp_directory_path() / "altimar_selection_bench";
    fs::create_directories(dir / "program");
    const std::string base = (dir / "lines").string();
    if (!fs::exists(base + ".shp") && !bench::WriteRandomPolylines(base, 100000, 20)) {
      error = "cannot write the shapefile";
      return;
    }
    desktop.SetQuietMessageBoxes(true);
    earth::GlobeOptions o;
    o.placement = {0, 0, 700, 800};
    o.camera.focusLongitude = 30;
    o.camera.focusLatitude = 25;
    o.camera.range = 2e6;
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>(), o);
    desktop.Sleep(earth::Globe::kStartUpMs);
    program = std::make_unique<app::Program>(desktop, (dir / "program").string(), 1);
    program->Start();
    auto& q = program->frmQuarlin;
    q.optStart_Click(workspace::kDock);
    program->frmOpenOptions.chkConvert.Value = 0;  // the export is the open's business
    desktop.QueueDialogAnswer(base + ".shp");
    q.OpenCommand();
    if (!program->rdb.FeatureRs || program->rdb.FeatureRs->RecordCount() != 100000) {
      error = "the open failed";
      return;
    }
    desktop.GetWindowRect(globe->GetRenderHwnd(), &view);
    // The box's width for about 5,000 lines.
    double lo = 1, hi = 180;
    for (int k = 0; k < 30; ++k) {
      const double mid = (lo + hi) / 2;
      std::string fids;
      const int n = program->shapes.SW_MultiSearchShpFile(0, 0, mid, 51, fids, "");
      (n < 5000 ? lo : hi) = mid;
    }
    boxEast = hi;
  }
};

World& TheWorld() {
  static World w;
  return w;
}

void BM_PickClientPerPointerMove(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.error.empty()) return state.SkipWithError(w.error.c_str());
  auto& q = w.program->frmQuarlin;
  q.optSelectType[0].SetValue(true);
  q.CaptureToggle();
  int k = 0;
  for (auto _ : state) {
    w.desktop.InjectMouseMove(w.view.left + 100 + (k % 400), w.view.top + 100 + (k % 300));
    w.desktop.DoEvents();
    ++k;
  }
  q.EndAllTools();
}
BENCHMARK(BM_PickClientPerPointerMove)->Unit(benchmark::kMicrosecond);

void BM_PickPolylines100k(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.error.empty()) return state.SkipWithError(w.error.c_str());
  auto& q = w.program->frmQuarlin;
  auto& sel = w.program->selection;
  for (auto _ : state) {
    // A click waiting for its tick: terrain point, nearest line, log, document.
    q.GEMouseX.SetText("0.1");
    q.GEMouseY.SetText("-0.2");
    sel.ClickDone = true;
    q.Timer1_Tick();
    if (q.CurrentFID < 0) return state.SkipWithError("nothing picked");
  }
}
BENCHMARK(BM_PickPolylines100k)->Unit(benchmark::kMillisecond);

void BM_RectangleSelect5000of100k(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.error.empty()) return state.SkipWithError(w.error.c_str());
  auto& q = w.program->frmQuarlin;
  for (auto _ : state) q.RectangleSearchAt(0, 0, w.boxEast, 51);
  state.counters["selected"] = w.program->selection.SelCount;
}
BENCHMARK(BM_RectangleSelect5000of100k)->Unit(benchmark::kMillisecond);

void BM_ShiftRecord5000of100k(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.error.empty()) return state.SkipWithError(w.error.c_str());
  auto& q = w.program->frmQuarlin;
  q.RectangleSearchAt(0, 0, w.boxEast, 51);
  double dx = 0.001;
  for (auto _ : state) q.RecordShift(dx += 0.001, 0.002, 0);
  state.counters["selected"] = w.program->selection.SelCount;
}
BENCHMARK(BM_ShiftRecord5000of100k)->Unit(benchmark::kMillisecond);

void BM_ShiftWithDocument5000of100k(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.error.empty()) return state.SkipWithError(w.error.c_str());
  auto& q = w.program->frmQuarlin;
  q.RectangleSearchAt(0, 0, w.boxEast, 51);
  for (auto _ : state) {
    q.RecordShift(0.01, 0.02, 0);
    q.ShowOperationDocument(workspace::FrmQuarlin::kDeletedDocument, "ff7f7f7f", 1.0, false,
                            {0.01, 0.02, 0});
  }
  state.counters["selected"] = w.program->selection.SelCount;
}
BENCHMARK(BM_ShiftWithDocument5000of100k)->Unit(benchmark::kMillisecond);

// Browsing to a FID: the feature read, its document written and opened.
void BM_BrowseToFid20000Vertices(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / "altimar_browse_bench";
  fs::create_directories(dir / "program");
  const std::string base = (dir / "long").string();
  if (!fs::exists(base + ".shp") && !bench::WriteRandomPolylines(base, 2, 20000))
    return state.SkipWithError("cannot write the shapefile");
  win::Desktop desktop(win::Clock::Kind::Virtual);
  desktop.SetQuietMessageBoxes(true);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
  desktop.Sleep(earth::Globe::kStartUpMs);
  app::Program program(desktop, (dir / "program").string(), 1);
  program.Start();
  desktop.QueueDialogAnswer(base + ".shp");
  auto& q = program.frmQuarlin;
  q.OpenCommand();
  if (program.source.RecordCount != 2) return state.SkipWithError("the open failed");
  int fid = 0;
  for (auto _ : state) {
    q.PickedFID = fid ^= 1;
    q.ShowFeatureByFid();
  }
  state.counters["vertices"] = 20000;
}
BENCHMARK(BM_BrowseToFid20000Vertices)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
