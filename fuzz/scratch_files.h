// A scratch folder of the fuzzer's own, made once per process, and writing
// an input's bytes to a file in it (targets whose readers take paths).
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace altimar::fuzzing {

// "/tmp/altimar_fuzz_NAME_XXXXXX", made at the first call (one name per
// fuzzer: later calls return that folder).
inline const std::string& ScratchFolder(const char* name) {
  static const std::string folder = [name] {
    std::string pattern = std::string("/tmp/altimar_fuzz_") + name + "_XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

inline void WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace altimar::fuzzing
