#include "app/file_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace altimar::app {

namespace {

std::string Why(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return {};
  if (S_ISDIR(st.st_mode)) return "is a folder, not a file";
  return "is not a regular file";
}

std::string CannotOpen(int error) { return std::string("cannot be opened (") + std::strerror(error) + ")"; }

// Closes the descriptor however the read ends.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMB = std::size_t{1} << 20;
  if (bytes % kMB == 0) return std::to_string(bytes / kMB) + " MB";
  return std::to_string(bytes) + " bytes";
}

std::string CheckRegularFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return CannotOpen(errno);
  return Why(st);
}

std::string ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text) {
  text.clear();
  if (std::string why = CheckRegularFile(path); !why.empty()) return why;
  // Non-blocking: should a FIFO take the file's place after the look above,
  // opening it does not wait for a writer; the descriptor's own type decides.
  Descriptor d{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (d.fd < 0) return CannotOpen(errno);
  struct stat st {};
  if (::fstat(d.fd, &st) != 0) return CannotOpen(errno);
  if (std::string why = Why(st); !why.empty()) return why;
  const std::string tooLarge = "is larger than " + SizeText(maxBytes);
  if (static_cast<std::size_t>(st.st_size) > maxBytes) return tooLarge;
  // The file may grow while it is read: one byte past the limit says so.
  text.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t got = 0;
  while (true) {
    if (got == text.size()) {
      if (got > maxBytes) {
        text.clear();
        return tooLarge;
      }
      text.resize(std::min(maxBytes + 1, text.size() * 2));
    }
    const ssize_t n = ::read(d.fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      text.clear();
      return std::string("cannot be read (") + std::strerror(error) + ")";
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  text.resize(got);
  return {};
}

}  // namespace altimar::app
