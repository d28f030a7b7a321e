#include "platform/earth/place_geometry.h"

#include <cmath>

namespace altimar::earth {
namespace {

std::int32_t ToUnits(double degrees) {
  const double u = degrees * 1e7;
  return static_cast<std::int32_t>(u >= 0 ? u + 0.5 : u - 0.5);
}

}  // namespace

StoredPoint StoredPoint::From(double lon, double lat, double alt) {
  // Callers pass lon in -360..360 and lat in -90..90.
  if (lon > 180) lon -= 360;
  else if (lon < -180) lon += 360;
  return {ToUnits(lon), ToUnits(lat), static_cast<float>(alt)};
}

GeometryKind GeometryView::kind() const { return store_->kind_[index_]; }

std::size_t GeometryView::holeCount() const {
  const std::size_t first = store_->firstRing_[index_];
  const std::size_t end = store_->GeometryRingEnd(index_);
  return end - first - 1;
}

PointRange GeometryView::Ring(std::size_t r) const {
  const std::size_t ring = store_->firstRing_[index_] + r;
  return {&store_->points_, &store_->alts_, store_->ringStart_[ring], store_->RingEnd(ring)};
}

long long PlaceGeometry::Add(GeometryKind kind, const std::vector<StoredPoint>& points,
                             const std::vector<std::uint32_t>& ringEnds, bool lifted) {
  if (ringEnds.empty() || points_.size() + points.size() > kMaxPoints ||
      ringStart_.size() + ringEnds.size() > kMaxPoints)
    return -1;
  firstRing_.push_back(static_cast<std::uint32_t>(ringStart_.size()));
  kind_.push_back(kind);
  std::uint32_t begin = 0;
  for (const std::uint32_t end : ringEnds) {
    ringStart_.push_back(static_cast<std::uint32_t>(points_.size() + begin));
    begin = end;
  }
  if (lifted && !lifted_) {  // from now on every point has an altitude
    alts_.resize(points_.size(), 0.0f);
    lifted_ = true;
  }
  for (const StoredPoint& p : points) points_.push_back({p.lon, p.lat});
  if (lifted_)
    for (const StoredPoint& p : points) alts_.push_back(lifted ? p.alt : 0.0f);
  return static_cast<long long>(firstRing_.size() - 1);
}

std::size_t PlaceGeometry::bytes() const {
  return points_.size() * sizeof(LonLat) + alts_.size() * sizeof(float) +
         ringStart_.size() * sizeof(std::uint32_t) +
         firstRing_.size() * (sizeof(std::uint32_t) + sizeof(GeometryKind));
}

}  // namespace altimar::earth
