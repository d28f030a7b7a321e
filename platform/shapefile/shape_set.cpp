#include "platform/shapefile/shape_set.h"

#include <algorithm>

namespace altimar::shapefile {

std::string ShapeTypeName(int type) {
  switch (type) {
    case kNullShape: return "Null";
    case kPoint: return "Point";
    case kPolyLine: return "PolyLine";
    case kPolygon: return "Polygon";
    case kMultiPoint: return "MultiPoint";
    case kPointZ: return "PointZ";
    case kPolyLineZ: return "PolyLineZ";
    case kPolygonZ: return "PolygonZ";
    case kMultiPointZ: return "MultiPointZ";
    case kPointM: return "PointM";
    case kPolyLineM: return "PolyLineM";
    case kPolygonM: return "PolygonM";
    case kMultiPointM: return "MultiPointM";
    case kMultiPatch: return "MultiPatch";
    default: return {};
  }
}

bool IsKnownShapeType(int type) { return !ShapeTypeName(type).empty(); }

ShapeFamily FamilyOf(int type) {
  switch (type) {
    case kPoint: case kPointZ: case kPointM:
    case kMultiPoint: case kMultiPointZ: case kMultiPointM:
      return ShapeFamily::kPoint;
    case kPolyLine: case kPolyLineZ: case kPolyLineM:
      return ShapeFamily::kLine;
    case kPolygon: case kPolygonZ: case kPolygonM:
      return ShapeFamily::kArea;
    case kMultiPatch:
      return ShapeFamily::kPatch;
    default:
      return ShapeFamily::kNull;
  }
}

int ShapeSet::Append(int type, const std::vector<std::vector<Vertex>>& parts) {
  BeginRecord(type);
  for (const auto& p : parts) {
    for (const auto& v : p) AddVertex(v);
    EndPart();
  }
  EndRecord();
  return size() - 1;
}

int ShapeSet::AppendNull(bool damaged) {
  records_.push_back(ShapeRecord{});
  if (damaged) ++damaged_;
  return size() - 1;
}

void ShapeSet::BeginRecord(int type) {
  ShapeRecord r;
  r.type = type;
  r.firstPart = static_cast<std::uint32_t>(parts_.size());
  records_.push_back(r);
  partMark_ = static_cast<std::uint32_t>(vertices_.size());
}

void ShapeSet::EndPart() {
  const auto end = static_cast<std::uint32_t>(vertices_.size());
  if (end > partMark_) parts_.push_back(PartRange{partMark_, end});
  partMark_ = end;
}

void ShapeSet::EndRecord() {
  ShapeRecord& r = records_.back();
  r.partCount = static_cast<std::uint32_t>(parts_.size()) - r.firstPart;
  if (r.partCount == 0) {
    r = ShapeRecord{};
    return;
  }
  // The extent comes from the vertices: a record's stored box is not trusted.
  const std::uint32_t first = parts_[r.firstPart].begin;
  const std::uint32_t last = parts_.back().end;
  Extent e{vertices_[first].x, vertices_[first].y, vertices_[first].x, vertices_[first].y};
  for (std::uint32_t i = first + 1; i < last; ++i) {
    e.xmin = std::min(e.xmin, vertices_[i].x);
    e.xmax = std::max(e.xmax, vertices_[i].x);
    e.ymin = std::min(e.ymin, vertices_[i].y);
    e.ymax = std::max(e.ymax, vertices_[i].y);
  }
  r.extent = e;
}

void ShapeSet::AbandonRecord() {
  const ShapeRecord r = records_.back();
  parts_.resize(r.firstPart);
  vertices_.resize(parts_.empty() ? 0 : parts_.back().end);
  records_.back() = ShapeRecord{};
  ++damaged_;
}

void ShapeSet::Reserve(std::size_t records, std::size_t vertices) {
  records_.reserve(records);
  vertices_.reserve(vertices);
}

void ShapeSet::Clear() { *this = ShapeSet{}; }

}  // namespace altimar::shapefile
