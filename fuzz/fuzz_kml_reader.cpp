// The KML reader: whatever bytes, as a KML file imported into a new
// attribute database (schema pass, then import pass) and the work shapefile.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/attribute_database.h"
#include "platform/shapefile/shape_library.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/altimar_fuzz_kml_reader_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made);
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  desktop.SetQuietMessageBoxes(true);
  const std::string path = Folder() + "/in.kml";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  altimar::shapefile::ShapeLibrary shapes;
  altimar::data::AttributeDatabase rdb(desktop, shapes, Folder());
  try {
    rdb.ImportKml(path);
  } catch (const altimar::dao::DaoError&) {
    std::abort();  // the program folder is writable: building must not fail
  }
  shapes.SW_CloseShpFile();
  return 0;
}
