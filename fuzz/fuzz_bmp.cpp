// Picture files (Windows bitmaps and PNG): whatever bytes, read back as
// pixels or refused.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/win/surface.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/altimar_fuzz_bmp_" + std::to_string(::getpid()) + ".bmp";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  altimar::win::Surface s;
  if (altimar::win::ReadBmp(path, s).empty() && s.width() > 0) (void)s.at(s.width() - 1, s.height() - 1);
  altimar::win::Surface p;
  if (altimar::win::ReadPng(path, p).empty() && p.width() > 0) (void)p.at(p.width() - 1, p.height() - 1);
  return 0;
}
