// The attribute database's imports: a dBASE table of 100,000 records with 7
// fields (text, numeric, logical, date), and a KML file of 50,000
// placemarks through both passes, each into a new bexo.mdb.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "attribute_import.h"
#include "synthetic_shapefiles.h"

namespace {
namespace fs = std::filesystem;
using altimar::data::AttributeDatabase;

fs::path Scratch(const std::string& name) {
  const fs::path dir =
      fs::temp_directory_path() / ("altimar_data_bench_" + std::to_string(::getpid())) / name;
  fs::create_directories(dir);
  return dir;
}

void BM_ImportDbf(benchmark::State& state) {
  const fs::path dir = Scratch("dbf");
  const std::string base = (dir / "points").string();
  if (!altimar::bench::WriteRandomPoints(base, 100000))
    state.SkipWithError("cannot write the table");
  altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  altimar::shapefile::ShapeLibrary shapes;
  AttributeDatabase rdb(desktop, shapes, dir.string());
  for (auto _ : state)
    if (!altimar::bench::ImportShapefileAttributes(rdb, shapes, base))
      state.SkipWithError(rdb.LastError().c_str());
  state.SetItemsProcessed(state.iterations() * 100000);
  state.counters["rows"] = static_cast<double>(rdb.FeatureRs->RecordCount());
  fs::remove_all(dir.parent_path());
}
BENCHMARK(BM_ImportDbf)->Unit(benchmark::kMillisecond)->UseRealTime();

void WritePlacemarks(const std::string& path, int n) {
  std::ofstream out(path);
  out << "<?xml version=\"1.0\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
         "xmlns:qelix=\"urn:q\">"
         "<Document>\n<qelix:propertyDef name=\"floors\" type=\"integer\"/>\n"
         "<qelix:propertyDef name=\"owner\" type=\"string\"/>\n";
  for (int i = 0; i < n; ++i) {
    out << "  <Placemark>\n    <name>Place " << i << "</name>\n    <description>Number " << i
        << " of the benchmark</description>\n    <styleUrl>#s" << i % 7 << "</styleUrl>\n"
        << "    <qelix:property ref=\"q:qelix_floors\">" << i % 40 << "</qelix:property>\n"
        << "    <qelix:property ref=\"q:qelix_owner\">Owner " << i % 1000 << "</qelix:property>\n"
        << "    "
           "<Point><extrude>1</extrude><altitudeMode>relativeToGround</altitudeMode><coordinates>"
        << 6 + (i % 1000) * 0.001 << "," << 49 + (i / 1000) * 0.001
        << ",0</coordinates></Point>\n  </Placemark>\n";
  }
  out << "</Document></kml>\n";
}

void BM_ImportKml(benchmark::State& state) {
  const fs::path dir = Scratch("kml");
  const std::string kml = (dir / "places.kml").string();
  WritePlacemarks(kml, 50000);
  altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  altimar::shapefile::ShapeLibrary shapes;
  AttributeDatabase rdb(desktop, shapes, dir.string());
  for (auto _ : state) {
    if (!rdb.ImportKml(kml)) state.SkipWithError(rdb.LastError().c_str());
    shapes.SW_CloseShpFile();
  }
  state.SetItemsProcessed(state.iterations() * 50000);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(kml)));
  state.counters["rows"] = static_cast<double>(rdb.FeatureRs->RecordCount());
  fs::remove_all(dir.parent_path());
}
BENCHMARK(BM_ImportKml)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
