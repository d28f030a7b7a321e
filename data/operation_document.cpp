#include "data/operation_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "data/feature_geometry_kml.h"

namespace altimar::data {
namespace {

void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The whole field as a finite number; a leading "+" is allowed.
bool ParseNumber(std::string_view field, double& v) {
  if (!field.empty() && field.front() == '+') {
    field.remove_prefix(1);
    if (!field.empty() && field.front() == '-') return false;
  }
  const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
  return r.ec == std::errc() && r.ptr == field.data() + field.size() && std::isfinite(v);
}

// Appends the tuple moved by the offsets, or as it is when it cannot be moved.
void AppendShiftedTuple(std::string& out, std::string_view tuple, const ShiftOffsets& offsets) {
  std::string_view fields[3];
  double moved[3];
  std::size_t count = 0;
  std::string_view rest = tuple;
  bool more = true;
  while (more && count < 3) {
    const std::size_t comma = rest.find(',');
    more = comma != std::string_view::npos;
    fields[count] = rest.substr(0, comma);
    double v = 0;
    if (!ParseNumber(fields[count], v)) {
      out += tuple;
      return;
    }
    moved[count] = v + offsets[count];
    if (!std::isfinite(moved[count])) {
      out += tuple;
      return;
    }
    ++count;
    rest = more ? rest.substr(comma + 1) : std::string_view();
  }
  if (count < 2) {
    out += tuple;
    return;
  }
  for (std::size_t k = 0; k < count; ++k) {
    if (k > 0) out += ',';
    AppendShortestDecimal(out, moved[k]);
  }
  if (more) {
    out += ',';
    out += rest;
  }
}

// The text for a run of whitespace between two tuples: a line feed when the
// run holds one on its own (a break between parts), else one blank.
char Separator(std::string_view run) {
  for (std::size_t k = 0; k < run.size(); ++k)
    if (run[k] == '\n' && (k == 0 || run[k - 1] != '\r')) return '\n';
  return ' ';
}

void AppendFeatureStyle(std::string& out, std::string_view color) {
  auto colorLine = [&out, color](std::string_view indent) {
    out += indent;
    out += "<color>";
    out += color;
    Line(out, "</color>");
  };
  Line(out, R"(    <Style id="FEATURES">)");
  Line(out, "      <IconStyle>");
  colorLine("        ");
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
  colorLine("         ");
  Line(out, "         <width>3</width>");
  Line(out, "      </LineStyle>");
  Line(out, "      <PolyStyle>");
  Line(out, "         <outline>1</outline>");
  Line(out, "         <fill>1</fill>");
  colorLine("         ");
  Line(out, "         <colorMode>random</colorMode>");
  Line(out, "         <width>3</width>");
  Line(out, "      </PolyStyle>");
  Line(out, "    </Style>");
}

void AppendFeaturePlacemark(std::string& out, int fid, std::string_view shapeType,
                            std::string_view coordinates) {
  Line(out, "  <Placemark>");
  out += "    <name>";
  out += std::to_string(fid);
  Line(out, "</name>");
  Line(out, "    <styleUrl>#FEATURES</styleUrl>");
  if (!coordinates.empty()) AppendFeatureGeometry(out, shapeType, coordinates);
  Line(out, "  </Placemark>");
}

}  // namespace

std::string ShiftCoordText(std::string_view text, const ShiftOffsets& offsets) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  while (i < text.size()) {
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    AppendShiftedTuple(out, text.substr(i, end - i), offsets);
    i = end;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size()) out += Separator(text.substr(end, i - end));
  }
  return out;
}

OperationDocument::OperationDocument(host::ApplicationGE& objGE, AttributeDatabase& rdb,
                                     shapefile::ShapeLibrary& shapes,
                                     std::filesystem::path programDir,
                                     const ui::StyleSettings& style, std::function<bool()> showBBox)
    : objGE_(objGE),
      rdb_(rdb),
      shapes_(shapes),
      programDir_(std::move(programDir)),
      style_(style),
      showBBox_(std::move(showBBox)) {}

std::filesystem::path OperationDocument::PathFor(int kind) const {
  return programDir_ / (kind == kDeletedKind ? "Quarlin_deleted.kml" : "Quarlin_selected.kml");
}

std::vector<int> OperationDocument::SelectedFids(std::int64_t selCount) {
  std::vector<int> fids;
  dao::Recordset* log = rdb_.OperationRs.get();
  if (!log || selCount <= 0 || log->RecordCount() == 0) return fids;
  const int column = log->FieldIndex("FID");
  if (column < 0) return fids;
  fids.reserve(static_cast<std::size_t>(std::min(selCount, log->RecordCount())));
  log->MoveFirst();
  for (std::int64_t k = 0; k < selCount && !log->EOF_(); ++k, log->MoveNext()) {
    const dao::Value v = log->Get(column);
    const auto* fid = std::get_if<std::int64_t>(&v);
    if (fid && *fid >= 0 && *fid <= std::numeric_limits<int>::max())
      fids.push_back(static_cast<int>(*fid));
  }
  return fids;
}

std::string OperationDocument::DocumentText(int kind, std::string_view color,
                                            const OperationRequest& request) {
  const std::string_view shapeType = request.shapeType.substr(0, request.shapeType.find('\0'));
  const std::vector<int> fids = SelectedFids(request.selCount);
  std::string out;
  out.reserve(2048 + fids.size() * 320);
  Line(out, R"(<?xml version="1.0" encoding="UTF-8"?>)");
  Line(out, R"(<kml xmlns="http://earth.google.com/kml/2.1">)");
  Line(out, "<Document>");
  Line(out, "  <name>Quarlin - Selection of Features</name>");
  Line(out, "  <open>0</open>");
  Line(out, "  <flyToView>0</flyToView>");
  Line(out, "  <description>Digitalizing from Arc to GE</description>");
  AppendFeatureStyle(out, color);
  Line(out, "  <Folder>");
  std::string coords, attrs, bbox, lastBox;
  bool read = false;
  for (const int fid : fids) {
    if (shapes_.SW_ReadFeature(fid, 0, coords, attrs, bbox) < 0) continue;
    if (kind == kDeletedKind) coords = ShiftCoordText(coords, request.shift);
    AppendFeaturePlacemark(out, fid, shapeType, coords);
    lastBox.swap(bbox);
    read = true;
  }
  Line(out, "  </Folder>");
  if (read && request.withBox && showBBox_ && showBBox_()) {
    std::string box;
    if (AppendBoxPlacemark(box, lastBox)) {
      Line(out, "  <Folder>");
      AppendBoxStyle(out, style_.BBoxColor, style_.StyleWidth);
      out += box;
      Line(out, "  </Folder>");
    }
  }
  Line(out, "</Document>");
  Line(out, "</kml>");
  return out;
}

bool OperationDocument::SendKmlToGE4Operation(int kind, std::string_view color, double speed,
                                              const OperationRequest& request) {
  objGE_->put_AutoPilotSpeed(speed);
  const std::filesystem::path path = PathFor(kind);
  WriteDocumentFile(path, DocumentText(kind, color, request));
  objGE_->OpenKmlFile(path.string(), 1);
  return kind != kDeletedKind;
}

}  // namespace altimar::data
