// The many-feature selection document: every feature of the current
// selection (the first SelCount entries of the operation log, in log order)
// read from the open shapefile and drawn in one document, with the bounding
// box of the last one when asked for. Fast select shows its results with
// it; the workspace's editing shows the features it deleted or moved (kind
// 3, moved by the last shift) in Quarlin_deleted.kml. Every line ends with
// CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/attribute_database.h"
#include "data/document_file.h"
#include "host/application_ge.h"
#include "platform/shapefile/shape_library.h"
#include "ui/style_settings.h"

namespace altimar::data {

// The kind of document that shows deleted features (Quarlin_deleted.kml);
// every other kind is a selection (Quarlin_selected.kml).
inline constexpr int kDeletedKind = 3;

// Longitude, latitude and altitude differences.
using ShiftOffsets = std::array<double, 3>;

// A coordinate text with every tuple moved by the offsets. Tuples are the
// pieces between runs of whitespace (blank, tab, CR, LF) and are written
// back separated by one blank, except that a run holding a line feed on its
// own (not after a CR) stays a line feed, so the parts of a multi-part shape
// stay apart; CR LF lines become one part. Leading and trailing whitespace is
// dropped. A tuple's fields are split at ","; fields 0, 1 and 2 get offsets
// 0, 1 and 2, further fields are copied unchanged. Moved numbers are written
// as the shortest text that reads back as the value ("." and no exponent).
// A tuple of fewer than two fields, or whose fields 0 to 2 are not all finite
// numbers (or would not be once moved), is copied unchanged: one bad tuple
// does not cost the others their move.
std::string ShiftCoordText(std::string_view text, const ShiftOffsets& offsets);

// What the caller knows of the selection to show.
struct OperationRequest {
  std::int64_t selCount = 0;       // SelCount: the entries of the log that are selected
  std::string_view shapeType;      // the open shapefile's type name ("Point", "PolygonZ", ...)
  ShiftOffsets shift = {0, 0, 0};  // ShiftDelta: the last shift, for kind 3
  bool withBox = false;            // draw the box of the last feature ("Display BBox" too)
};

class OperationDocument {
 public:
  // showBBox tells whether "Display BBox" is ticked.
  OperationDocument(host::ApplicationGE& objGE, AttributeDatabase& rdb,
                    shapefile::ShapeLibrary& shapes, std::filesystem::path programDir,
                    const ui::StyleSettings& style, std::function<bool()> showBBox);

  // Quarlin_deleted.kml for kind 3, Quarlin_selected.kml otherwise.
  std::filesystem::path PathFor(int kind) const;

  // The document's text. Each selected FID that the open shapefile has gets
  // a placemark named by its FID (others, and log entries without a FID, are
  // left out), drawn in `color` (aabbggrr); a feature without coordinates
  // (a null shape) gets no geometry. Without an open database the folder
  // stays empty. The box is that of the last feature read, drawn only when
  // the request wants it, "Display BBox" is ticked and that feature has a
  // box. Throws dao::DaoError when the log cannot be read.
  std::string DocumentText(int kind, std::string_view color, const OperationRequest& request);

  // Sets the auto-pilot speed, writes the document over PathFor(kind) and
  // has the globe open it (messages suppressed). Returns whether a selection
  // document (kind other than 3) is now shown. Throws DocumentWriteError
  // (naming the path), AutomationError and dao::DaoError.
  bool SendKmlToGE4Operation(int kind, std::string_view color, double speed,
                             const OperationRequest& request);

 private:
  // The FIDs of the first selCount entries of the log, in log order.
  std::vector<int> SelectedFids(std::int64_t selCount);

  host::ApplicationGE& objGE_;
  AttributeDatabase& rdb_;
  shapefile::ShapeLibrary& shapes_;
  std::filesystem::path programDir_;
  const ui::StyleSettings& style_;
  std::function<bool()> showBBox_;
};

}  // namespace altimar::data
