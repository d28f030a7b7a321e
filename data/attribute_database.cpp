#include "data/attribute_database.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "data/column_names.h"
#include "data/kml_reader.h"
#include "platform/runtime/leading_number.h"
#include "platform/runtime/utf8_text.h"
#include "platform/sax/sax_reader.h"
#include "platform/shapefile/shape_library.h"
#include "platform/shapefile/shp_reader.h"

namespace altimar::data {
namespace fs = std::filesystem;
namespace {

constexpr int kHourglass = 11, kDefaultPointer = 0;

std::string_view Trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

int SizeOf(const std::string& text) {
  const double v = runtime::LeadingNumber(text);
  return (v > 0 && v <= 65535) ? static_cast<int>(v) : 0;
}

// Removes a file that must not be there; throws when it stays.
void RemoveFile(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
  if (fs::exists(fs::symlink_status(path, ec)))
    throw dao::DaoError("cannot delete '" + path + "'" + (ec ? ": " + ec.message() : ""));
}

// Restores the pointer and reopens what an import closed, on every way out.
struct OnExit {
  std::function<void()> run;
  ~OnExit() {
    if (run) run();
  }
};

dao::TableDef OperationTable() {
  return {"Operation",
          {{"FID", dao::DataType::Long},
           {"Operation", dao::DataType::Byte},
           {"deltaX", dao::DataType::Double},
           {"deltaY", dao::DataType::Double},
           {"deltaZ", dao::DataType::Double}},
          {}};
}

}  // namespace

AttributeDatabase::AttributeDatabase(win::Desktop& desktop, shapefile::ShapeLibrary& shapes,
                                     std::string programDir, ImportView view)
    : AttrDef(kMaxAttr),
      RecordAttr(kMaxAttr),
      desktop_(desktop),
      shapes_(shapes),
      programDir_(std::move(programDir)),
      view_(std::move(view)),
      dbf_(desktop) {}

AttributeDatabase::~AttributeDatabase() {
  CloseAttributeDb();
}

void AttributeDatabase::AppendLog(const std::string& text) {
  if (!text.empty() && view_.appendLog) view_.appendLog(text);
}

// ---- values and columns ----

dao::Value AttributeDatabase::ColumnValue(const std::string& text, dao::DataType type, int size) {
  using dao::DataType;
  if (type == DataType::Text || type == DataType::Memo) {
    const std::size_t limit = type == DataType::Memo
                                  ? std::numeric_limits<std::size_t>::max()
                                  : static_cast<std::size_t>(size > 0 ? size : 255);
    if (runtime::Utf8Length(text) > limit) return std::string(runtime::Utf8Prefix(text, limit));
    return text;
  }
  const std::string_view t = Trimmed(text);
  if (t.empty()) return {};
  if (type == DataType::Boolean) {
    if (std::string_view("TtYy").find(t[0]) != std::string_view::npos) return std::int64_t{-1};
    if (std::string_view("FfNn").find(t[0]) != std::string_view::npos) return std::int64_t{0};
  }
  const auto number = runtime::LeadingNumberIfAny(t);
  if (!number || !std::isfinite(*number)) return {};
  double lo = 0, hi = 0;
  switch (type) {
    case DataType::Double:
      return *number;
    case DataType::Boolean:
      return std::int64_t{*number != 0 ? -1 : 0};
    case DataType::Byte:
      lo = 0, hi = 255;
      break;
    case DataType::Integer:
      lo = -32768, hi = 32767;
      break;
    default:
      lo = -2147483648.0, hi = 2147483647.0;
      break;
  }
  const double whole = std::nearbyint(*number);  // halves to even
  if (whole < lo || whole > hi) return {};
  return static_cast<std::int64_t>(whole);
}

dao::FieldDef AttributeDatabase::KmlColumn(const std::string& name, const std::string& typeWord,
                                           const std::string& size) {
  using dao::DataType;
  if (typeWord == "string") return {name, DataType::Text, SizeOf(size)};
  if (typeWord == "integer") return {name, DataType::Integer};
  if (typeWord == "long") return {name, DataType::Long};
  if (typeWord == "float" || typeWord == "double") return {name, DataType::Double};
  if (typeWord == "bool") return {name, DataType::Boolean};
  if (typeWord == "byte") return {name, DataType::Byte};
  if (typeWord == "memo") return {name, DataType::Memo};
  return {name, DataType::Text};  // a type word the table does not know: text
}

dao::FieldDef AttributeDatabase::DbfColumn(const std::string& name, const std::string& typeWord,
                                           const std::string& size) {
  using dao::DataType;
  if (typeWord == "integer") return {name, SizeOf(size) >= 10 ? DataType::Double : DataType::Long};
  if (typeWord == "float") return {name, DataType::Double};
  if (typeWord == "bool") return {name, DataType::Boolean};
  return {name, DataType::Text, SizeOf(size)};
}

// ---- building ----

void AttributeDatabase::CloseAttributeDb() {
  if (FeatureRs) FeatureRs->Close();
  if (OperationRs) OperationRs->Close();
  FeatureRs.reset();
  OperationRs.reset();
  if (AttrDb) AttrDb->Close();
  AttrDb.reset();
}

void AttributeDatabase::OpenAttributeDb(const std::string& dbPath) {
  auto db = dao::Database::OpenDatabase(dbPath);
  auto features = db->OpenRecordset("Feature");
  auto operations = db->OpenRecordset("Operation");
  CloseAttributeDb();
  AttrDb = std::move(db);
  FeatureRs = std::move(features);
  OperationRs = std::move(operations);
  featureFields_ = AttrDb->Fields("Feature");
}

void AttributeDatabase::CreateKmlDatabase(const std::string& dbPath, const std::string& kmlPath) {
  RemoveFile(dbPath);
  auto db = dao::Database::CreateDatabase(dbPath);
  const std::array<std::array<const char*, 3>, kFixedKmlColumns> fixed = {
      {{"PName", "string", "30"},
       {"styleUrl", "string", "30"},
       {"description", "string", "50"},
       {"extrude", "long", ""},
       {"altitudeMode", "string", "30"},
       {"qelix_url", "string", "255"},
       {"qelix_description", "memo", ""}}};
  for (auto& row : AttrDef) row = {};
  for (int i = 0; i < kFixedKmlColumns; ++i)
    for (int j = 0; j < 3; ++j)
      AttrDef[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = fixed[i][j];
  AttrCount = kFixedKmlColumns;
  if (!ReadKmlSchema(kmlPath)) throw SchemaRefused(lastError_);

  dao::TableDef feature{
      "Feature", {{"FID", dao::DataType::Long, 0, true}, {"Note", dao::DataType::Byte}}, {}};
  for (int i = 0; i < AttrCount; ++i) {
    const auto& row = AttrDef[static_cast<std::size_t>(i)];
    feature.fields.push_back(KmlColumn(row[0], row[1], row[2]));
  }
  // Asked for as primary but not unique: a primary index is unique, and
  // placemarks share names ("l", "l" of "Hello"), so it is a plain index.
  feature.indexes.push_back({"PName", "PName", false, false});
  db->CreateTable(feature);
  db->CreateTable(OperationTable());
  db->Close();
}

void AttributeDatabase::CreateDbfDatabase(const std::string& dbPath) {
  RemoveFile(dbPath);
  auto db = dao::Database::CreateDatabase(dbPath);
  dao::TableDef feature{"Feature", {{"FID", dao::DataType::Long}}, {}};
  for (int i = 0; i < AttrCount; ++i) {
    const auto& row = AttrDef[static_cast<std::size_t>(i)];
    feature.fields.push_back(DbfColumn(row[0], row[1], row[2]));
  }
  feature.fields.push_back({"Operation", dao::DataType::Byte});
  feature.fields.push_back({"deltaX", dao::DataType::Double});
  feature.fields.push_back({"deltaY", dao::DataType::Double});
  feature.fields.push_back({"deltaZ", dao::DataType::Double});
  // One plain index per attribute column, and one on FID (the shape's
  // number) for the edits that find a feature's row by it: the engine keeps
  // no primary key for the table.
  feature.indexes.push_back({"FID", "FID", false, false});
  for (int i = 0; i < AttrCount; ++i) {
    const std::string& name = AttrDef[static_cast<std::size_t>(i)][0];
    feature.indexes.push_back({name, name, false, false});
  }
  db->CreateTable(feature);
  db->CreateTable(OperationTable());
  db->Close();
}

void AttributeDatabase::RenameCollidingColumns(const std::vector<std::string>& reserved) {
  std::vector<std::string> names;
  for (int i = 0; i < AttrCount; ++i) names.push_back(AttrDef[static_cast<std::size_t>(i)][0]);
  const auto unique = UniqueColumnNames(names, reserved);
  for (int i = 0; i < AttrCount; ++i)
    AttrDef[static_cast<std::size_t>(i)][0] = unique[static_cast<std::size_t>(i)];
}

// ---- the KML import ----

bool AttributeDatabase::ReadKmlSchema(const std::string& kmlPath) {
  sax::SaxReader reader;
  reader.setNamespaces(false);
  ContentHandlerImpl content(*this, shapes_, reader, WorkShapePath(), nullptr);
  ErrorHandlerImpl errors(content.log);
  reader.setContentHandler(&content);
  reader.setErrorHandler(&errors);
  SchemaPass = true;
  reader.parseURL(kmlPath);
  SchemaPass = false;
  AppendLog(content.log);
  if (content.tooManyColumns) {
    lastError_ = "The KML file " + kmlPath +
                 " declares more attribute columns than the attribute table holds (" +
                 std::to_string(kMaxAttr) + " columns, " +
                 std::to_string(kMaxAttr - kFixedKmlColumns) + " declared).";
    desktop_.MessageBoxA(0, lastError_, "Altimar", win::MB_OK);
    return false;
  }
  return true;
}

AttributeDatabase::Building AttributeDatabase::StartBuilding(
    const std::function<void(const std::string&)>& create) {
  Building b;
  b.path = DatabasePath() + ".new";
  try {
    create(b.path);
    b.db = dao::Database::OpenDatabase(b.path);
    b.features = b.db->OpenRecordset("Feature");
    featureFields_ = b.db->Fields("Feature");
  } catch (...) {
    b.features.reset();
    b.db.reset();
    std::error_code ec;
    fs::remove(b.path, ec);
    throw;
  }
  return b;
}

void AttributeDatabase::FinishBuilding(Building& b) {
  CloseBuilding(b);
  // The new database takes the old one's place only now.
  replaced_ = true;
  CloseAttributeDb();
  std::error_code ec;
  fs::rename(b.path, DatabasePath(), ec);
  if (ec) throw dao::DaoError("cannot replace '" + DatabasePath() + "': " + ec.message());
  OpenAttributeDb(DatabasePath());
}

void AttributeDatabase::CloseBuilding(Building& b) {
  b.features->Close();
  b.db->Close();
  b.features.reset();
  b.db.reset();
}

void AttributeDatabase::DiscardBuilding(Building& b) {
  CloseBuilding(b);
  std::error_code ec;
  fs::remove(b.path, ec);
}

void AttributeDatabase::SetPointer(int shape) {
  if (view_.setMousePointer) view_.setMousePointer(shape);
}

bool AttributeDatabase::ImportKml(const std::string& kmlPath) {
  lastError_.clear();
  replaced_ = false;
  schemaRefused_ = false;
  const auto savedDef = AttrDef;
  const int savedCount = AttrCount;
  // On failure the columns stay those of the source still open.
  auto restore = [&] {
    AttrDef = savedDef;
    AttrCount = savedCount;
  };
  Building b;
  try {
    b = StartBuilding([&](const std::string& path) { CreateKmlDatabase(path, kmlPath); });
  } catch (const SchemaRefused&) {
    restore();
    schemaRefused_ = true;
    return false;
  } catch (...) {
    restore();
    throw;
  }

  SetPointer(kHourglass);
  OnExit pointer{[&] { SetPointer(kDefaultPointer); }};
  sax::SaxReader reader;
  reader.setNamespaces(false);
  ContentHandlerImpl content(*this, shapes_, reader, WorkShapePath(), b.features.get());
  ErrorHandlerImpl errors(content.log);
  reader.setContentHandler(&content);
  reader.setErrorHandler(&errors);
  SchemaPass = false;
  try {
    b.db->BeginTrans();
    reader.parseURL(kmlPath);
    b.db->CommitTrans();  // the rows written before an error stay
  } catch (const dao::DaoError& e) {
    content.failure = e.what();
    if (b.db->InTransaction()) b.db->CommitTrans();  // the rows written before it stay
  }
  AppendLog(content.log);
  if (!errors.fatal().empty()) {
    // A document that is not well-formed leaves the open database and its
    // columns as they were.
    DiscardBuilding(b);
    restore();
    lastError_ = "The KML file " + kmlPath + " is not well-formed: " + errors.fatal();
    return false;
  }
  FinishBuilding(b);
  if (!content.failure.empty()) {
    lastError_ = "The KML file " + kmlPath + " was read only in part: " + content.failure;
    return false;
  }
  return true;
}

// ---- the dBASE import ----

bool AttributeDatabase::ImportDbf(const std::string& shpPath, std::int32_t recordCount) {
  lastError_.clear();
  replaced_ = false;
  const std::string dbfPath = shapefile::SiblingFile(shapefile::ShapefileBase(shpPath), "dbf");

  // The library lets go of the table while it is copied, and gets it back
  // on every way out.
  shapes_.SW_CloseDBFFile();
  OnExit reopen{[&] {
    dbf_.CloseDbf(1);
    shapes_.SW_OpenDBFFile(dbfPath);
  }};
  const int file = dbf_.OpenDbf(dbfPath);
  if (file < 0) {
    lastError_ = dbf_.LastError();
    return false;
  }

  RenameCollidingColumns({"FID", "Operation", "deltaX", "deltaY", "deltaZ"});
  Building b = StartBuilding([&](const std::string& path) { CreateDbfDatabase(path); });

  SetPointer(kHourglass);
  forms::IProgressBar* bar = view_.progress;
  OnExit pointer{[&] {
    SetPointer(kDefaultPointer);
    if (bar) bar->SetVisible(false);
  }};
  if (bar) {
    bar->SetMin(0);
    bar->SetMax(std::max(recordCount, 1));
    bar->SetVisible(true);
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::string> values;
  try {
    b.db->BeginTrans();
    for (std::int32_t r = 0; r < recordCount; ++r) {
      if (bar) forms::SetProgressValue(*bar, r);
      dbf_.ReadDbfRecord(file, r, values);
      // Fields the table lacks (a shorter table than its description) are blank.
      for (int i = 0; i < AttrCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const std::string_view t = k < values.size() ? Trimmed(values[k]) : std::string_view();
        RecordAttr[k][1] = t.empty() ? std::string(" ") : std::string(t);
      }
      AppendDbfRow(*b.features, r);
      desktop_.DoEvents();
    }
    b.db->CommitTrans();
  } catch (const dao::DaoError& e) {
    lastError_ = std::string("the copy of ") + dbfPath + " stopped: " + e.what();
    if (b.db->InTransaction()) b.db->CommitTrans();  // the rows copied so far stay
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  if (view_.reportSeconds) view_.reportSeconds(text);

  FinishBuilding(b);
  if (FeatureRs->RecordCount() > 0) FeatureRs->MoveFirst();
  return lastError_.empty();
}

void AttributeDatabase::AppendDbfRow(dao::Recordset& rs, std::int32_t fid) {
  rs.AddNew();
  rs.Set(0, std::int64_t{fid});
  for (int i = 1; i <= AttrCount; ++i) {
    const auto& def = ColumnDef(i);
    rs.Set(i, ColumnValue(RecordAttr[static_cast<std::size_t>(i - 1)][1], def.type, def.size));
  }
  rs.Update();
}

// ---- the operation log ----

void AttributeDatabase::LogOperation(std::int64_t position, std::int32_t fid, std::uint8_t code) {
  if (!OperationRs) throw dao::DaoError("no attribute database is open");
  const std::int64_t n = OperationRs->RecordCount();
  if (position >= 1 && position <= n) {
    OperationRs->SetAbsolutePosition(position - 1);
    OperationRs->Edit();
  } else {
    OperationRs->AddNew();
  }
  OperationRs->Set(0, std::int64_t{fid});
  OperationRs->Set(1, std::int64_t{code});
  OperationRs->Update();
}

void AttributeDatabase::ClearOperationLog() {
  if (OperationRs) OperationRs->DeleteAll();
}

}  // namespace altimar::data
