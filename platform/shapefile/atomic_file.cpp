#include "platform/shapefile/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace altimar::shapefile {

AtomicFile::~AtomicFile() {
  if (file_) std::fclose(file_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicFile::Open(const std::string& path, std::string& error) {
  path_ = path;
  // Renaming over a device, a folder or a link would replace it, not write to it.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error = "'" + path + "' exists and is not a regular file";
    return false;
  }
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string pattern = folder + "." + name + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    error = "cannot write in the folder of '" + path + "': " + std::strerror(errno);
    return false;
  }
  temp_ = pattern;
  guard_ = std::make_unique<runtime::PartialFileGuard>(temp_);
  // mkstemp makes the file private; a document gets the usual rw-r--r--.
  ::fchmod(fd, 0644);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    error = "cannot write '" + temp_ + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

void AtomicFile::Write(std::string_view text) {
  if (!file_ || failed_ || text.empty()) return;
  failed_ = std::fwrite(text.data(), 1, text.size(), file_) != text.size();
}

void AtomicFile::WriteIfLarge(std::string& text) {
  if (text.size() < (1u << 20)) return;
  Write(text);
  text.clear();
}

bool AtomicFile::Commit(std::string& error) {
  if (!file_) {
    error = "no document is open";
    return false;
  }
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed_ || !closed) {
    error = "cannot write '" + path_ + "': " + std::strerror(errno);
    return false;
  }
  if (std::rename(temp_.c_str(), path_.c_str()) != 0) {
    error = "cannot replace '" + path_ + "': " + std::strerror(errno);
    return false;
  }
  temp_.clear();
  return true;
}

}  // namespace altimar::shapefile
