// KML coordinate text of shapes, and the reverse.
//
// A tuple is "x,y,z" (longitude, latitude, height; z is 0 for shapes without
// Z), each number as printf("%.15g") writes it with "." as the separator.
// Tuples are separated by one blank. A shape of several parts (lines and
// rings) puts a line feed between its parts; a line feed is whitespace to KML,
// so the text is still a valid tuple list, and SplitCoordinateParts gives the
// parts back. The points of a multipoint make one part.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

void AppendTuple(std::string& out, const Vertex& v);
// The vertices [begin, end) as tuples separated by blanks.
void AppendTuples(std::string& out, const ShapeSet& set, std::uint32_t begin, std::uint32_t end);

// The text of a shape; empty for a null shape.
std::string CoordinateText(const ShapeSet& set, int fid);

// "xmin,ymin,0 xmax,ymax,0"
std::string ExtentText(const Extent& e);

// The parts of a coordinate text: the pieces between line feeds, without
// empty ones.
std::vector<std::string_view> SplitCoordinateParts(std::string_view text);

// Parses tuples "x,y" or "x,y,z" separated by any whitespace. Every tuple
// must be two or three finite numbers joined by commas without blanks; the
// first bad one makes the call return false with its position in `error`.
bool ParseCoordinateTuples(std::string_view text, std::vector<Vertex>& out, std::string& error);

}  // namespace altimar::shapefile
