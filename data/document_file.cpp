#include "data/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/runtime/partial_files.h"

namespace altimar::data {
namespace {

std::atomic<unsigned> gTempCounter{0};

[[noreturn]] void Fail(const std::string& path, const char* what, int error) {
  throw DocumentWriteError("cannot write '" + path + "': " + what + ": " + std::strerror(error));
}

// Writes all of text to fd; false with errno set on failure.
bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Removes the temporary file unless it was moved into place.
struct TempFile {
  std::string path;
  runtime::PartialFileGuard guard{path};
  bool placed = false;
  ~TempFile() {
    if (!placed) ::unlink(path.c_str());
  }
};

}  // namespace

void WriteDocumentFile(const std::filesystem::path& path, std::string_view text) {
  const std::string target = path.string();
  // A name of our own beside the target: the same file system, so the
  // renames below do not copy; O_EXCL so that nothing else's file is touched.
  const std::string tempPath =
      target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(gTempCounter++);
  const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) Fail(target, "cannot create the file", errno);
  TempFile temp{tempPath};
  if (!WriteAll(fd, text)) {
    const int error = errno;
    ::close(fd);
    Fail(target, "cannot write the file", error);
  }
  if (::close(fd) != 0) Fail(target, "cannot close the file", errno);

  // The earlier document steps aside before the new one takes its place and
  // goes only after that (renaming straight over it makes some file systems
  // flush the new file at once); a signal in between puts it back.
  const std::string aside = tempPath + ".old";
  runtime::PartialFileGuard putBack(aside, target);
  struct stat st;
  const bool replaceable =
      ::lstat(target.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
  const bool hadEarlier = replaceable && std::rename(target.c_str(), aside.c_str()) == 0;
  if (std::rename(tempPath.c_str(), target.c_str()) != 0) {
    const int error = errno;
    if (hadEarlier) std::rename(aside.c_str(), target.c_str());
    Fail(target, "cannot replace the file", error);
  }
  temp.placed = true;
  if (hadEarlier) ::unlink(aside.c_str());
}

}  // namespace altimar::data
