// The table definitions of a database, kept in the file beside the tables:
// SQLite's own schema cannot say which INTEGER column is a Byte or a
// Boolean, what size a Text has, or what DAO name an index was given.
//
// Catalog tables and SQL names that callers never see start with "dao~":
// table names with that prefix are refused. The rows of a table without an
// auto-increment field are keyed by a hidden column "dao~row"; indexes are
// "dao~ix~<n>" in SQL, so an index may share its name with any table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dao/connection.h"
#include "platform/dao/dao.h"

namespace altimar::dao {

struct IndexInfo {
  IndexDef def;  // def.field as the field was named at creation
  int field = -1;
  std::string sqlName;  // quoted
};

struct TableInfo {
  std::int64_t id = 0;
  std::string name;
  std::vector<FieldDef> fields;
  std::vector<IndexInfo> indexes;
  int autoField = -1;     // the auto-increment field, which is then the row key
  std::string keyColumn;  // quoted name of the row key column
  // Bumped at every change of the table's rows; shared with recordsets.
  std::shared_ptr<std::uint64_t> version;

  // Case-insensitive lookups; -1 / nullptr when there is none.
  int FieldPosition(std::string_view fieldName) const;
  const IndexInfo* FindIndex(std::string_view indexName) const;
};

// Creates the catalog tables in a new database.
void CreateCatalog(Connection& connection);
// Reads every table definition (without versions); throws DaoError when the
// file has no catalog.
std::vector<std::shared_ptr<TableInfo>> LoadCatalog(Connection& connection);
// Checks the definition, creates the table, its unique indexes and its
// catalog rows. Ordinary indexes are left for BuildIndexSql.
std::shared_ptr<TableInfo> CreateTableIn(Connection& connection, const TableDef& def);
// CREATE INDEX IF NOT EXISTS for an index of the table.
std::string BuildIndexSql(const TableInfo& table, const IndexInfo& index);

}  // namespace altimar::dao
