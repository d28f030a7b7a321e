// Reading files a person names (a script, a file a script checks): only
// regular files, opened so that a FIFO cannot block, and never more than a
// limit, so that a folder, a device or a pipe is refused with a message
// instead of reading nothing, blocking or growing without end.
#pragma once

#include <cstddef>
#include <string>

namespace altimar::app {

// Why path is no regular file ("is a folder", ...), or "" when it is one.
// Only looks: nothing is opened.
std::string CheckRegularFile(const std::string& path);

// The whole of a regular file of at most maxBytes into text: "" or why not,
// worded to follow the path ("is larger than 16 MB", ...).
std::string ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& text);

// "16 MB" for a whole number of megabytes, else "N bytes".
std::string SizeText(std::size_t bytes);

}  // namespace altimar::app
