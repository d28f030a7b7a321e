// Cost of the attribute database: the dBASE importer's bulk load (100,000
// rows of 7 fields with 7 single-column indexes, target well under 0.5 s),
// and the Seek / walk of the queries afterwards.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/dao/dao.h"

namespace {

namespace dao = altimar::dao;
namespace fs = std::filesystem;

constexpr int kRows = 100000;

std::string TempFile() {
  return (fs::temp_directory_path() / ("altimar_dao_bench_" + std::to_string(::getpid()) + ".mdb"))
      .string();
}

dao::TableDef FeatureTable() {
  dao::TableDef def{"Feature",
                    {{"PName", dao::DataType::Text, 40},
                     {"Kind", dao::DataType::Text, 12},
                     {"Height", dao::DataType::Double},
                     {"Pop", dao::DataType::Long},
                     {"Rank", dao::DataType::Integer},
                     {"Capital", dao::DataType::Boolean},
                     {"Class", dao::DataType::Byte}},
                    {}};
  for (const auto& field : def.fields) def.indexes.push_back({field.name, field.name});
  return def;
}

// Names of places, made once so the load measures the database, not text formatting.
const std::vector<std::string>& Names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    std::mt19937 gen(7);
    for (int i = 0; i < kRows; ++i) {
      out.push_back("Place " + std::to_string(gen() % 1000000) + (i % 2 ? " upper" : " Lower"));
    }
    return out;
  }();
  return names;
}

void Load(dao::Database& db) {
  static const std::string kinds[] = {"town", "Village", "peak", "LAKE"};
  const auto& names = Names();
  auto rs = db.OpenRecordset("Feature");
  db.BeginTrans();
  for (int i = 0; i < kRows; ++i) {
    rs->AddNew();
    rs->Set(0, names[i]);
    rs->Set(1, kinds[i % 4]);
    rs->Set(2, 100.0 + i * 0.25);
    rs->Set(3, std::int64_t{i * 37 % 500000});
    rs->Set(4, std::int64_t{i % 30000});
    rs->Set(5, std::int64_t{i % 7 == 0});
    rs->Set(6, std::int64_t{i % 256});
    rs->Update();
  }
  db.CommitTrans();
}

// indexesFirst: every index exists before the rows go in (an insert per
// row and index); buildAfter: every index is built after the load.
void AppendRows(benchmark::State& state, bool indexesFirst, bool buildAfter) {
  const std::string path = TempFile();
  Names();
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove(path);
    state.ResumeTiming();
    auto db = dao::Database::CreateDatabase(path);
    const dao::TableDef def = FeatureTable();
    db->CreateTable(def);
    if (indexesFirst) {
      auto rs = db->OpenRecordset("Feature");
      for (const auto& index : def.indexes) rs->SetIndex(index.name);
    }
    Load(*db);
    if (buildAfter) {
      auto rs = db->OpenRecordset("Feature");
      for (const auto& index : def.indexes) rs->SetIndex(index.name);
    }
    db->Close();
  }
  fs::remove(path);
  state.SetItemsProcessed(state.iterations() * kRows);
}

// As the importer runs: indexes are built when a query first needs them.
void BM_DaoAppendRows(benchmark::State& state) { AppendRows(state, false, false); }
BENCHMARK(BM_DaoAppendRows)->Unit(benchmark::kMillisecond);

// The load plus every one of the 7 indexes built afterwards.
void BM_DaoAppendRowsThenBuildIndexes(benchmark::State& state) { AppendRows(state, false, true); }
BENCHMARK(BM_DaoAppendRowsThenBuildIndexes)->Unit(benchmark::kMillisecond);

// The alternative not taken: indexes kept up to date during the load.
void BM_DaoAppendRowsIndexesFirst(benchmark::State& state) { AppendRows(state, true, false); }
BENCHMARK(BM_DaoAppendRowsIndexesFirst)->Unit(benchmark::kMillisecond);

struct Loaded {
  Loaded() : path(TempFile() + ".seek") {
    fs::remove(path);
    db = dao::Database::CreateDatabase(path);
    db->CreateTable(FeatureTable());
    Load(*db);
  }
  ~Loaded() {
    db.reset();
    fs::remove(path);
  }
  std::string path;
  std::unique_ptr<dao::Database> db;
};

// Seek ">=" on the text index and read the row found.
void BM_DaoSeek(benchmark::State& state) {
  Loaded data;
  auto rs = data.db->OpenRecordset("Feature");
  rs->SetIndex("PName");
  const auto& names = Names();
  std::mt19937 gen(3);
  for (auto _ : state) {
    rs->Seek(dao::Comparison::GreaterOrEqual, names[gen() % kRows]);
    benchmark::DoNotOptimize(rs->Get(3));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DaoSeek);

// Seek "=" on a numeric index.
void BM_DaoSeekNumeric(benchmark::State& state) {
  Loaded data;
  auto rs = data.db->OpenRecordset("Feature");
  rs->SetIndex("Pop");
  std::mt19937 gen(5);
  for (auto _ : state) {
    rs->Seek(dao::Comparison::Equal, static_cast<std::int64_t>(gen() % 500000));
    benchmark::DoNotOptimize(rs->NoMatch());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DaoSeekNumeric);

// The edit loop of a query: Seek a name, change another field, Update.
void BM_DaoSeekEditUpdate(benchmark::State& state) {
  Loaded data;
  auto rs = data.db->OpenRecordset("Feature");
  rs->SetIndex("PName");
  const auto& names = Names();
  std::mt19937 gen(11);
  data.db->BeginTrans();
  for (auto _ : state) {
    rs->Seek(dao::Comparison::Equal, names[gen() % kRows]);
    rs->Edit();
    rs->Set(6, static_cast<std::int64_t>(gen() % 256));
    rs->Update();
  }
  data.db->CommitTrans();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DaoSeekEditUpdate);

// Choosing another index, which reads the new order of all rows.
void BM_DaoSwitchIndex(benchmark::State& state) {
  Loaded data;
  auto rs = data.db->OpenRecordset("Feature");
  rs->SetIndex("Pop");
  rs->SetIndex("PName");
  bool name = false;
  for (auto _ : state) {
    rs->SetIndex(name ? "PName" : "Pop");
    name = !name;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DaoSwitchIndex)->Unit(benchmark::kMillisecond);

// MoveNext and one field read per row, in index order, over the whole table.
void BM_DaoWalkIndex(benchmark::State& state) {
  Loaded data;
  auto rs = data.db->OpenRecordset("Feature");
  rs->SetIndex("Height");
  for (auto _ : state) {
    rs->MoveFirst();
    for (; !rs->EOF_(); rs->MoveNext()) benchmark::DoNotOptimize(rs->Get(2));
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_DaoWalkIndex)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
