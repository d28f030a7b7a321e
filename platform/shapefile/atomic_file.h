// A document written under a temporary name in its target's folder and
// renamed over the target only when complete, so that a failed or
// interrupted write never leaves a truncated document (a signal removes the
// temporary file, see runtime/partial_files.h).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/partial_files.h"

namespace altimar::shapefile {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Refuses a path that exists as anything but a regular file.
  bool Open(const std::string& path, std::string& error);
  // Buffered; a failure shows at Commit.
  void Write(std::string_view text);
  // Writes `text` when it has grown past a chunk, then clears it.
  void WriteIfLarge(std::string& text);
  bool Commit(std::string& error);

 private:
  std::string path_, temp_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::unique_ptr<runtime::PartialFileGuard> guard_;
};

}  // namespace altimar::shapefile
