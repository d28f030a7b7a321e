// A KML file read whole and read in parts by several threads: both give the
// same places, or the same error. Any difference is a fault of the split.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/earth/kml_places.h"
#include "platform/earth/place_dump.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/altimar_fuzz_kml_parts_" + std::to_string(::getpid()) + ".kml";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  using altimar::earth::LoadKmlFile;
  const auto whole = LoadKmlFile(path, {1, 0});
  const auto parts = LoadKmlFile(path, {3, 16});
  const std::string a = whole.root ? altimar::earth::DumpPlaces(*whole.root) : "error: " + whole.error;
  const std::string b = parts.root ? altimar::earth::DumpPlaces(*parts.root) : "error: " + parts.error;
  if (a != b) {
    std::fprintf(stderr, "whole:\n%s\nin parts:\n%s\n", a.c_str(), b.c_str());
    std::abort();
  }
  return 0;
}
