// Reads a .shp (and its .shx when there is one) into a ShapeSet. The reader
// is ours rather than shapelib's SHPReadObject so that the .shx is optional
// and every count and offset of a hostile file is checked against the bytes
// actually there:
//  - with a .shx, its entries give the records; reading stops at the first
//    entry that points past the end of the .shp (a file cut short keeps its
//    readable prefix);
//  - without a .shx (or with one that is not a shapefile index), the records
//    are found by walking the .shp from its header, up to the first record
//    that does not fit;
//  - a record that fits but is malformed (negative or oversized counts, part
//    starts out of order, a coordinate that is not finite, a type other than
//    the file's) becomes a null record, so FIDs stay those of the file.
#pragma once

#include <string>
#include <string_view>

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

// Path helpers: "a/b.shp", "a/b.SHP" and "a/b" all give the base "a/b".
std::string ShapefileBase(const std::string& path);
// base + ".ext" if that file exists, else base + ".EXT" if that exists, else
// base + ".ext".
std::string SiblingFile(const std::string& base, const char* lowerExt);
bool FileExists(const std::string& path);

// Parses shapefile bytes; `shx` may be empty (no index). On failure returns
// false and says why in `error`; on success `note` tells about records left
// out or damaged (empty when the file was whole).
bool ParseShapefile(std::string_view shp, std::string_view shx, ShapeSet& out, std::string& error,
                    std::string& note);

// Reads base.shp and, when present, base.shx, then parses them.
bool LoadShapefile(const std::string& base, ShapeSet& out, std::string& error, std::string& note);

// Reads a whole file; false with the reason in `error`.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

}  // namespace altimar::shapefile
