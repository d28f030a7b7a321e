#include "data/clock_face.h"

#include <filesystem>
#include <fstream>

#include "clock_svg.h"

namespace altimar::data {

namespace fs = std::filesystem;

std::string_view ClockSvg() {
  return {reinterpret_cast<const char*>(kClockSvgBytes), sizeof kClockSvgBytes};
}

std::string EnsureClockSvg(const std::string& programDir) {
  const fs::path path = fs::path(programDir) / "clock.svg";
  std::error_code ec;
  if (fs::exists(path, ec) || ec) return path.string();
  const fs::path part = fs::path(programDir) / "clock.svg.part";
  bool ok;
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    const std::string_view svg = ClockSvg();
    out.write(svg.data(), static_cast<std::streamsize>(svg.size()));
    ok = static_cast<bool>(out.flush());
  }
  if (ok) fs::rename(part, path, ec);
  if (!ok || ec) fs::remove(part, ec);
  return path.string();
}

}  // namespace altimar::data
