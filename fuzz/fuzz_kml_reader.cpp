// The KML reader: whatever bytes, as a KML file imported into a new
// attribute database (schema pass, then import pass) and the work shapefile.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/attribute_database.h"
#include "platform/shapefile/shape_library.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  desktop.SetQuietMessageBoxes(true);
  const std::string& folder = altimar::fuzzing::ScratchFolder("kml_reader");
  const std::string path = folder + "/in.kml";
  altimar::fuzzing::WriteBytes(path, data, size);
  altimar::shapefile::ShapeLibrary shapes;
  altimar::data::AttributeDatabase rdb(desktop, shapes, folder);
  try {
    rdb.ImportKml(path);
  } catch (const altimar::dao::DaoError&) {
    std::abort();  // the program folder is writable: building must not fail
  }
  shapes.SW_CloseShpFile();
  return 0;
}
