#include "workspace/selection_kml.h"

#include <charconv>
#include <cstdint>
#include <utility>
#include <vector>

#include "contour/text_file.h"
#include "platform/runtime/kml_color.h"
#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/kml_writer.h"
#include "platform/shapefile/shape_set.h"

namespace altimar::workspace {
namespace {

constexpr std::string_view kEol = "\r\n";

// Appends one line of the document: the text and CR LF.
void Line(std::string& out, std::string_view text) {
  out += text;
  out += kEol;
}

// The shortest decimal text that reads back as v, "." as the separator.
template <class T>
void AppendShortest(std::string& out, T v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  // Only a value past the buffer's 64 digits fails; fall back to the exponent form.
  const auto e = r.ec == std::errc() ? r : std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, e.ptr);
}

enum class Drawing { kNone, kPoint, kLine, kArea };

// Z and M shapes draw like their plain types.
Drawing DrawingOf(std::string_view type) {
  auto is = [type](std::string_view base) {
    if (type.substr(0, base.size()) != base) return false;
    const std::string_view rest = type.substr(base.size());
    return rest.empty() || rest == "Z" || rest == "M";
  };
  if (is("Point")) return Drawing::kPoint;
  if (is("PolyLine")) return Drawing::kLine;
  if (is("Polygon")) return Drawing::kArea;
  return Drawing::kNone;
}

void AppendHead(std::string& out, std::string_view name) {
  Line(out, R"(<?xml version="1.0" encoding="UTF-8"?>)");
  Line(out, R"(<kml xmlns="http://earth.google.com/kml/2.1">)");
  Line(out, "<Document>");
  out += "  <name>";
  out += name;
  Line(out, "</name>");
  Line(out, "  <open>0</open>");
}

void AppendTail(std::string& out) {
  Line(out, "  </Folder>");
  Line(out, "</Document>");
  Line(out, "</kml>");
}

void AppendColorLine(std::string& out, std::string_view indent, std::string_view color) {
  out += indent;
  out += "<color>";
  out += color;
  Line(out, "</color>");
}

void AppendFeatureStyles(std::string& out, std::string_view iconColor, const FeatureStyle& style) {
  Line(out, R"(    <Style id="FEATURES">)");
  Line(out, "      <IconStyle>");
  AppendColorLine(out, "        ", iconColor);
  Line(out, "        <scale>1.5</scale>");
  Line(out, "        <Icon>");
  Line(out, "          <href>root://icons/palette-4.png</href>");
  Line(out, "          <x>32</x><y>128</y><w>32</w><h>32</h>");
  Line(out, "        </Icon>");
  Line(out, "      </IconStyle>");
  Line(out, "      <LabelStyle>");
  Line(out, "        <color>00FFFFFF</color>");
  Line(out, "      </LabelStyle>");
  Line(out, "      <LineStyle>");
  AppendColorLine(
      out, "         ",
      style.lineColor ? *style.lineColor : "ff" + runtime::ColorToKmlHex(style.highlightColor));
  Line(out, "         <width>4</width>");
  Line(out, "      </LineStyle>");
  Line(out, "    </Style>");
  if (!style.showBBox) return;
  Line(out, R"(    <Style id="BBox">)");
  Line(out, "      <LineStyle>");
  AppendColorLine(out, "        ", "ff" + runtime::ColorToKmlHex(style.bboxColor));
  out += "        <width>";
  AppendShortest(out, style.styleWidth);
  Line(out, "</width>");
  Line(out, "      </LineStyle>");
  Line(out, "    </Style>");
}

struct XY {
  std::string_view x, y;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

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

void AppendBoxPlacemark(std::string& out, std::string_view boxText) {
  XY a, b;
  if (!BoxCorners(boxText, a, b)) return;
  Line(out, "  <Placemark>");
  Line(out, "    <styleUrl>#BBox</styleUrl>");
  Line(out, "    <LineString>");
  Line(out, "    <extrude>1</extrude>");
  Line(out, "    <tessellate>0</tessellate>");
  Line(out, "    <altitudeMode>relativeToGround</altitudeMode>");
  out += "    <coordinates>";
  // Each side from corner to corner, the ring closed on its first corner.
  const XY ring[8] = {{a.x, a.y}, {b.x, a.y}, {b.x, a.y}, {b.x, b.y},
                      {b.x, b.y}, {a.x, b.y}, {a.x, b.y}, {a.x, a.y}};
  for (const XY& p : ring) {
    out += p.x;
    out += ',';
    out += p.y;
    out += ",0 ";
  }
  Line(out, "</coordinates>");
  Line(out, "    </LineString>");
  Line(out, "  </Placemark>");
}

// The lines every geometry of the feature starts with.
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

void AppendGeometry(std::string& out, Drawing drawing, std::string_view coordinates) {
  if (drawing == Drawing::kPoint) {
    Line(out, "    <Point>");
    AppendGeometryMode(out);
    AppendCoordinates(out, coordinates);
    Line(out, "    </Point>");
    return;
  }
  const std::vector<std::string_view> parts = shapefile::SplitCoordinateParts(coordinates);
  if (parts.size() <= 1) {
    if (drawing == Drawing::kLine)
      AppendLineString(out, coordinates);
    else
      AppendPolygon(out, {coordinates});
    return;
  }
  if (drawing == Drawing::kLine) {
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

void AppendFeaturePlacemark(std::string& out, const FeatureInput& feature, FocusPoint focus) {
  Line(out, "  <Placemark>");
  Line(out, "    <styleUrl>#FEATURES</styleUrl>");
  const Drawing drawing = DrawingOf(feature.shapeType);
  if (DrawnAtFocus(feature)) {
    std::string text;
    AppendShortest(text, focus.longitude);
    text += ',';
    AppendShortest(text, focus.latitude);
    Line(out, "    <visibility>0</visibility>");
    AppendGeometry(out, drawing, text);
  } else if (drawing != Drawing::kNone) {
    AppendGeometry(out, drawing, feature.coordinates);
  }
  Line(out, "  </Placemark>");
}

void AppendComparisonStyle(std::string& out, int n, std::string_view line, std::string_view fill,
                           bool filled) {
  out += R"(    <Style id="BBox)";
  out += static_cast<char>('0' + n);
  Line(out, R"(">)");
  Line(out, "      <LineStyle>");
  AppendColorLine(out, "        ", line);
  Line(out, "        <width>3</width>");
  Line(out, "      </LineStyle>");
  Line(out, "      <PolyStyle>");
  AppendColorLine(out, "        ", fill);
  Line(out, "        <colorMode>normal</colorMode>");
  Line(out, filled ? "        <fill>1</fill>" : "        <fill>0</fill>");
  Line(out, "        <outline>1</outline>");
  Line(out, "      </PolyStyle>");
  Line(out, "    </Style>");
}

void AppendStyleUrl(std::string& out, int n) {
  out += "    <styleUrl>#BBox";
  out += static_cast<char>('0' + n);
  Line(out, "</styleUrl>");
}

void AppendOneLineCoordinates(std::string& out, std::string_view text) {
  out += "    <coordinates>";
  out += text;
  Line(out, "</coordinates>");
}

void AppendComparisonArea(std::string& out, int n, std::string_view text) {
  if (text.empty()) return;
  Line(out, "  <Placemark>");
  AppendStyleUrl(out, n);
  Line(out, "    <Polygon>");
  Line(out, "    <extrude>0</extrude>");
  Line(out, "    <tessellate>1</tessellate>");
  Line(out, "    <altitudeMode>clampToGround</altitudeMode>");
  Line(out, "    <outerBoundaryIs>");
  Line(out, "    <LinearRing>");
  AppendOneLineCoordinates(out, text);
  Line(out, "    </LinearRing>");
  Line(out, "    </outerBoundaryIs>");
  Line(out, "    </Polygon>");
  Line(out, "  </Placemark>");
}

}  // namespace

FeatureStyle FeatureStyle::From(const ui::StyleSettings& settings, bool showBBox) {
  FeatureStyle s;
  s.highlightColor = settings.HighlightColor;
  s.bboxColor = settings.BBoxColor;
  s.styleWidth = settings.StyleWidth;
  s.showBBox = showBBox;
  return s;
}

bool DrawnAtFocus(const FeatureInput& feature) {
  return feature.coordinates.empty() && DrawingOf(feature.shapeType) == Drawing::kPoint;
}

std::string FeatureKmlText(const FeatureInput& feature, const FeatureStyle& style,
                           FocusPoint focus) {
  std::string out;
  out.reserve(2048 + feature.coordinates.size() + feature.boxText.size());
  AppendHead(out, "Quarlin - Selection of Features");
  Line(out, "  <flyToView>0</flyToView>");
  Line(out, "  <description>Digitalizing from Arc to GE</description>");
  AppendFeatureStyles(out, feature.color, style);
  Line(out, "  <Folder>");
  if (style.showBBox) AppendBoxPlacemark(out, feature.boxText);
  AppendFeaturePlacemark(out, feature, focus);
  AppendTail(out);
  return out;
}

std::string ComparisonKmlText(std::string_view t1, std::string_view t2, std::string_view t3) {
  std::string out;
  out.reserve(3072 + 2 * t1.size() + t2.size() + t3.size());
  AppendHead(out, "Comparision of Rect");
  Line(out, "  <description>Comparision: Rectangle</description>");
  AppendComparisonStyle(out, 1, "ff00ffff", "8f00ffff", false);
  AppendComparisonStyle(out, 2, "ffff00ff", "8fff00ff", false);
  AppendComparisonStyle(out, 3, "ffffff00", "8fffff00", true);
  Line(out, "  <Folder>");
  Line(out, "  <Placemark>");
  AppendStyleUrl(out, 1);
  Line(out, "    <LineString>");
  Line(out, "    <extrude>1</extrude>");
  Line(out, "    <tessellate>1</tessellate>");
  Line(out, "    <altitudeMode>clampToGround</altitudeMode>");
  AppendOneLineCoordinates(out, t1);
  Line(out, "    </LineString>");
  Line(out, "  </Placemark>");
  AppendComparisonArea(out, 1, t1);
  AppendComparisonArea(out, 2, t2);
  AppendComparisonArea(out, 3, t3);
  AppendTail(out);
  return out;
}

void WriteDocument(const std::filesystem::path& path, std::string_view text) {
  contour::TextFileWriter file(path.string());
  file.Write(text);
  if (!file.Commit())
    throw DocumentWriteError("cannot write '" + path.string() + "': " + file.error());
}

void WriteFeatureKml(const std::filesystem::path& path, const FeatureInput& feature,
                     const FeatureStyle& style, host::ApplicationGE& objGE) {
  FocusPoint focus;
  if (DrawnAtFocus(feature)) {
    const auto camera = objGE->GetCamera(1);
    focus = {camera->get_FocusPointLongitude(), camera->get_FocusPointLatitude()};
  }
  WriteDocument(path, FeatureKmlText(feature, style, focus));
}

void WriteComparisonKml(const std::filesystem::path& path, std::string_view t1, std::string_view t2,
                        std::string_view t3) {
  WriteDocument(path, ComparisonKmlText(t1, t2, t3));
}

SelectionDocuments::SelectionDocuments(host::ApplicationGE& objGE, std::filesystem::path programDir,
                                       const ui::StyleSettings& style,
                                       std::function<bool()> showBBox,
                                       std::function<void()> allowContextMenu)
    : objGE_(objGE),
      programDir_(std::move(programDir)),
      style_(style),
      showBBox_(std::move(showBBox)),
      allowContextMenu_(std::move(allowContextMenu)) {}

FeatureStyle SelectionDocuments::Style(std::optional<std::string> lineColor) const {
  FeatureStyle s = FeatureStyle::From(style_, showBBox_ && showBBox_());
  s.lineColor = std::move(lineColor);
  return s;
}

std::shared_ptr<automation::ICameraInfoGE> SelectionDocuments::CameraStraightDown() {
  auto camera = objGE_->GetCamera(1);
  if (camera->get_Tilt() != 0) camera->put_Tilt(0);
  return camera;
}

void SelectionDocuments::ShowSelectedKml(std::string_view coordinates, std::string_view shapeType) {
  objGE_->put_AutoPilotSpeed(0.1);
  const auto camera = CameraStraightDown();
  const auto path = SelectedPath();
  WriteFeatureKml(path, {coordinates, shapeType, kSelectedColor, {}}, Style(), objGE_);
  objGE_->OpenKmlFile(path.string(), 5);
  try {
    objGE_->SetCamera(*camera, 1.0);
  } catch (const automation::AutomationError&) {
    // The document is shown; a view that does not turn back is no failure.
  }
}

void SelectionDocuments::FlyToSelectedKml(std::string_view coordinates, std::string_view shapeType,
                                          double speed, std::string_view boxText) {
  objGE_->put_AutoPilotSpeed(speed);
  const auto path = SelectedPath();
  WriteFeatureKml(path, {coordinates, shapeType, kSelectedColor, boxText}, Style(), objGE_);
  objGE_->OpenKmlFile(path.string(), 1);
}

void SelectionDocuments::ShowDeletedKml(std::string_view coordinates, std::string_view shapeType) {
  objGE_->put_AutoPilotSpeed(0.1);
  const auto camera = objGE_->GetCamera(1);
  ShowSelectedKml({}, "Point");
  const auto path = DeletedPath();
  WriteFeatureKml(path, {coordinates, shapeType, kDeletedColor, {}},
                  Style(std::string(kDeletedColor)), objGE_);
  objGE_->OpenKmlFile(path.string(), 1);
  objGE_->SetCamera(*camera, 1.0);
  if (allowContextMenu_) allowContextMenu_();
}

void SelectionDocuments::ShowComparison(std::string_view t1, std::string_view t2,
                                        std::string_view t3) {
  objGE_->put_AutoPilotSpeed(0.1);
  const auto camera = CameraStraightDown();
  const auto path = SelectedPath();
  WriteComparisonKml(path, t1, t2, t3);
  objGE_->OpenKmlFile(path.string(), 5);
  objGE_->SetCamera(*camera, 1.0);
}

void SelectionDocuments::ClearDocuments() {
  // Documents without geometry need no globe to be written.
  const FeatureStyle style = Style();
  WriteDocument(SelectedPath(), FeatureKmlText({{}, {}, kSelectedColor, {}}, style));
  WriteDocument(DeletedPath(), FeatureKmlText({{}, {}, kDeletedColor, {}}, style));
  try {
    objGE_->OpenKmlFile(SelectedPath().string(), 1);
    objGE_->OpenKmlFile(DeletedPath().string(), 1);
  } catch (const automation::AutomationError&) {
    // The globe has gone first: nothing is left to blank in it.
  }
}

}  // namespace altimar::workspace
