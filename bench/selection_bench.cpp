// The selection document of a large feature: its text alone, and the whole
// way a selection is shown (written, then opened by a headless globe).
// The feature is a polygon of 20,000 vertices as the shapefile library
// writes coordinate texts; as rings it is one outer ring, or 20 rings of
// 1,000 (outer rings with holes) to measure the grouping of parts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/runtime/number_text.h"
#include "workspace/selection_kml.h"

namespace {

using namespace altimar;

constexpr int kVertices = 20000;
constexpr const char* kBox = "11.2,47.1,0 11.6,47.5,0";

// A closed ring of n vertices around (11.4, 47.3), clockwise (an outer
// ring) or not (a hole).
void AppendRing(std::string& out, int n, double radius, bool clockwise) {
  const double turn = (clockwise ? -2 : 2) * std::numbers::pi / (n - 1);
  for (int i = 0; i < n; ++i) {
    const double a = turn * (i % (n - 1));
    if (i > 0) out += ' ';
    out += runtime::General15(11.4 + radius * std::cos(a));
    out += ',';
    out += runtime::General15(47.3 + radius * std::sin(a));
    out += ",0";
  }
}

// One ring, or `rings` nested rings, outer and hole in turn.
std::string PolygonText(int rings) {
  std::string out;
  for (int r = 0; r < rings; ++r) {
    if (r > 0) out += '\n';
    AppendRing(out, kVertices / rings, 0.2 - 0.009 * r, r % 2 == 0);
  }
  return out;
}

void BM_FeatureKmlText(benchmark::State& state) {
  const std::string text = PolygonText(static_cast<int>(state.range(0)));
  ui::StyleSettings settings;
  settings.SetStyleDefaults();
  const auto style = workspace::FeatureStyle::From(settings, true);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string kml = workspace::FeatureKmlText({text, "Polygon", "ffffff00", kBox}, style);
    bytes = kml.size();
    benchmark::DoNotOptimize(kml.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["document_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FeatureKmlText)->Arg(1)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_SelectionDocument(benchmark::State& state) {
  const std::string text = PolygonText(static_cast<int>(state.range(0)));
  const auto dir = std::filesystem::temp_directory_path() /
                   ("altimar_selection_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  win::Desktop desktop(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
  desktop.Sleep(earth::Globe::kStartUpMs);
  host::ApplicationGE objGE(desktop);
  ui::StyleSettings settings;
  settings.SetStyleDefaults();
  workspace::SelectionDocuments docs(objGE, dir, settings, [] { return true; });
  for (auto _ : state) docs.FlyToSelectedKml(text, "Polygon", 5.0, kBox);
  const auto placemarks = globe->temporaryPlaces()->children().front()->children().front();
  if (placemarks->children().size() != 2 ||
      placemarks->children().back()->geometry(0).coords().size() == 0)
    state.SkipWithError("the globe did not show the feature");
  state.counters["document_bytes"] =
      static_cast<double>(std::filesystem::file_size(docs.SelectedPath()));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SelectionDocument)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
