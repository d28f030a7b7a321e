// Scripts for `altimar run`: whatever text, run line by line against a fresh
// desktop, globe and program, ends with a result and no fault. The program
// folder is a temporary one; inputs that could write elsewhere (paths,
// screenshots, another program folder) are skipped, and long ones too, to
// keep each run short.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = [] {
    const auto d = std::filesystem::temp_directory_path() / ("altimar_fuzz_script_" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d.string();
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (size > 2048 || text.find('/') != std::string::npos || text.find("..") != std::string::npos ||
      text.find("screenshot") != std::string::npos || text.find("dir") != std::string::npos ||
      std::count(text.begin(), text.end(), '\n') > 40)
    return 0;
  std::ostringstream out, err;
  altimar::app::Script script({dir}, out, err);
  std::istringstream in(text);
  (void)script.Run(in, "fuzz");
  return 0;
}
