// The KML blocks the selection documents draw features with: a feature's
// geometry from the shapefile library's coordinate text, the invisible point
// at the camera's focus, and the bounding-box ring with its style. Every line
// written ends with CR LF and has the documents' leading blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace altimar::data {

enum class GeometryKind { kNone, kPoint, kLine, kArea };

// "Point", "PolyLine" and "Polygon" and their Z and M forms draw as points,
// lines and areas; any other shape type name draws nothing.
GeometryKind GeometryKindOf(std::string_view shapeType);
inline bool IsDrawnType(std::string_view shapeType) {
  return GeometryKindOf(shapeType) != GeometryKind::kNone;
}
inline bool IsPointType(std::string_view shapeType) {
  return GeometryKindOf(shapeType) == GeometryKind::kPoint;
}

// The geometry block of a feature of the given shape type (nothing for a
// type that is not drawn). A shape of several parts (parts separated by line
// feeds) draws every part: lines as a MultiGeometry of LineStrings; rings
// grouped as the shapefile library's KML export groups them (clockwise rings
// outer, the others holes of the smallest outer ring around them), several
// polygons in a MultiGeometry. A text of one part is written exactly as given.
void AppendFeatureGeometry(std::string& out, std::string_view shapeType,
                           std::string_view coordinates);

// An invisible point at (longitude, latitude): the visibility line and the
// point block.
void AppendHiddenPoint(std::string& out, double longitude, double latitude);

// The closed ring around the box "x1,y1,z x2,y2,z" (further tuples ignored):
// side by side from corner to corner, each tuple "x,y,0" followed by a blank,
// the x and y texts copied as given. False, and nothing appended, for a text
// of fewer than two tuples of at least x and y.
bool AppendBoxRing(std::string& out, std::string_view boxText);

// The style "BBox": lines of the Win32 colour bboxColor, `width` wide.
void AppendBoxStyle(std::string& out, std::int32_t bboxColor, float width);

// The placemark drawing the box's ring with the style "BBox"; false, and
// nothing appended, when the box text has no ring (AppendBoxRing).
bool AppendBoxPlacemark(std::string& out, std::string_view boxText);

// The shortest decimal text that reads back as v, with "." and without an
// exponent (the exponent form only past 64 characters).
void AppendShortestDecimal(std::string& out, double v);
void AppendShortestDecimal(std::string& out, float v);

}  // namespace altimar::data
