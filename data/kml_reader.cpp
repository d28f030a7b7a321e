#include "data/kml_reader.h"

#include "data/attribute_database.h"
#include "data/column_names.h"
#include "platform/dao/dao.h"
#include "platform/runtime/utf8_text.h"
#include "platform/shapefile/shape_library.h"

namespace altimar::data {
namespace {

void AppendCapped(std::string& field, std::string_view text) {
  if (field.size() < kMaxFieldText) field.append(text.substr(0, kMaxFieldText - field.size()));
}

std::string Cut(std::string_view text, std::size_t characters) {
  return std::string(runtime::Utf8Prefix(text, characters));
}

}  // namespace

ContentHandlerImpl::ContentHandlerImpl(AttributeDatabase& rdb, shapefile::ShapeLibrary& shapes,
                                       sax::SaxReader& reader, std::string workShapePath,
                                       dao::Recordset* rows)
    : PropValue(kMaxAttr),
      rdb_(rdb),
      shapes_(shapes),
      reader_(reader),
      workShapePath_(std::move(workShapePath)),
      target_(rows) {}

void ContentHandlerImpl::Fail(const std::string& why) {
  if (failure.empty()) failure = why;
  reader_.stop();
}

void ContentHandlerImpl::StartPlacemark() {
  inPlacemark_ = true;
  PmName.clear(), PmDescription.clear(), PmStyleUrl.clear(), PmExtrude.clear(),
      PmAltitudeMode.clear();
  for (auto& v : PropValue) v.clear();
  PropActive = false;
  PropIndex = 0;
  pending_.clear();
}

void ContentHandlerImpl::startElement(std::string_view, std::string_view, std::string_view qName,
                                      const sax::Attributes& attributes) {
  CurElement.assign(qName);
  if (qName == "qelix:propertyDef") {
    Declaration(attributes);
  } else if (qName == "qelix:property") {
    PropertyReference(attributes);
  } else if (qName == "Placemark") {
    StartPlacemark();
  } else if (std::string* field = PlacemarkField(qName)) {
    field->clear();
  } else if (qName == "coordinates") {
    coordinates_.clear();
  } else if (qName == "Point") {
    GeomType = "point";
  } else if (qName == "LineString") {
    GeomType = "polyline";
  } else if (qName == "Polygon") {
    GeomType = "polygon";
  } else {
    CurElement.clear();
  }
}

void ContentHandlerImpl::Declaration(const sax::Attributes& attributes) {
  // The import pass knows the columns from the schema pass already.
  if (!rdb_.SchemaPass) return;
  DefFound = 0;
  for (int i = 0; i < attributes.getLength() && DefFound < 2; ++i) {
    const auto& a = attributes.item(i);
    if (a.localName == "name") {
      DefName = "qelix_" + std::string(a.value);
      ++DefFound;
    } else if (a.localName == "type") {
      DefType.assign(a.value);
      ++DefFound;
    }
  }
  if (DefFound < 2) return;
  // A column declared twice (or named like a fixed one) is one column.
  for (int i = 0; i < rdb_.AttrCount; ++i)
    if (SameColumnName(rdb_.AttrDef[static_cast<std::size_t>(i)][0], DefName)) return;
  if (rdb_.AttrCount >= kMaxAttr) {
    tooManyColumns = true;
    Fail("the file declares more than " + std::to_string(kMaxAttr - kFixedKmlColumns) +
         " attribute columns");
    return;
  }
  auto& row = rdb_.AttrDef[static_cast<std::size_t>(rdb_.AttrCount)];
  row = {};
  row[0] = DefName;
  row[1] = DefType;
  ++rdb_.AttrCount;
  log += DefName + ":" + DefType + "\r\n";
}

void ContentHandlerImpl::PropertyReference(const sax::Attributes& attributes) {
  for (int a = 0; a < attributes.getLength(); ++a) {
    if (attributes.item(a).localName != "ref") continue;
    const std::string_view value = attributes.item(a).value;
    PropActive = false;
    PropIndex = 0;
    const auto colon = value.find(':');
    PropRef.assign(colon == std::string_view::npos ? value : value.substr(colon + 1));
    for (int i = 0; i < rdb_.AttrCount; ++i) {
      if (rdb_.AttrDef[static_cast<std::size_t>(i)][0] == PropRef) {
        PropActive = true;
        PropIndex = i;
        PropValue[static_cast<std::size_t>(i)].clear();
      }
    }
  }
}

std::string* ContentHandlerImpl::PlacemarkField(std::string_view qName) {
  if (qName == "name") return &PmName;
  if (qName == "description") return &PmDescription;
  if (qName == "styleUrl") return &PmStyleUrl;
  if (qName == "extrude") return &PmExtrude;
  if (qName == "altitudeMode") return &PmAltitudeMode;
  return nullptr;
}

std::string* ContentHandlerImpl::CollectedField() {
  if (CurElement == "qelix:property")
    return PropActive ? &PropValue[static_cast<std::size_t>(PropIndex)] : nullptr;
  return PlacemarkField(CurElement);
}

void ContentHandlerImpl::characters(std::string_view text) {
  if (CurElement.empty()) return;
  if (CurElement == "coordinates") {
    // Only the import pass writes geometry: the schema pass needs none.
    if (target_) coordinates_.append(text);
    return;
  }
  if (std::string* field = CollectedField()) AppendCapped(*field, text);
}

void ContentHandlerImpl::WriteGeometry(const PendingGeometry& geometry) {
  if (!ShapeOpen) {
    // The work shapefile takes the type of the first geometry written.
    const std::string type = geometry.geomType.empty() ? "point" : geometry.geomType;
    if (!shapes_.SW_CreateShapeFile(workShapePath_, type) ||
        !shapes_.SW_OpenShpFile(workShapePath_)) {
      Fail("the work shapefile " + workShapePath_ + " cannot be written: " + shapes_.LastError());
      return;
    }
    ShapeOpen = true;
  }
  // A geometry the file's type cannot hold is written as a null shape, so
  // shape n and row n stay together.
  shapes_.SW_AddFeatureInShapeFile(geometry.coordinates);
  ++features;
  try {
    WriteFeatureRow(*target_, PmName);
    ++rows;
  } catch (const dao::DaoError& e) {
    Fail(std::string("a row could not be written: ") + e.what());
  }
}

void ContentHandlerImpl::endElement(std::string_view, std::string_view localName,
                                    std::string_view qName) {
  if (rdb_.SchemaPass) {
    if (localName == "Placemark") log += GeomType + "\r\n";
  } else if (qName == "coordinates" && CurElement == "coordinates" && target_) {
    PendingGeometry g{std::move(coordinates_), GeomType};
    coordinates_.clear();
    if (inPlacemark_)
      pending_.push_back(std::move(g));
    else
      WriteGeometry(g);
  } else if (qName == "Placemark" && inPlacemark_) {
    for (const auto& g : pending_) {
      if (!failure.empty()) break;
      WriteGeometry(g);
    }
    pending_.clear();
  }
  if (qName == "Placemark") inPlacemark_ = false;
  CurElement.clear();
}

void ContentHandlerImpl::WriteFeatureRow(dao::Recordset& rs, std::string& name) {
  if (name.empty()) name = " ";
  // The columns' positions are looked up once per recordset, not per row.
  if (columnsOf_ != &rs) {
    columnsOf_ = &rs;
    columnAt_.clear();
    for (const char* column : {"PName", "Description", "styleUrl", "extrude", "altitudeMode"})
      columnAt_.push_back(rs.FieldIndex(column));
    for (int i = 5; i < rdb_.AttrCount; ++i)
      columnAt_.push_back(rs.FieldIndex(rdb_.AttrDef[static_cast<std::size_t>(i)][0]));
  }
  rs.AddNew();
  std::size_t next = 0;
  auto put = [&](const std::string& text) {
    const int at = columnAt_[next++];
    if (at < 0) return;
    const auto& def = rdb_.ColumnDef(at);
    // An empty text is stored as one blank, as every empty attribute is.
    const bool isText = def.type == dao::DataType::Text || def.type == dao::DataType::Memo;
    rs.Set(at,
           AttributeDatabase::ColumnValue(isText && text.empty() ? " " : text, def.type, def.size));
  };
  put(Cut(name, 30));
  put(Cut(PmDescription, 50));
  put(Cut(PmStyleUrl, 30));
  put(Cut(PmExtrude, 2));
  put(Cut(PmAltitudeMode, 30));
  // qelix_url, qelix_description and the declared columns.
  for (int i = 5; i < rdb_.AttrCount; ++i) put(PropValue[static_cast<std::size_t>(i)]);
  rs.Update();
}

void ErrorHandlerImpl::fatalError(const std::string& message, long line, long column) {
  std::string where = message;
  if (line > 0) where += " at line " + std::to_string(line) + ", column " + std::to_string(column);
  log_ += "*** error1 *** " + where;
  if (fatal_.empty()) fatal_ = where;
}

}  // namespace altimar::data
