// The globe opening a big contour document: the contour run writes the
// 999 x 999 grid of the embedded terrain at levels every 10 m (labels off,
// then on), and the globe opens it as contour.kml is opened after a run.
// Counters: the document's size, the heap the loaded document keeps (as the
// C library counts it: a counting allocator would make the reading threads
// contend), and that heap per byte of document; bytes per second is the
// reading speed, in real time.
// For comparison on the same machine in the same run: the places read by
// one thread, and expat alone reading the file with empty handlers.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <malloc.h>

#include <cstdio>

#include <filesystem>
#include <memory>
#include <string>

#include "app/contour_batch.h"
#include "contour/contour.h"
#include "contour/grid_fill.h"
#include "platform/earth/globe.h"
#include "platform/earth/kml_places.h"
#include "platform/earth/procedural_terrain.h"

namespace {

using namespace altimar;

struct Document {
  std::string path;
  std::uint64_t bytes = 0, segments = 0;
  explicit Document(bool labels) {
    win::Desktop desktop;
    desktop.SetQuietMessageBoxes(true);
    runtime::Pcg32 random(42);
    contour::Contour c(desktop, random);
    c.SetStartupDefaults();
    c.SetDialogDefaults();
    c.RetraceOnly = true;
    contour::FillGrid(c, app::kDefaultWindow, 999, 999, [](double lon, double lat) {
      return std::optional<double>(earth::ProceduralTerrain::Height(lon, lat));
    });
    c.LevelMode = contour::kLevelsByInterval;
    c.LevelInterval = 10;
    c.LabelContours = labels;
    path = (std::filesystem::temp_directory_path() /
            (labels ? "altimar_bench_load_labels.kml" : "altimar_bench_load.kml"))
               .string();
    const auto r = c.WriteContourFile(path);
    bytes = r.bytes;
    segments = r.segments;
  }
  ~Document() { std::filesystem::remove(path); }
};

const Document& Plain() {
  static Document doc(false);
  return doc;
}

void BM_GlobeOpensContourDocument(benchmark::State& state) {
  static Document labelled(true);
  const Document& doc = state.range(0) ? labelled : Plain();
  if (doc.bytes < 100'000'000) state.SkipWithError("the document is smaller than 100 MB");
  win::Desktop desktop(win::Clock::Kind::Virtual);
  auto globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
  auto heap = [] {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<long long>(m.uordblks + m.hblkhd);
  };
  long long kept = 0;
  for (auto _ : state) {
    state.PauseTiming();
    globe->temporaryPlaces()->ClearChildren();
    const long long base = heap();
    state.ResumeTiming();
    globe->OpenKmlFile(doc.path, 1);
    state.PauseTiming();
    kept = heap() - base;
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(doc.bytes) * state.iterations());
  state.counters["doc_MB"] = static_cast<double>(doc.bytes) / 1e6;
  state.counters["segments"] = static_cast<double>(doc.segments);
  state.counters["kept_MB"] = static_cast<double>(kept) / 1e6;
  state.counters["kept_per_doc"] = static_cast<double>(kept) / static_cast<double>(doc.bytes);
}
BENCHMARK(BM_GlobeOpensContourDocument)->Arg(0)->Arg(1)->ArgName("labels")->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(3);

void BM_PlacesReadByOneThread(benchmark::State& state) {
  const Document& doc = Plain();
  for (auto _ : state) {
    auto r = earth::LoadKmlFile(doc.path, {1, 0});
    if (!r.root) state.SkipWithError(r.error.c_str());
    benchmark::DoNotOptimize(r.root);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(doc.bytes) * state.iterations());
}
BENCHMARK(BM_PlacesReadByOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);

// The reference: expat reading the file, handlers that only count.
void BM_ExpatAloneReadsTheDocument(benchmark::State& state) {
  const Document& doc = Plain();
  long events = 0;
  for (auto _ : state) {
    XML_Parser p = XML_ParserCreate(nullptr);
    XML_SetUserData(p, &events);
    XML_SetElementHandler(
        p, [](void* n, const XML_Char*, const XML_Char**) { ++*static_cast<long*>(n); },
        [](void* n, const XML_Char*) { ++*static_cast<long*>(n); });
    XML_SetCharacterDataHandler(p, [](void* n, const XML_Char*, int) { ++*static_cast<long*>(n); });
    std::FILE* f = std::fopen(doc.path.c_str(), "rb");
    for (bool last = false; f && !last;) {
      void* buf = XML_GetBuffer(p, 1 << 18);
      const std::size_t n = std::fread(buf, 1, 1 << 18, f);
      last = n == 0;
      if (XML_ParseBuffer(p, static_cast<int>(n), last) != XML_STATUS_OK) state.SkipWithError("expat failed");
    }
    if (f) std::fclose(f);
    XML_ParserFree(p);
  }
  benchmark::DoNotOptimize(events);
  state.SetBytesProcessed(static_cast<std::int64_t>(doc.bytes) * state.iterations());
}
BENCHMARK(BM_ExpatAloneReadsTheDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
