#include "contour/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace altimar::contour {
namespace {
std::atomic<unsigned> gTempCounter{0};
constexpr std::size_t kBufferSize = 1 << 20;
}  // namespace

TextFileWriter::TextFileWriter(std::string path) : path_(std::move(path)) {
  // A name of our own beside the target: same file system, so the final
  // rename is atomic; O_EXCL so that nothing else's file is touched.
  tempPath_ = path_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(gTempCounter++);
  const int fd = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    Fail("cannot create the file");
    tempPath_.clear();
    return;
  }
  partial_ = std::make_unique<runtime::PartialFileGuard>(tempPath_);
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    Fail("cannot open the file for writing");
    Abandon();
    return;
  }
  std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
}

TextFileWriter::~TextFileWriter() { Abandon(); }

void TextFileWriter::Fail(const std::string& what) {
  if (error_.empty()) error_ = what + ": " + std::strerror(errno);
}

void TextFileWriter::Abandon() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!tempPath_.empty()) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
  }
  partial_.reset();
}

void TextFileWriter::Write(std::string_view text) {
  if (!ok() || text.empty()) return;
  if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
    Fail("cannot write the file");
    return;
  }
  bytes_ += text.size();
}

bool TextFileWriter::Commit() {
  if (!ok()) {
    Abandon();
    return false;
  }
  const bool flushed = std::fflush(file_) == 0;
  if (!flushed) Fail("cannot write the file");
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (flushed && closed != 0) Fail("cannot close the file");
  if (ok()) MoveIntoPlace();
  if (!ok()) {
    Abandon();
    return false;
  }
  tempPath_.clear();
  partial_.reset();
  return true;
}

void TextFileWriter::MoveIntoPlace() {
  // The earlier file steps aside under a name of its own before the new one
  // takes its place, and goes only after that. Renaming straight over it
  // would be just as safe, but makes some file systems (ext4) flush the new
  // file to disk at once, which costs more than writing it did.
  const std::string aside = tempPath_ + ".old";
  // A signal between the two renames puts the earlier file back.
  runtime::PartialFileGuard putBack(aside, path_);
  struct stat st;
  const bool replaceable =
      ::lstat(path_.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
  const bool hadEarlier = replaceable && std::rename(path_.c_str(), aside.c_str()) == 0;
  if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    Fail("cannot replace the file");
    if (hadEarlier) std::rename(aside.c_str(), path_.c_str());
    return;
  }
  if (hadEarlier) ::unlink(aside.c_str());
}

std::string WriteTextFile(const std::string& path, std::string_view text) {
  TextFileWriter w(path);
  w.Write(text);
  w.Write("\r\n");
  return w.Commit() ? std::string() : w.error();
}

}  // namespace altimar::contour
