// dBASE tables: whatever bytes, written to a table in a scratch folder, then
// opened and read record by record (the first records, some past the end).
#include <cstdint>
#include <string>
#include <vector>

#include "data/dbf_reader.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  desktop.SetQuietMessageBoxes(true);
  const std::string path = altimar::fuzzing::ScratchFolder("dbf") + "/t.dbf";
  altimar::fuzzing::WriteBytes(path, data, size);
  altimar::data::DbfReader dbf(desktop);
  std::vector<std::string> values;
  if (dbf.OpenDbf(path) == 1) {
    for (std::int64_t r = 0; r < 64; ++r) dbf.ReadDbfRecord(1, r, values);
    dbf.ReadDbfRecord(1, 1 << 30, values);
    dbf.CloseDbf(1);
  }
  return 0;
}
