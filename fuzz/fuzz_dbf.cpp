// dBASE tables: whatever bytes, written to a table in a scratch folder, then
// opened and read record by record (the first records, some past the end).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/dbf_reader.h"

namespace {

const std::string& TablePath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/altimar_fuzz_dbf_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) std::abort();
    return std::string(made) + "/t.dbf";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::Desktop desktop{altimar::win::Clock::Kind::Virtual};
  desktop.SetQuietMessageBoxes(true);
  std::FILE* f = std::fopen(TablePath().c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  altimar::data::DbfReader dbf(desktop);
  std::vector<std::string> values;
  if (dbf.OpenDbf(TablePath()) == 1) {
    for (std::int64_t r = 0; r < 64; ++r) dbf.ReadDbfRecord(1, r, values);
    dbf.ReadDbfRecord(1, 1 << 30, values);
    dbf.CloseDbf(1);
  }
  return 0;
}
