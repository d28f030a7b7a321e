#include "app/output_paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace altimar::app {
namespace {

namespace fs = std::filesystem;

// Whether two names reach the same file, existing or not.
bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  if (fs::equivalent(a, b, ec)) return true;
  const fs::path ca = fs::weakly_canonical(a, ec);
  if (ec) return false;
  const fs::path cb = fs::weakly_canonical(b, ec);
  return !ec && ca == cb;
}

}  // namespace

std::string CheckWritableFolder(const std::string& dir, const std::string& what) {
  std::error_code ec;
  const fs::file_status st = fs::status(dir, ec);
  if (!fs::exists(st)) return what + " '" + dir + "' does not exist";
  if (!fs::is_directory(st)) return what + " '" + dir + "' is not a folder";
  // Permission bits do not tell (root, read-only mounts): create a file.
  const std::string probe =
      (fs::path(dir) / (".altimar-probe-" + std::to_string(::getpid()))).string();
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return "no file can be created in " + what + " '" + dir + "': " + std::strerror(errno);
  ::close(fd);
  ::unlink(probe.c_str());
  return {};
}

std::string CheckContourOutputs(const ContourOptions& o) {
  if (auto err = CheckWritableFolder(o.dir, "the folder"); !err.empty()) return err;
  if (!o.screenshot) return {};
  const fs::path shot(*o.screenshot);
  if (shot.empty() || !shot.has_filename()) return "--screenshot needs a file name";
  const fs::path folder = shot.has_parent_path() ? shot.parent_path() : fs::path(".");
  if (auto err = CheckWritableFolder(folder.string(), "the screenshot's folder"); !err.empty())
    return err;
  std::error_code ec;
  const fs::file_status st = fs::status(shot, ec);
  if (fs::exists(st) && !fs::is_regular_file(st))
    return "the screenshot '" + shot.string() + "' is not a regular file";
  if (fs::exists(st) && ::access(shot.c_str(), W_OK) != 0)
    return "the screenshot '" + shot.string() + "' cannot be written: " + std::strerror(errno);
  if (SameFile(shot, fs::path(o.dir) / "contour.kml"))
    return "the screenshot '" + shot.string() + "' would replace the contour document; give it another name";
  if (o.dem && SameFile(shot, *o.dem))
    return "the screenshot '" + shot.string() + "' would replace the DEM; give it another name";
  return {};
}

}  // namespace altimar::app
