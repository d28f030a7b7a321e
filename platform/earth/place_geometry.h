// The geometry of one loaded document, kept flat: every point of every
// placemark in one array, lines and rings as ranges of it, geometries as
// ranges of rings. A contour document of millions of two-point lines costs
// about 25 bytes a line this way, where a vector per line cost over 100.
//
// Points are kept as longitude and latitude in units of 1e-7 degree (about
// 1 cm on the ground, finer than any view of the globe resolves);
// longitudes are wrapped into -180..180. Geometry is drawn on the ground
// unless its altitudeMode lifts it (relativeToGround, absolute,
// relativeToSeaFloor): altitudes are kept, as floats, only once a document
// has such geometry, and read 0 for geometry on the ground.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace altimar::earth {

struct GeoPoint {
  double lon = 0, lat = 0, alt = 0;
};

struct StoredPoint {
  std::int32_t lon = 0, lat = 0;  // 1e-7 degree
  float alt = 0;
  static StoredPoint From(double lon, double lat, double alt);
  GeoPoint ToGeo() const { return {lon * 1e-7, lat * 1e-7, alt}; }
};

// KML colours are aabbggrr.
struct KmlStyle {
  std::uint32_t lineColor = 0xFFFFFFFF;
  double lineWidth = 1.0;
  std::uint32_t polyColor = 0xFFFFFFFF;
  bool fill = true, outline = true;
  std::uint32_t iconColor = 0xFFFFFFFF;
  std::uint32_t labelColor = 0xFFFFFFFF;
};

enum class GeometryKind : std::uint8_t { Point, LineString, LinearRing, Polygon };

struct LonLat {
  std::int32_t lon = 0, lat = 0;  // 1e-7 degree
};

// A line or ring: points [begin, end) of the document's arrays.
class PointRange {
 public:
  PointRange(const std::deque<LonLat>* points, const std::deque<float>* alts, std::size_t begin,
             std::size_t end)
      : points_(points), alts_(alts), begin_(begin), end_(end) {}
  std::size_t size() const { return end_ - begin_; }
  bool empty() const { return end_ == begin_; }
  GeoPoint operator[](std::size_t i) const {
    const LonLat& p = (*points_)[begin_ + i];
    return {p.lon * 1e-7, p.lat * 1e-7, alts_->size() > begin_ + i ? (*alts_)[begin_ + i] : 0.0};
  }
  // Calls f(GeoPoint) for each point in order.
  template <class F>
  void ForEach(F&& f) const {
    auto it = points_->begin() + static_cast<std::ptrdiff_t>(begin_);
    if (alts_->empty()) {
      for (std::size_t k = begin_; k < end_; ++k, ++it) f(GeoPoint{it->lon * 1e-7, it->lat * 1e-7, 0.0});
      return;
    }
    auto alt = alts_->begin() + static_cast<std::ptrdiff_t>(begin_);
    for (std::size_t k = begin_; k < end_; ++k, ++it, ++alt) f(GeoPoint{it->lon * 1e-7, it->lat * 1e-7, *alt});
  }

 private:
  const std::deque<LonLat>* points_;
  const std::deque<float>* alts_;
  std::size_t begin_, end_;
};

class PlaceGeometry;

// One geometry: its kind, its outer ring (the line, or the point), and for
// a polygon its inner rings.
class GeometryView {
 public:
  GeometryView(const PlaceGeometry* store, std::size_t index) : store_(store), index_(index) {}
  GeometryKind kind() const;
  PointRange coords() const { return Ring(0); }
  std::size_t holeCount() const;
  PointRange hole(std::size_t i) const { return Ring(i + 1); }

 private:
  PointRange Ring(std::size_t r) const;
  const PlaceGeometry* store_;
  std::size_t index_;
};

class PlaceGeometry {
 public:
  // The most points one document may hold.
  static constexpr std::size_t kMaxPoints = 0xFFFFFFFFu;

  // Adds a geometry whose rings are points[0, ringEnds[0]), [ringEnds[0],
  // ringEnds[1]), ... (the first is the outer one; at least one ring);
  // lifted: its altitudes count (see above). Returns its index, or -1 when
  // the document is full.
  long long Add(GeometryKind kind, const std::vector<StoredPoint>& points,
                const std::vector<std::uint32_t>& ringEnds, bool lifted = false);

  std::size_t size() const { return firstRing_.size(); }
  GeometryView operator[](std::size_t i) const { return {this, i}; }
  std::size_t pointCount() const { return points_.size(); }
  // Heap bytes held, near enough (the arrays' blocks).
  std::size_t bytes() const;

 private:
  friend class GeometryView;
  std::size_t RingEnd(std::size_t r) const {
    return r + 1 < ringStart_.size() ? ringStart_[r + 1] : points_.size();
  }
  std::size_t GeometryRingEnd(std::size_t g) const {
    return g + 1 < firstRing_.size() ? firstRing_[g + 1] : ringStart_.size();
  }

  std::deque<LonLat> points_;
  std::deque<float> alts_;  // one per point once some geometry is lifted, else none
  bool lifted_ = false;
  std::deque<std::uint32_t> ringStart_;  // per ring, its first point
  std::deque<std::uint32_t> firstRing_;  // per geometry, its first ring
  std::deque<GeometryKind> kind_;        // per geometry
};

// What the features of one loaded document share: their geometry and the
// document's styles. A document read in parts keeps one geometry store per
// part, in document order.
struct PlaceDocument {
  PlaceDocument() { pieces.push_back(std::make_unique<PlaceGeometry>()); }
  std::vector<std::unique_ptr<PlaceGeometry>> pieces;
  std::map<std::string, KmlStyle> styles;        // by id
  std::map<std::string, std::string> styleMaps;  // id -> the normal style's url
};

}  // namespace altimar::earth
