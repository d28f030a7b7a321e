// Writing a text file in single-byte form, piece by piece, so that a large
// document is never held twice. The file appears only when complete: it is
// written under a temporary name beside the target and renamed over it, so
// a failed write leaves the earlier file as it was, and so does a run ended
// by SIGINT or SIGTERM once RemovePartialFilesOnSignals is installed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/partial_files.h"

namespace altimar::contour {

class TextFileWriter {
 public:
  explicit TextFileWriter(std::string path);
  ~TextFileWriter();  // abandons an unfinished file
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  bool ok() const { return error_.empty(); }
  // Why the file could not be written (empty while all is well).
  const std::string& error() const { return error_; }
  void Write(std::string_view text);
  // Flushes, closes and moves the file into place. False on any failure.
  bool Commit();
  std::uint64_t bytes() const { return bytes_; }

 private:
  void Fail(const std::string& what);
  void Abandon();
  void MoveIntoPlace();

  std::string path_, tempPath_;
  std::FILE* file_ = nullptr;
  std::unique_ptr<runtime::PartialFileGuard> partial_;  // the temporary file
  std::string error_;
  std::uint64_t bytes_ = 0;
};

// Creates or replaces the file with text followed by CR LF. Returns an empty
// string on success, else why it failed.
std::string WriteTextFile(const std::string& path, std::string_view text);

}  // namespace altimar::contour
