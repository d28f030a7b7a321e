// The file-name functions of the open command. A path's folders may be
// separated by "/" or "\"; the functions look at the last "." or separator.
#pragma once

#include <string>

namespace altimar::workspace {

// Text before the last "." of the file name; the whole path when it has none.
std::string StripExtension(const std::string& path);
// Text after the last separator; the whole path when it has none.
std::string FileNameOf(const std::string& path);
// FileNameOf up to its first "."; the whole name when it has none.
std::string FileTitleOf(const std::string& path);
// Text after the last "." of the file name; empty when it has none.
std::string ExtensionOf(const std::string& path);
// Text up to the first character with code 0.
std::string CutAtNul(const std::string& text);
// A file of the program folder: folder and name joined as a path.
std::string ProgramFile(const std::string& programDir, const std::string& name);

}  // namespace altimar::workspace
