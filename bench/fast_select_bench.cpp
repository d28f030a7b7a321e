// The fast-select window on a 100,000-point shapefile (generated, imported
// into a fresh attribute database, a headless globe beside it): a Find First
// of one text value, a Find All of 1,000 numbers (CODE runs 0, 7, 14, ...:
// ">= 693000" takes the last 1,000 in the index, "< 7000" the first 1,000,
// found from the end back), each with its list, log and document; and
// emptying a log of 1,000 and 100,000 entries.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "attribute_import.h"
#include "data/fast_select.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "synthetic_shapefiles.h"

namespace {

using namespace altimar;
namespace fs = std::filesystem;

constexpr int kPoints = 100000;

// A program folder with the points imported, the globe running and the window open.
struct Session {
  fs::path dir =
      fs::temp_directory_path() / ("altimar_fast_select_bench_" + std::to_string(::getpid()));
  win::Desktop desktop{win::Clock::Kind::Virtual};
  shapefile::ShapeLibrary shapes;
  std::unique_ptr<data::AttributeDatabase> rdb;
  ui::StyleSettings style;
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<host::ApplicationGE> objGE;
  std::unique_ptr<data::OperationDocument> doc;
  std::unique_ptr<data::FrmFastSelect> form;
  std::string error;

  Session() {
    fs::remove_all(dir);
    fs::create_directories(dir);
    desktop.SetQuietMessageBoxes(true);
    style.SetStyleDefaults();
    const std::string base = (dir / "points").string();
    rdb = std::make_unique<data::AttributeDatabase>(desktop, shapes, dir.string());
    if (!bench::WriteRandomPoints(base, kPoints) ||
        !bench::ImportShapefileAttributes(*rdb, shapes, base)) {
      error = "cannot write or import the shapefile";
      return;
    }
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
    desktop.Sleep(earth::Globe::kStartUpMs);
    objGE = std::make_unique<host::ApplicationGE>(desktop);
    doc = std::make_unique<data::OperationDocument>(*objGE, *rdb, shapes, dir, style,
                                                    [] { return false; });
    data::FastSelectLinks links;
    links.shapeTypeName = [] { return std::string("Point"); };
    form = std::make_unique<data::FrmFastSelect>(desktop, desktop.StartProgram("altimar"), *rdb,
                                                 *doc, style, links);
    if (!form->Open()) error = "the window did not open";
  }
  ~Session() {
    form.reset();
    doc.reset();
    rdb.reset();
    fs::remove_all(dir);
  }
  void Set(const std::string& column, int op, const std::string& value, bool all) {
    for (int i = 0; i < form->cmbSelectField.ListCount(); ++i)
      if (form->cmbSelectField.List(i) == column) form->cmbSelectField.SetListIndex(i);
    form->cmbOperator.SetListIndex(op);
    form->Text1.SetText(value);
    form->optMultiFind[all ? 1 : 0].SetValue(true);
  }
  std::int64_t Logged() { return rdb->OperationRs->RecordCount(); }
};

// Built once: every benchmark and every run of one share it.
Session& Shared() {
  static Session session;
  return session;
}

constexpr int kEqual = 0, kLess = 2, kGreaterOrEqual = 3;

void BM_FastSelectFindFirst100k(benchmark::State& state) {
  Session& s = Shared();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  s.Set("NAME", kEqual, "place 54321", false);
  s.form->Command1_Click();  // the index is built on first use
  for (auto _ : state) s.form->Command1_Click();
  if (s.form->Label2.Caption != "Fid: 54321" || s.Logged() != 1)
    state.SkipWithError(("found " + s.form->Label2.Caption).c_str());
}
BENCHMARK(BM_FastSelectFindFirst100k)->Unit(benchmark::kMillisecond);

void BM_FastSelectFindAll1000(benchmark::State& state) {
  Session& s = Shared();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  const bool below = state.range(0) == 1;
  s.Set("CODE", below ? kLess : kGreaterOrEqual, below ? "7000" : "693000", true);
  s.form->Command1_Click();
  for (auto _ : state) s.form->Command1_Click();
  if (s.form->Label2.Caption != "Found: 1000 record(s)" || s.Logged() != 1000 ||
      s.form->ListView1.ListItems().size() != 7000)
    state.SkipWithError(("found " + s.form->Label2.Caption).c_str());
  state.SetItemsProcessed(state.iterations() * 1000);
  state.counters["document_bytes"] = static_cast<double>(fs::file_size(s.doc->PathFor(1)));
}
BENCHMARK(BM_FastSelectFindAll1000)
    ->ArgName("below")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

void BM_FastSelectClearLog(benchmark::State& state) {
  Session& s = Shared();
  if (!s.error.empty()) return state.SkipWithError(s.error.c_str());
  const auto entries = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    s.rdb->AttrDb->BeginTrans();
    for (std::int32_t k = 0; k < entries; ++k) s.rdb->LogOperation(0, k, 1);
    s.rdb->AttrDb->CommitTrans();
    state.ResumeTiming();
    s.form->Command4_Click();
  }
  if (s.Logged() != 0) state.SkipWithError("the log is not empty");
  state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_FastSelectClearLog)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
