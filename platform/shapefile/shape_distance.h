// Distances between a query point and the shapes of a ShapeSet.
//
// The measure is planar in degrees with longitudes scaled by the cosine of
// the query's latitude (an equirectangular projection centred on the query):
// exact enough for picking and selecting at the scales a user works at, and
// cheap, so that box bounds and shape distances stay comparable. When the
// query's y is not a latitude (|y| > 90, a projected file) no scaling is
// applied. Degrees convert to metres on the sphere of SphericalDist.
#pragma once

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

struct QueryPoint {
  QueryPoint(double x, double y);
  double x, y;
  double xScale;  // cos(latitude), or 1 for a y that is no latitude
};

// Squared distance (in scaled degrees) from the query to a box.
double SquaredDistanceToExtent(const QueryPoint& q, const Extent& e);

// Squared distance from the query to a shape: to its points, to the
// segments of its lines and ring outlines, and 0 inside an area (even-odd
// over all its rings, so holes are outside). A null shape is infinitely far.
double SquaredDistanceToShape(const QueryPoint& q, const ShapeSet& set, int fid);

// Even-odd test of (x, y) against one ring (a part taken as closed).
bool InsideRing(const ShapeSet& set, const PartRange& ring, double x, double y);

// Even-odd test of (x, y) against every ring of an area shape.
bool InsideArea(const ShapeSet& set, int fid, double x, double y);

// Degrees of arc to metres on the sphere of SphericalDist, and back.
double DegreesToMetres(double degrees);
double MetresToDegrees(double metres);

}  // namespace altimar::shapefile
