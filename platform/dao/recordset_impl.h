// A table recordset's state. The rows are held as a list of row keys in the
// recordset's order, read once and then kept in step with this recordset's
// own inserts and deletes; a change through any other recordset bumps the
// table's version and the list is read again on the next move.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dao/catalog.h"
#include "platform/dao/connection.h"
#include "platform/dao/database_impl.h"

namespace altimar::dao {

struct Recordset::Impl {
  Impl(Database::Impl* database, std::shared_ptr<TableInfo> info)
      : db(database), table(std::move(info)) {}

  // Where the recordset stands. Deleted: on a row this recordset deleted,
  // which sits just before rows[pos].
  enum class Place { Before, At, After, Deleted };

  Database::Impl* db;  // null once closed (by Close or by the database)
  std::shared_ptr<TableInfo> table;
  std::string indexName;        // as named in the table definition
  const IndexInfo* index = nullptr;

  // A deque: deleting at the front (MoveFirst, Delete, MoveNext ...) or the
  // back stays cheap for large tables.
  std::deque<std::int64_t> rows;
  bool loaded = false;
  std::uint64_t seenVersion = 0;
  // Row key -> position, for index order (insertion order is sorted by key).
  std::unordered_map<std::int64_t, std::int64_t> positions;
  bool positionsValid = false;

  Place place = Place::After;
  std::int64_t pos = 0;      // At: the row; Deleted: the row after the deleted one
  std::int64_t current = 0;  // At / Deleted: the row key
  bool noMatch = true;

  // The current row's values, read once per row and version.
  std::vector<Value> rowValues;
  std::int64_t cachedRow = 0;
  std::uint64_t cachedVersion = 0;
  bool cacheValid = false;

  EditMode mode = EditMode::None;
  std::vector<Value> buffer;
  std::int64_t editRow = 0;
  Value editKey;  // the index field's value when Edit began
  std::optional<std::int64_t> lastModified;

  sqlite3_stmt* selectRow = nullptr;
  sqlite3_stmt* insertRow = nullptr;
  sqlite3_stmt* updateRow = nullptr;
  sqlite3_stmt* deleteRow = nullptr;

  Connection& Check(std::string_view operation) const;
  void Detach();
  bool Fresh() const { return loaded && seenVersion == *table->version; }
  // Reads the order again when the table changed, keeping the place.
  void EnsureFresh();
  void Reload();
  std::int64_t Count() const { return static_cast<std::int64_t>(rows.size()); }
  std::optional<std::int64_t> Locate(std::int64_t rowKey);
  void SetAt(std::int64_t position);
  void PlaceOnFirst();
  // A move drops a pending AddNew or Edit, as in DAO.
  void BeginMove(std::string_view operation);
  const std::vector<Value>& CurrentRow(std::string_view operation);
  int FieldOf(std::string_view name, std::string_view operation) const;
  void CheckField(int position, std::string_view operation) const;
  std::string OrderBy(bool descending) const;
};

}  // namespace altimar::dao
