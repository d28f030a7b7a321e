// KML of shapes. Points are <Point>s; lines <LineString>s; areas
// <Polygon>s whose outer boundary is a clockwise ring (the shapefile rule)
// and whose inner boundaries are the counter-clockwise rings lying inside
// it (a file with no clockwise ring has its rings all taken as outer ones);
// a MultiPatch's parts are drawn as outlines. A shape of several points,
// lines or polygons becomes a <MultiGeometry>. A null shape has no geometry.
#pragma once

#include <string>
#include <vector>

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

// The rings of an area shape as polygons: each list starts with the outer
// ring's part index, followed by its holes' part indexes.
std::vector<std::vector<std::uint32_t>> GroupRings(const ShapeSet& set, int fid);

// Appends the geometry element of a shape (nothing for a null shape).
void AppendShapeGeometry(std::string& out, const ShapeSet& set, int fid);

// The XML declaration, <kml>, <Document> with an escaped name, and a Style
// with the id `styleId` (yellow lines, translucent fill).
void AppendKmlDocumentStart(std::string& out, const std::string& name, const char* styleId);
void AppendKmlDocumentEnd(std::string& out);

}  // namespace altimar::shapefile
