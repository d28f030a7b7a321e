// The column definitions of an open shapefile's table, from the field
// description the shapefile library gives ("name type size" CR LF per field).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace altimar::workspace {

struct FieldInfo {
  int count = 0;  // rows filled (AttrCount)
  int lines = 0;  // lines the text held; more than the rows when it did not fit
};

// Fills attrDef from the description: the text is trimmed of blanks and cut
// into lines at each CR LF (a last line without one is not read); each line,
// trimmed, is split at single blanks, and word j of line i goes to row i,
// column j (words past the row's columns are dropped). Columns 4 and 5 of
// every row are then "1". Lines past the table's rows are counted, not kept.
FieldInfo ParseFieldInfo(const std::string& description,
                         std::vector<std::array<std::string, 6>>& attrDef);

}  // namespace altimar::workspace
