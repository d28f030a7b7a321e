// The KML reader: placemarks of a KML file become features of the work
// shapefile (ttt.shp in the program folder) and rows of the attribute
// table "Feature", through SAX handlers. Two passes read each file: the
// schema pass collects the columns the file declares with
// <qelix:propertyDef name=".." type=".."/>, the import pass writes geometry
// and rows; <qelix:property ref="x:qelix_NAME">value</qelix:property> gives
// a placemark's value of a declared column.
//
// Element names are compared as written (qualified), so "kml:Placemark" is
// not a placemark. Text of an element is collected until its end tag, however
// the parser cuts it. Each placemark starts with empty fields, and its
// geometry and rows are written at its end tag, one feature and one row per
// <coordinates> element, so a name that follows the geometry still names it.
// Coordinates outside any placemark are written at their own end tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sax/sax_reader.h"

namespace altimar::shapefile {
class ShapeLibrary;
}
namespace altimar::dao {
class Recordset;
}

namespace altimar::data {

class AttributeDatabase;

// Longest text kept of a name, description, property value or other field;
// the rest is dropped (coordinates are never cut).
inline constexpr std::size_t kMaxFieldText = std::size_t{1} << 20;

class ContentHandlerImpl : public sax::ContentHandler {
 public:
  // Rows go to `rows` (the Feature table being built; none in the schema
  // pass).
  ContentHandlerImpl(AttributeDatabase& rdb, shapefile::ShapeLibrary& shapes,
                     sax::SaxReader& reader, std::string workShapePath, dao::Recordset* rows);

  void startElement(std::string_view uri, std::string_view localName, std::string_view qName,
                    const sax::Attributes& attributes) override;
  void endElement(std::string_view uri, std::string_view localName,
                  std::string_view qName) override;
  void characters(std::string_view text) override;

  // Appends the row of the placemark just read to the recordset.
  void WriteFeatureRow(dao::Recordset& rs, std::string& name);

  // --- state of the parse ---
  std::string CurElement;
  std::string PmName, PmDescription, PmStyleUrl, PmExtrude, PmAltitudeMode;
  std::string GeomType;
  bool ShapeOpen = false;
  std::vector<std::string> PropValue;
  bool PropActive = false;
  int PropIndex = 0;
  std::string PropRef;
  std::string DefName, DefType;
  std::uint8_t DefFound = 0;

  // --- what the pass did ---
  std::string log;  // lines for the workspace log, appended once at the end of the pass
  std::int64_t features = 0, rows = 0;
  bool tooManyColumns = false;  // a declaration found no free row: the pass stopped
  std::string failure;          // why the pass stopped early, when it did

 private:
  struct PendingGeometry {
    std::string coordinates;
    std::string geomType;
  };
  void Declaration(const sax::Attributes& attributes);
  void PropertyReference(const sax::Attributes& attributes);
  void StartPlacemark();
  void WriteGeometry(const PendingGeometry& geometry);
  void Fail(const std::string& why);
  std::string* CollectedField();
  // The field an element of a placemark fills (name, description, ...).
  std::string* PlacemarkField(std::string_view qName);

  AttributeDatabase& rdb_;
  shapefile::ShapeLibrary& shapes_;
  sax::SaxReader& reader_;
  std::string workShapePath_;
  dao::Recordset* target_;
  std::string coordinates_;
  bool inPlacemark_ = false;
  std::vector<PendingGeometry> pending_;
  const dao::Recordset* columnsOf_ = nullptr;  // the recordset columnAt_ was found in
  std::vector<int> columnAt_;                  // positions of the row's columns, in writing order
};

class ErrorHandlerImpl : public sax::ErrorHandler {
 public:
  explicit ErrorHandlerImpl(std::string& log) : log_(log) {}
  void fatalError(const std::string& message, long line, long column) override;
  // The first fatal error with its line and column ("" when none came).
  const std::string& fatal() const { return fatal_; }

 private:
  std::string& log_;
  std::string fatal_;
};

}  // namespace altimar::data
