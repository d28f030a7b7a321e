#include "data/feature_geometry_kml.h"

#include <charconv>
#include <vector>

#include "platform/runtime/kml_color.h"
#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/kml_writer.h"
#include "platform/shapefile/shape_set.h"

namespace altimar::data {
namespace {

// Appends one line: the text and CR LF.
void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

template <class T>
void AppendShortest(std::string& out, T v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  // Only a value past the buffer's 64 digits fails; fall back to the exponent form.
  const auto e = r.ec == std::errc() ? r : std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, e.ptr);
}

// The lines every geometry of a feature starts with.
void AppendGeometryMode(std::string& out) {
  Line(out, "    <extrude>1</extrude>");
  Line(out, "    <tessellate>0</tessellate>");
  Line(out, "    <altitudeMode>relativeToGround</altitudeMode>");
}

void AppendCoordinates(std::string& out, std::string_view text) {
  out += "    <coordinates>";
  Line(out, text);
  Line(out, "    </coordinates>");
}

void AppendPoint(std::string& out, std::string_view text) {
  Line(out, "    <Point>");
  AppendGeometryMode(out);
  AppendCoordinates(out, text);
  Line(out, "    </Point>");
}

void AppendLineString(std::string& out, std::string_view text) {
  Line(out, "    <LineString>");
  AppendGeometryMode(out);
  AppendCoordinates(out, text);
  Line(out, "    </LineString>");
}

// A polygon of rings: the first the outer boundary, the others its holes.
void AppendPolygon(std::string& out, const std::vector<std::string_view>& rings) {
  Line(out, "    <Polygon>");
  AppendGeometryMode(out);
  for (std::size_t k = 0; k < rings.size(); ++k) {
    Line(out, k == 0 ? "    <outerBoundaryIs>" : "    <innerBoundaryIs>");
    Line(out, "    <LinearRing>");
    AppendCoordinates(out, rings[k]);
    Line(out, "    </LinearRing>");
    Line(out, k == 0 ? "    </outerBoundaryIs>" : "    </innerBoundaryIs>");
  }
  Line(out, "    </Polygon>");
}

// The rings of several parts grouped into polygons as the shapefile library
// groups a polygon's parts. Parts that are not all coordinate tuples cannot
// be measured: each is then an outer ring of its own.
std::vector<std::vector<std::string_view>> GroupParts(const std::vector<std::string_view>& parts) {
  std::vector<std::vector<shapefile::Vertex>> rings(parts.size());
  std::string error;
  bool measurable = true;
  for (std::size_t k = 0; k < parts.size() && measurable; ++k)
    measurable = shapefile::ParseCoordinateTuples(parts[k], rings[k], error) && !rings[k].empty();
  std::vector<std::vector<std::string_view>> polygons;
  if (!measurable) {
    for (std::string_view part : parts) polygons.push_back({part});
    return polygons;
  }
  shapefile::ShapeSet set;
  const int fid = set.Append(shapefile::kPolygon, rings);
  for (const auto& group : shapefile::GroupRings(set, fid)) {
    auto& polygon = polygons.emplace_back();
    for (std::uint32_t part : group) polygon.push_back(parts[part]);
  }
  return polygons;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct XY {
  std::string_view x, y;
};

// The x and y texts of the first two tuples of a box text; false when it has
// fewer than two tuples of at least x and y.
bool BoxCorners(std::string_view text, XY& a, XY& b) {
  XY* corners[2] = {&a, &b};
  std::size_t i = 0;
  for (XY* corner : corners) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const std::string_view tuple = text.substr(i, end - i);
    i = end;
    const std::size_t comma = tuple.find(',');
    if (comma == std::string_view::npos) return false;
    const std::string_view rest = tuple.substr(comma + 1);
    corner->x = tuple.substr(0, comma);
    corner->y = rest.substr(0, rest.find(','));
    if (corner->x.empty() || corner->y.empty()) return false;
  }
  return true;
}

}  // namespace

GeometryKind GeometryKindOf(std::string_view shapeType) {
  auto is = [shapeType](std::string_view base) {
    if (shapeType.substr(0, base.size()) != base) return false;
    const std::string_view rest = shapeType.substr(base.size());
    return rest.empty() || rest == "Z" || rest == "M";
  };
  if (is("Point")) return GeometryKind::kPoint;
  if (is("PolyLine")) return GeometryKind::kLine;
  if (is("Polygon")) return GeometryKind::kArea;
  return GeometryKind::kNone;
}

void AppendFeatureGeometry(std::string& out, std::string_view shapeType,
                           std::string_view coordinates) {
  const GeometryKind kind = GeometryKindOf(shapeType);
  if (kind == GeometryKind::kNone) return;
  if (kind == GeometryKind::kPoint) {
    AppendPoint(out, coordinates);
    return;
  }
  const std::vector<std::string_view> parts = shapefile::SplitCoordinateParts(coordinates);
  if (parts.size() <= 1) {
    if (kind == GeometryKind::kLine)
      AppendLineString(out, coordinates);
    else
      AppendPolygon(out, {coordinates});
    return;
  }
  if (kind == GeometryKind::kLine) {
    Line(out, "    <MultiGeometry>");
    for (std::string_view part : parts) AppendLineString(out, part);
    Line(out, "    </MultiGeometry>");
    return;
  }
  const auto polygons = GroupParts(parts);
  if (polygons.size() > 1) Line(out, "    <MultiGeometry>");
  for (const auto& rings : polygons) AppendPolygon(out, rings);
  if (polygons.size() > 1) Line(out, "    </MultiGeometry>");
}

void AppendHiddenPoint(std::string& out, double longitude, double latitude) {
  std::string text;
  AppendShortest(text, longitude);
  text += ',';
  AppendShortest(text, latitude);
  Line(out, "    <visibility>0</visibility>");
  AppendPoint(out, text);
}

bool AppendBoxRing(std::string& out, std::string_view boxText) {
  XY a, b;
  if (!BoxCorners(boxText, a, b)) return false;
  // Each side from corner to corner, the ring closed on its first corner.
  const XY ring[8] = {{a.x, a.y}, {b.x, a.y}, {b.x, a.y}, {b.x, b.y},
                      {b.x, b.y}, {a.x, b.y}, {a.x, b.y}, {a.x, a.y}};
  for (const XY& p : ring) {
    out += p.x;
    out += ',';
    out += p.y;
    out += ",0 ";
  }
  return true;
}

void AppendBoxStyle(std::string& out, std::int32_t bboxColor, float width) {
  Line(out, R"(    <Style id="BBox">)");
  Line(out, "      <LineStyle>");
  out += "        <color>ff";
  out += runtime::ColorToKmlHex(bboxColor);
  Line(out, "</color>");
  out += "        <width>";
  AppendShortest(out, width);
  Line(out, "</width>");
  Line(out, "      </LineStyle>");
  Line(out, "    </Style>");
}

bool AppendBoxPlacemark(std::string& out, std::string_view boxText) {
  std::string ring;
  if (!AppendBoxRing(ring, boxText)) return false;
  Line(out, "  <Placemark>");
  Line(out, "    <styleUrl>#BBox</styleUrl>");
  Line(out, "    <LineString>");
  Line(out, "    <extrude>1</extrude>");
  Line(out, "    <tessellate>0</tessellate>");
  Line(out, "    <altitudeMode>relativeToGround</altitudeMode>");
  out += "    <coordinates>";
  out += ring;
  Line(out, "</coordinates>");
  Line(out, "    </LineString>");
  Line(out, "  </Placemark>");
  return true;
}

void AppendShortestDecimal(std::string& out, double v) {
  AppendShortest(out, v);
}
void AppendShortestDecimal(std::string& out, float v) {
  AppendShortest(out, v);
}

}  // namespace altimar::data
