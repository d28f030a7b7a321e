// The many-feature selection document: 5,000 features selected (operation
// log rows, in no particular order) out of a 100,000-point shapefile. The
// text alone (read from the log and the shapefile; kind 3 also moves every
// coordinate text), and the whole way it is shown: written, then opened by
// a headless globe.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "data/attribute_database.h"
#include "data/operation_document.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/shapefile/shape_library.h"
#include "synthetic_shapefiles.h"

namespace {

using namespace altimar;
namespace fs = std::filesystem;

constexpr int kPoints = 100000;
constexpr int kSelected = 5000;

// A program folder with the shapefile open and kSelected FIDs in the log.
struct Selection {
  fs::path dir =
      fs::temp_directory_path() / ("altimar_operation_bench_" + std::to_string(::getpid()));
  win::Desktop desktop{win::Clock::Kind::Virtual};
  shapefile::ShapeLibrary shapes;
  std::unique_ptr<data::AttributeDatabase> rdb;
  ui::StyleSettings style;
  std::string error;

  Selection() {
    fs::remove_all(dir);
    fs::create_directories(dir);
    style.SetStyleDefaults();
    const std::string base = (dir / "points").string();
    if (!bench::WriteRandomPoints(base, kPoints) || !shapes.SW_OpenShpFile(base + ".shp")) {
      error = "cannot write the shapefile";
      return;
    }
    rdb = std::make_unique<data::AttributeDatabase>(desktop, shapes, dir.string());
    rdb->CreateDbfDatabase(rdb->DatabasePath());
    rdb->OpenAttributeDb(rdb->DatabasePath());
    std::vector<int> fids(kPoints);
    std::iota(fids.begin(), fids.end(), 0);
    std::shuffle(fids.begin(), fids.end(), std::mt19937(7));
    rdb->AttrDb->BeginTrans();
    for (int k = 0; k < kSelected; ++k) rdb->LogOperation(0, fids[static_cast<std::size_t>(k)], 1);
    rdb->AttrDb->CommitTrans();
  }
  ~Selection() {
    rdb.reset();
    fs::remove_all(dir);
  }
};

const data::OperationRequest kRequest{kSelected, "Point", {0.001, -0.002, 0}, true};

void BM_OperationDocumentText5000(benchmark::State& state) {
  Selection s;
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  host::ApplicationGE objGE(s.desktop);
  data::OperationDocument doc(objGE, *s.rdb, s.shapes, s.dir, s.style, [] { return true; });
  const int kind = static_cast<int>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = doc.DocumentText(kind, "ffFFFF00", kRequest);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations() * kSelected);
  state.counters["document_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_OperationDocumentText5000)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_OperationDocument5000(benchmark::State& state) {
  Selection s;
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  auto globe = earth::Globe::Start(s.desktop, std::make_shared<earth::ProceduralTerrain>());
  s.desktop.Sleep(earth::Globe::kStartUpMs);
  host::ApplicationGE objGE(s.desktop);
  data::OperationDocument doc(objGE, *s.rdb, s.shapes, s.dir, s.style, [] { return true; });
  for (auto _ : state) doc.SendKmlToGE4Operation(1, "ffFFFF00", 5.0, kRequest);
  state.SetItemsProcessed(state.iterations() * kSelected);
  const auto& folders = globe->temporaryPlaces()->children().back()->children();
  if (folders.size() != 2 || folders.front()->children().size() != kSelected)
    state.SkipWithError("the globe did not show every feature and the box");
  state.counters["document_bytes"] = static_cast<double>(fs::file_size(doc.PathFor(1)));
}
BENCHMARK(BM_OperationDocument5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
