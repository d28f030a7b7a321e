#include "workspace/selection_kml.h"

#include <utility>

#include "data/feature_geometry_kml.h"
#include "platform/runtime/kml_color.h"

namespace altimar::workspace {
namespace {

constexpr std::string_view kEol = "\r\n";

// Appends one line of the document: the text and CR LF.
void Line(std::string& out, std::string_view text) {
  out += text;
  out += kEol;
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
  if (style.showBBox) data::AppendBoxStyle(out, style.bboxColor, style.styleWidth);
}

void AppendFeaturePlacemark(std::string& out, const FeatureInput& feature, FocusPoint focus) {
  Line(out, "  <Placemark>");
  Line(out, "    <styleUrl>#FEATURES</styleUrl>");
  if (DrawnAtFocus(feature))
    data::AppendHiddenPoint(out, focus.longitude, focus.latitude);
  else
    data::AppendFeatureGeometry(out, feature.shapeType, feature.coordinates);
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
  return feature.coordinates.empty() && data::IsPointType(feature.shapeType);
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
  if (style.showBBox) data::AppendBoxPlacemark(out, feature.boxText);
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
  data::WriteDocumentFile(path, text);
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
