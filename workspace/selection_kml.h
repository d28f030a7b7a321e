// The documents the workspace shows its features with in the globe:
// Quarlin_selected.kml (the selected feature with its bounding box, or the
// rectangles of a comparison) and Quarlin_deleted.kml (a feature just
// deleted, drawn grey). Texts are built by pure functions; the writers put a
// text in place whole; SelectionDocuments writes them into the program folder
// and opens them in the globe. Every line of these documents ends with CR LF.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/document_file.h"
#include "host/application_ge.h"
#include "ui/style_settings.h"

namespace altimar::workspace {

// Icon colours (aabbggrr) of a selected and of a deleted feature.
inline constexpr std::string_view kSelectedColor = "ffffff00";
inline constexpr std::string_view kDeletedColor = "ff7f7f7f";

// A document that could not be written; what() names the path and the reason.
using DocumentWriteError = data::DocumentWriteError;

// What the feature document shows.
struct FeatureInput {
  // The shapefile library's coordinate text: "x,y,z" tuples separated by
  // blanks, a line feed between the parts of a multi-part shape.
  std::string_view coordinates;
  // "Point", "PolyLine", "Polygon", their Z and M forms; any other type is
  // drawn without geometry.
  std::string_view shapeType;
  std::string_view color = kSelectedColor;  // the icon's, aabbggrr
  // The bounding box as "x1,y1,z x2,y2,z" (further tuples are ignored); a
  // text of fewer than two tuples draws no box.
  std::string_view boxText = {};
};

// How the feature document draws its feature.
struct FeatureStyle {
  std::int32_t highlightColor = 0;  // the feature's lines, Win32 colour
  std::int32_t bboxColor = 0;       // the box's lines, Win32 colour
  float styleWidth = 0.1f;          // the box's line width
  bool showBBox = false;            // "Display BBox": the box's style and placemark
  // aabbggrr of the feature's lines in place of the highlight colour.
  std::optional<std::string> lineColor;

  static FeatureStyle From(const ui::StyleSettings& settings, bool showBBox);
};

struct FocusPoint {
  double longitude = 0, latitude = 0;
};

// Whether the feature is a point without coordinates: it is then drawn,
// invisible, at the camera's focus point.
bool DrawnAtFocus(const FeatureInput& feature);

// The feature document. A shape of several parts draws every part: lines
// as a MultiGeometry of LineStrings; rings grouped as the shapefile
// library's KML export groups them (clockwise rings outer, the others holes
// of the smallest outer ring around them), several polygons in a
// MultiGeometry. A shape of one part draws its text exactly as given.
std::string FeatureKmlText(const FeatureInput& feature, const FeatureStyle& style,
                           FocusPoint focus = {});

// The comparison document: t1 as a line, then t1, t2 and t3 as areas, each
// that is not empty.
std::string ComparisonKmlText(std::string_view t1, std::string_view t2, std::string_view t3);

// Replaces the file at `path` with `text`. The text goes to a temporary file
// beside it that takes the document's place only when complete, so a failed
// write leaves the earlier document as it was. Throws DocumentWriteError.
void WriteDocument(const std::filesystem::path& path, std::string_view text);

// FeatureKmlText into `path`; a feature drawn at the focus asks the globe for
// its camera (GetCamera(1)). Throws DocumentWriteError and AutomationError.
void WriteFeatureKml(const std::filesystem::path& path, const FeatureInput& feature,
                     const FeatureStyle& style, host::ApplicationGE& objGE);

// ComparisonKmlText into `path`. Throws DocumentWriteError.
void WriteComparisonKml(const std::filesystem::path& path, std::string_view t1, std::string_view t2,
                        std::string_view t3);

// The ways the workspace shows features in the globe. Errors of the globe
// (AutomationError) and of writing (DocumentWriteError) reach the caller,
// which ends its operation, except where noted.
class SelectionDocuments {
 public:
  // showBBox tells whether "Display BBox" (chkShowBBox) is set;
  // allowContextMenu, when set, runs after a deleted feature is shown.
  SelectionDocuments(host::ApplicationGE& objGE, std::filesystem::path programDir,
                     const ui::StyleSettings& style, std::function<bool()> showBBox,
                     std::function<void()> allowContextMenu = {});

  std::filesystem::path SelectedPath() const { return programDir_ / "Quarlin_selected.kml"; }
  std::filesystem::path DeletedPath() const { return programDir_ / "Quarlin_deleted.kml"; }

  // Shows the feature where the camera is: the view is turned straight down
  // (a camera error on the way back is ignored).
  void ShowSelectedKml(std::string_view coordinates, std::string_view shapeType);
  // Shows the feature with its bounding box; the globe flies to the
  // document's view at `speed`.
  void FlyToSelectedKml(std::string_view coordinates, std::string_view shapeType, double speed,
                        std::string_view boxText);
  // Clears the selection (an invisible point at the focus) and shows the
  // deleted feature in the deleted colour, lines included; the camera stays.
  void ShowDeletedKml(std::string_view coordinates, std::string_view shapeType);
  // Shows the comparison of three rectangles, the view turned straight down.
  void ShowComparison(std::string_view t1, std::string_view t2, std::string_view t3);
  // Writes both documents without a feature and opens them, as the workspace
  // unloads. A globe that has gone away is no error; a write error is.
  void ClearDocuments();

 private:
  FeatureStyle Style(std::optional<std::string> lineColor = std::nullopt) const;
  // The camera now, turned straight down when it is tilted.
  std::shared_ptr<automation::ICameraInfoGE> CameraStraightDown();

  host::ApplicationGE& objGE_;
  std::filesystem::path programDir_;
  const ui::StyleSettings& style_;
  std::function<bool()> showBBox_;
  std::function<void()> allowContextMenu_;
};

}  // namespace altimar::workspace
