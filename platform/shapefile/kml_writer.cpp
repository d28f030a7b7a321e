#include "platform/shapefile/kml_writer.h"

#include <cmath>
#include <cstdint>

#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/shape_distance.h"
#include "platform/shapefile/text_encoding.h"

namespace altimar::shapefile {
namespace {

// Twice the signed area; negative for a clockwise ring.
double SignedArea(const ShapeSet& set, const PartRange& p) {
  double sum = 0;
  const Vertex& o = set.vertex(p.begin);  // relative to the first vertex, for precision
  for (std::uint32_t i = p.begin + 1; i + 1 < p.end; ++i) {
    const Vertex& a = set.vertex(i);
    const Vertex& b = set.vertex(i + 1);
    sum += (a.x - o.x) * (b.y - o.y) - (b.x - o.x) * (a.y - o.y);
  }
  return sum;
}

void AppendCoordinates(std::string& out, const ShapeSet& set, const PartRange& p, bool closeRing) {
  out += "<coordinates>";
  AppendTuples(out, set, p.begin, p.end);
  const Vertex& first = set.vertex(p.begin);
  const Vertex& last = set.vertex(p.end - 1);
  if (closeRing && (first.x != last.x || first.y != last.y)) {
    out += ' ';
    AppendTuple(out, first);
  }
  out += "</coordinates>";
}

void AppendPolygon(std::string& out, const ShapeSet& set, const ShapeRecord& r,
                   const std::vector<std::uint32_t>& rings) {
  out += "<Polygon>";
  for (std::size_t k = 0; k < rings.size(); ++k) {
    out += k == 0 ? "<outerBoundaryIs><LinearRing>" : "<innerBoundaryIs><LinearRing>";
    AppendCoordinates(out, set, set.part(r.firstPart + rings[k]), true);
    out += k == 0 ? "</LinearRing></outerBoundaryIs>" : "</LinearRing></innerBoundaryIs>";
  }
  out += "</Polygon>";
}

}  // namespace

std::vector<std::vector<std::uint32_t>> GroupRings(const ShapeSet& set, int fid) {
  const ShapeRecord& r = set.record(fid);
  std::vector<double> area(r.partCount);
  bool anyOuter = false;
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    area[k] = SignedArea(set, set.part(r.firstPart + k));
    anyOuter = anyOuter || area[k] < 0;
  }
  std::vector<std::vector<std::uint32_t>> polygons;
  std::vector<std::size_t> polygonOfRing(r.partCount, SIZE_MAX);
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    if (anyOuter && area[k] >= 0) continue;
    polygonOfRing[k] = polygons.size();
    polygons.push_back({k});
  }
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    if (polygonOfRing[k] != SIZE_MAX) continue;
    // A hole belongs to the smallest outer ring around its first vertex.
    const Vertex& v = set.vertex(set.part(r.firstPart + k).begin);
    std::size_t best = SIZE_MAX;
    for (std::size_t p = 0; p < polygons.size(); ++p) {
      const std::uint32_t outer = polygons[p][0];
      if (!InsideRing(set, set.part(r.firstPart + outer), v.x, v.y)) continue;
      if (best == SIZE_MAX || std::abs(area[outer]) < std::abs(area[polygons[best][0]])) best = p;
    }
    if (best == SIZE_MAX) {  // a hole in nothing: draw it as an area of its own
      polygons.push_back({k});
    } else {
      polygons[best].push_back(k);
    }
  }
  return polygons;
}

void AppendShapeGeometry(std::string& out, const ShapeSet& set, int fid) {
  const ShapeRecord& r = set.record(fid);
  if (r.partCount == 0) return;
  const ShapeFamily family = FamilyOf(r.type);
  if (family == ShapeFamily::kArea) {
    const auto polygons = GroupRings(set, fid);
    if (polygons.size() > 1) out += "<MultiGeometry>";
    for (const auto& rings : polygons) AppendPolygon(out, set, r, rings);
    if (polygons.size() > 1) out += "</MultiGeometry>";
    return;
  }
  if (r.partCount > 1) out += "<MultiGeometry>";
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    const PartRange& p = set.part(r.firstPart + k);
    if (family == ShapeFamily::kPoint) {
      out += "<Point>";
      AppendCoordinates(out, set, p, false);
      out += "</Point>";
    } else {
      out += "<LineString>";
      AppendCoordinates(out, set, p, false);
      out += "</LineString>";
    }
  }
  if (r.partCount > 1) out += "</MultiGeometry>";
}

void AppendKmlDocumentStart(std::string& out, const std::string& name, const char* styleId) {
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>";
  std::string clean;
  AppendCleanUtf8(clean, name);
  AppendXmlEscaped(out, clean);
  out += "</name>\n<Style id=\"";
  out += styleId;
  out += "\"><IconStyle><color>ff00ffff</color></IconStyle>"
         "<LineStyle><color>ff00ffff</color><width>2</width></LineStyle>"
         "<PolyStyle><color>4000ffff</color></PolyStyle></Style>\n";
}

void AppendKmlDocumentEnd(std::string& out) { out += "</Document>\n</kml>\n"; }

}  // namespace altimar::shapefile
