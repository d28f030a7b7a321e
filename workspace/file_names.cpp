#include "workspace/file_names.h"

#include <filesystem>

namespace altimar::workspace {

namespace {
// Where the file name starts: after the last "/" or "\".
std::size_t NameStart(const std::string& path) {
  const std::size_t sep = path.find_last_of("/\\");
  return sep == std::string::npos ? 0 : sep + 1;
}

// The last "." of the file name (a "." in a folder name does not count).
std::size_t LastDot(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < NameStart(path) ? std::string::npos : dot;
}
}  // namespace

std::string StripExtension(const std::string& path) {
  const std::size_t dot = LastDot(path);
  return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string FileNameOf(const std::string& path) {
  return path.substr(NameStart(path));
}

std::string FileTitleOf(const std::string& path) {
  const std::string name = FileNameOf(path);
  return name.substr(0, name.find('.'));
}

std::string ExtensionOf(const std::string& path) {
  const std::size_t dot = LastDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string CutAtNul(const std::string& text) {
  return text.substr(0, text.find('\0'));
}

std::string ProgramFile(const std::string& programDir, const std::string& name) {
  return (std::filesystem::path(programDir) / name).string();
}

}  // namespace altimar::workspace
