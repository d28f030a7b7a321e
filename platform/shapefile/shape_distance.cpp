#include "platform/shapefile/shape_distance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "platform/shapefile/spherical_dist.h"

namespace altimar::shapefile {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;

// Squared distance from the origin to the segment a-b (already relative to
// the query and scaled).
double SquaredToSegment(double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  double t = 0;
  if (len2 > 0) t = std::clamp(-(ax * dx + ay * dy) / len2, 0.0, 1.0);
  const double px = ax + t * dx, py = ay + t * dy;
  return px * px + py * py;
}

}  // namespace

QueryPoint::QueryPoint(double qx, double qy)
    : x(qx), y(qy), xScale(std::abs(qy) <= 90 ? std::cos(qy * kRad) : 1.0) {}

double SquaredDistanceToExtent(const QueryPoint& q, const Extent& e) {
  const double dx = (q.x < e.xmin ? e.xmin - q.x : q.x > e.xmax ? q.x - e.xmax : 0.0) * q.xScale;
  const double dy = q.y < e.ymin ? e.ymin - q.y : q.y > e.ymax ? q.y - e.ymax : 0.0;
  return dx * dx + dy * dy;
}

bool InsideRing(const ShapeSet& set, const PartRange& p, double x, double y) {
  bool inside = false;
  std::uint32_t j = p.end - 1;
  for (std::uint32_t i = p.begin; i < p.end; j = i++) {
    const Vertex& a = set.vertex(i);
    const Vertex& b = set.vertex(j);
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

bool InsideArea(const ShapeSet& set, int fid, double x, double y) {
  const ShapeRecord& r = set.record(fid);
  bool inside = false;
  for (std::uint32_t k = 0; k < r.partCount; ++k)
    if (InsideRing(set, set.part(r.firstPart + k), x, y)) inside = !inside;
  return inside;
}

double SquaredDistanceToShape(const QueryPoint& q, const ShapeSet& set, int fid) {
  const ShapeRecord& r = set.record(fid);
  if (r.partCount == 0) return std::numeric_limits<double>::infinity();
  const ShapeFamily family = FamilyOf(r.type);
  if (family == ShapeFamily::kArea && q.x >= r.extent.xmin && q.x <= r.extent.xmax &&
      q.y >= r.extent.ymin && q.y <= r.extent.ymax && InsideArea(set, fid, q.x, q.y)) {
    return 0;
  }
  double best = std::numeric_limits<double>::infinity();
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    const PartRange& p = set.part(r.firstPart + k);
    const Vertex& first = set.vertex(p.begin);
    double ax = (first.x - q.x) * q.xScale, ay = first.y - q.y;
    best = std::min(best, ax * ax + ay * ay);
    if (family == ShapeFamily::kPoint) continue;
    for (std::uint32_t i = p.begin + 1; i < p.end; ++i) {
      const Vertex& v = set.vertex(i);
      const double bx = (v.x - q.x) * q.xScale, by = v.y - q.y;
      best = std::min(best, SquaredToSegment(ax, ay, bx, by));
      ax = bx;
      ay = by;
    }
    if (family == ShapeFamily::kArea && p.end - p.begin > 2) {  // closing edge of the ring
      best = std::min(best, SquaredToSegment(ax, ay, (first.x - q.x) * q.xScale, first.y - q.y));
    }
  }
  return best;
}

double DegreesToMetres(double degrees) { return degrees * kRad * kSphereRadius; }
double MetresToDegrees(double metres) { return metres / (kRad * kSphereRadius); }

}  // namespace altimar::shapefile
