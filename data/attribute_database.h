// The attribute database: the attributes of the open data source in
// bexo.mdb in the program folder (an SQLite file), deleted and built anew at
// every open, from a KML file's declared columns or a shapefile's dBASE
// fields, then filled with one row per feature; and the operation log of
// edits, whose first SelCount rows are the current selection.
//
// Column names that the table cannot hold as given are renamed, in order:
// an empty name becomes "Field" and its number (from 1); a name that equals
// an earlier column's name without regard to case ("FID", "NAME" beside
// "name", "Operation", "deltaX") gets "_2", "_3", ... until it is free.
// AttrDef holds the names as renamed.
//
// Values: a blank value is stored as Null in a numeric column and as one
// space in a text column; a numeric column takes the number its text starts
// with (Null when there is none, or when the column's type cannot hold it);
// a logical column takes T, Y (true) and F, N (false) in either case, and
// numbers (non-zero true); a text longer than its column is cut to the
// column's size in characters. Numeric dBASE fields of 10 or more digits
// without decimals are kept as Double: a Long would not hold them.
//
// Creating or opening the database throws dao::DaoError to the caller; the
// copy loops trap their errors, keep the rows written so far, and say why in
// LastError().
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/dbf_reader.h"
#include "platform/dao/dao.h"
#include "platform/forms/progress.h"
#include "platform/win/desktop.h"

namespace altimar::shapefile {
class ShapeLibrary;
}

namespace altimar::data {

inline constexpr int kMaxAttr = 100;  // rows of AttrDef and RecordAttr
inline constexpr int kAttrDefColumns = 6;
inline constexpr int kFixedKmlColumns = 7;

// What the importers report to the workspace form.
struct ImportView {
  forms::IProgressBar* progress = nullptr;                // ProgressBar1
  std::function<void(int)> setMousePointer;               // 11 hourglass, 0 default
  std::function<void(const std::string&)> appendLog;      // Text1
  std::function<void(const std::string&)> reportSeconds;  // elapsed seconds of a dBASE import
};

class AttributeDatabase {
 public:
  // The schema pass refused the file (its message was shown).
  struct SchemaRefused : std::runtime_error {
    using std::runtime_error::runtime_error;
  };

  AttributeDatabase(win::Desktop& desktop, shapefile::ShapeLibrary& shapes, std::string programDir,
                    ImportView view = {});
  ~AttributeDatabase();

  // Where the importers report (the workspace form, built after the database).
  void SetView(ImportView view) { view_ = std::move(view); }

  std::string DatabasePath() const { return programDir_ + "/bexo.mdb"; }
  std::string WorkShapePath() const { return programDir_ + "/ttt.shp"; }

  // Builds bexo.mdb for the KML file and fills Feature (schema pass, then
  // import pass). False when the file declares more columns than the table
  // holds (told in a message box) or is not well-formed (LastError gives the
  // parser's message, line and column): then the open database and AttrDef
  // stay as they were. False too when the import pass failed otherwise
  // (LastError); the rows written before it stay.
  bool ImportKml(const std::string& kmlPath);
  // Builds bexo.mdb from AttrDef and copies the recordCount records of the
  // shapefile's dBASE table into Feature. False when the table cannot be
  // read or the copy stopped (LastError); the rows copied stay.
  bool ImportDbf(const std::string& shpPath, std::int32_t recordCount);

  void CreateKmlDatabase(const std::string& dbPath, const std::string& kmlPath);
  void CreateDbfDatabase(const std::string& dbPath);
  void OpenAttributeDb(const std::string& dbPath);
  // Closes the recordsets and the database (before its file is deleted).
  void CloseAttributeDb();
  void AppendDbfRow(dao::Recordset& rs, std::int32_t fid);
  // Writes entry `position` (from 1) of the log in insertion order; past the
  // end it appends.
  void LogOperation(std::int64_t position, std::int32_t fid, std::uint8_t code);
  void ClearOperationLog();
  // The schema pass: declarations found are appended to AttrDef. False when
  // the file declares more than the table holds (the message was shown).
  bool ReadKmlSchema(const std::string& kmlPath);

  // A value for a column of the given type from its text (rules above).
  static dao::Value ColumnValue(const std::string& text, dao::DataType type, int size);
  // The column type of a type word, for a KML table or a shapefile table.
  static dao::FieldDef KmlColumn(const std::string& name, const std::string& typeWord,
                                 const std::string& size);
  static dao::FieldDef DbfColumn(const std::string& name, const std::string& typeWord,
                                 const std::string& size);

  // --- module state ---
  std::vector<std::array<std::string, kAttrDefColumns>> AttrDef;  // kMaxAttr rows
  int AttrCount = 0;
  bool SchemaPass = false;
  std::unique_ptr<dao::Database> AttrDb;
  std::unique_ptr<dao::Recordset> FeatureRs;
  std::unique_ptr<dao::Recordset> OperationRs;
  std::vector<std::array<std::string, 2>> RecordAttr;  // kMaxAttr rows

  // The definition of column `position` of the Feature table built last.
  const dao::FieldDef& ColumnDef(int position) const {
    return featureFields_.at(static_cast<std::size_t>(position));
  }
  const std::string& LastError() const { return lastError_; }
  // Whether the last import put a new database in the open one's place
  // (false when it failed before, or refused the file, and the old one stays).
  bool ReplacedDatabase() const { return replaced_; }
  // Whether the last KML import was refused by its schema pass (its message was shown).
  bool RefusedBySchema() const { return schemaRefused_; }
  win::Desktop& desktop() { return desktop_; }

 private:
  // A database built beside the open one (bexo.mdb.new), with its Feature
  // table open for filling, until it takes the open one's place.
  struct Building {
    std::string path;
    std::unique_ptr<dao::Database> db;
    std::unique_ptr<dao::Recordset> features;
  };
  // Makes the database with create(path) and opens it; on failure removes it
  // and lets the error go on.
  Building StartBuilding(const std::function<void(const std::string&)>& create);
  // Closes it and puts it in the open database's place.
  void FinishBuilding(Building& b);
  // Closes it and removes it: the open database stays.
  void DiscardBuilding(Building& b);
  static void CloseBuilding(Building& b);
  void SetPointer(int shape);
  void RenameCollidingColumns(const std::vector<std::string>& taken);
  void AppendLog(const std::string& text);

  win::Desktop& desktop_;
  shapefile::ShapeLibrary& shapes_;
  std::string programDir_;
  ImportView view_;
  DbfReader dbf_;
  std::vector<dao::FieldDef> featureFields_;  // of the table built last
  std::string lastError_;
  bool replaced_ = false;
  bool schemaRefused_ = false;
};

}  // namespace altimar::data
