// KML handed to the globe, the whole open path: the input is a file in a
// folder of its own beside a linked document, a FIFO and a subfolder, opened
// as a user's file is (network links followed as the globe follows them),
// and as text. Either a place tree or an error; never a crash or a hang.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/earth/kml_places.h"
#include "platform/earth/place_dump.h"

namespace {

namespace fs = std::filesystem;

// The folder, made once per process.
const fs::path& Folder() {
  static const fs::path dir = [] {
    const fs::path d = fs::temp_directory_path() / ("altimar_fuzz_kml_" + std::to_string(::getpid()));
    fs::create_directories(d / "sub");
    std::ofstream(d / "linked.kml") << "<kml><Document><name>linked</name><NetworkLink><Link>"
                                       "<href>doc.kml</href></Link></NetworkLink></Document></kml>";
    std::ofstream(d / "sub" / "below.kml") << "<kml><Placemark><Point><coordinates>1,2</coordinates>"
                                              "</Point></Placemark></kml>";
    ::mkfifo((d / "pipe.kml").c_str(), 0600);
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const fs::path doc = Folder() / "doc.kml";
  {
    std::ofstream out(doc, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  for (const auto& r : {altimar::earth::LoadKmlFile(doc.string()), altimar::earth::LoadKmlText(text)})
    if (r.root) (void)altimar::earth::DumpPlaces(*r.root);
  return 0;
}
