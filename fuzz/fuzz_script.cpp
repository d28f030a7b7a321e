// Scripts for `altimar run`: whatever text, run line by line against a fresh
// desktop, globe and program, ends with a result and no fault. The program
// folder, also the current one, is a temporary one holding what hostile
// lines name: a folder, a FIFO, a device, a good and a broken KML file.
// Inputs that could reach elsewhere (paths, another program folder) are
// skipped, and screenshots and long inputs too, to keep each run short.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/script.h"

namespace {

std::string MakeFolder() {
  namespace fs = std::filesystem;
  const fs::path d = fs::temp_directory_path() / ("altimar_fuzz_script_" + std::to_string(::getpid()));
  fs::create_directories(d / "folder");
  std::error_code ec;
  fs::create_symlink("/dev/zero", d / "zero", ec);
  ::mkfifo((d / "fifo").c_str(), 0600);
  std::ofstream(d / "a.kml") << "<kml><Document><name>A</name><Placemark><name>P</name><Point>"
                                "<coordinates>11.4,47.3</coordinates></Point></Placemark></Document></kml>\n";
  std::ofstream(d / "b.kml") << "<kml><Document>\n<Placemark></Document>\n";
  fs::current_path(d);
  return d.string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string dir = MakeFolder();
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
