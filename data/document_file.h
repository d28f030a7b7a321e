// Putting a whole document in place of a file: the text goes to a temporary
// file beside it, which takes the file's place only when complete, so a
// failed write leaves the earlier document as it was. A run ended by SIGINT,
// SIGTERM or SIGHUP (once runtime::RemovePartialFilesOnSignals is installed)
// leaves no temporary file and keeps the earlier document too.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace altimar::data {

// A document that could not be written; what() names the path and the reason.
class DocumentWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the file at `path` with `text`. Throws DocumentWriteError.
void WriteDocumentFile(const std::filesystem::path& path, std::string_view text);

}  // namespace altimar::data
