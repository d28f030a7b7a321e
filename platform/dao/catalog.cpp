#include "platform/dao/catalog.h"

#include <unordered_map>

#include "platform/dao/sql_text.h"
#include "platform/dao/value_convert.h"

namespace altimar::dao {

namespace {

constexpr std::string_view kReservedPrefix = "dao~";
constexpr std::string_view kHiddenKey = "dao~row";

void CheckName(std::string_view what, std::string_view name) {
  if (name.empty()) throw DaoError("CreateTable: " + std::string(what) + " without a name.");
  if (name.find('\0') != std::string_view::npos) {
    throw DaoError("CreateTable: " + std::string(what) + " name contains a NUL character.");
  }
}

std::string SqlType(const FieldDef& field) {
  switch (field.type) {
    case DataType::Boolean:
    case DataType::Byte:
    case DataType::Integer:
    case DataType::Long: return "INTEGER";
    case DataType::Double: return "REAL";
    case DataType::Text:
    case DataType::Memo: return "TEXT COLLATE NOCASE";
  }
  throw DaoError("CreateTable: field '" + field.name + "' has an unknown type.");
}

bool KnownType(int type) {
  switch (static_cast<DataType>(type)) {
    case DataType::Boolean:
    case DataType::Byte:
    case DataType::Integer:
    case DataType::Long:
    case DataType::Double:
    case DataType::Text:
    case DataType::Memo: return true;
  }
  return false;
}

std::string IndexSqlName(std::int64_t id) { return QuoteIdentifier("dao~ix~" + std::to_string(id)); }

// Field names, index names and fields of indexes checked; the returned
// table has fields, indexes (without SQL names) and key set.
TableInfo Validate(const TableDef& def) {
  CheckName("table", def.name);
  if (EqualNoCase(std::string_view(def.name).substr(0, kReservedPrefix.size()), kReservedPrefix)) {
    throw DaoError("CreateTable: table name '" + def.name + "' is reserved (starts with dao~).");
  }
  if (def.fields.empty()) throw DaoError("CreateTable: table '" + def.name + "' has no fields.");
  TableInfo table;
  table.name = def.name;
  std::unordered_map<std::string, std::string> seen;  // folded -> as given
  for (const FieldDef& field : def.fields) {
    CheckName("field", field.name);
    if (EqualNoCase(field.name, kHiddenKey)) {
      throw DaoError("CreateTable: field name '" + field.name + "' is reserved.");
    }
    // SQLite compares column names without regard to ASCII case: two such
    // fields would be one column.
    if (auto [it, fresh] = seen.emplace(FoldCase(field.name), field.name); !fresh) {
      throw DaoError("CreateTable: field '" + field.name + "' of table '" + def.name +
                     "' collides with field '" + it->second + "' (names differ only in case).");
    }
    if (!KnownType(static_cast<int>(field.type))) {
      throw DaoError("CreateTable: field '" + field.name + "' has an unknown type.");
    }
    FieldDef stored = field;
    if (field.type == DataType::Text) {
      if (field.size < 0 || field.size > 255) {
        throw DaoError("CreateTable: Text field '" + field.name + "' has size " +
                       std::to_string(field.size) + " (1..255, 0 for 255).");
      }
      if (stored.size == 0) stored.size = 255;
    } else {
      stored.size = 0;
    }
    if (field.autoIncrement) {
      if (field.type != DataType::Long) {
        throw DaoError("CreateTable: auto-increment field '" + field.name + "' must be a Long.");
      }
      if (table.autoField >= 0) {
        throw DaoError("CreateTable: table '" + def.name + "' has two auto-increment fields.");
      }
      table.autoField = static_cast<int>(table.fields.size());
    }
    table.fields.push_back(stored);
  }
  table.keyColumn = QuoteIdentifier(table.autoField >= 0 ? table.fields[table.autoField].name
                                                         : std::string(kHiddenKey));
  std::unordered_map<std::string, std::string> indexNames;
  bool primarySeen = false;
  for (const IndexDef& index : def.indexes) {
    CheckName("index", index.name);
    if (auto [it, fresh] = indexNames.emplace(FoldCase(index.name), index.name); !fresh) {
      throw DaoError("CreateTable: index '" + index.name + "' of table '" + def.name +
                     "' collides with index '" + it->second + "'.");
    }
    IndexInfo info{index, table.FieldPosition(index.field), {}};
    if (info.field < 0) {
      throw DaoError("CreateTable: index '" + index.name + "' names field '" + index.field +
                     "', which table '" + def.name + "' does not have.");
    }
    info.def.field = table.fields[info.field].name;
    if (index.primary) {
      if (primarySeen) throw DaoError("CreateTable: table '" + def.name + "' has two primary indexes.");
      primarySeen = true;
      info.def.unique = true;
    }
    table.indexes.push_back(std::move(info));
  }
  return table;
}

}  // namespace

int TableInfo::FieldPosition(std::string_view fieldName) const {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (EqualNoCase(fields[i].name, fieldName)) return static_cast<int>(i);
  }
  return -1;
}

const IndexInfo* TableInfo::FindIndex(std::string_view indexName) const {
  for (const IndexInfo& index : indexes) {
    if (EqualNoCase(index.def.name, indexName)) return &index;
  }
  return nullptr;
}

void CreateCatalog(Connection& connection) {
  connection.Exec(
      "CREATE TABLE \"dao~tables\"(id INTEGER PRIMARY KEY, name TEXT NOT NULL);"
      "CREATE TABLE \"dao~fields\"(tbl INTEGER NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL,"
      " type INTEGER NOT NULL, size INTEGER NOT NULL, auto INTEGER NOT NULL);"
      "CREATE TABLE \"dao~indexes\"(id INTEGER PRIMARY KEY, tbl INTEGER NOT NULL,"
      " name TEXT NOT NULL, field TEXT NOT NULL, is_primary INTEGER NOT NULL,"
      " is_unique INTEGER NOT NULL);",
      "CreateDatabase");
}

std::vector<std::shared_ptr<TableInfo>> LoadCatalog(Connection& connection) {
  constexpr std::string_view op = "OpenDatabase: reading the table definitions";
  std::vector<std::shared_ptr<TableInfo>> tables;
  std::unordered_map<std::int64_t, TableInfo*> byId;
  {
    StatementUse use(connection.Prepare("SELECT id, name FROM \"dao~tables\" ORDER BY id", op), op);
    while (use.Step()) {
      auto table = std::make_shared<TableInfo>();
      table->id = use.Int(0);
      table->name = ValueText(use.Column(1));
      byId[table->id] = table.get();
      tables.push_back(std::move(table));
    }
  }
  {
    StatementUse use(connection.Prepare("SELECT tbl, name, type, size, auto FROM \"dao~fields\""
                                        " ORDER BY tbl, pos", op), op);
    while (use.Step()) {
      auto it = byId.find(use.Int(0));
      if (it == byId.end() || !KnownType(static_cast<int>(use.Int(2)))) {
        throw DaoError(std::string(op) + ": the catalog is damaged.");
      }
      TableInfo& table = *it->second;
      FieldDef field{ValueText(use.Column(1)), static_cast<DataType>(use.Int(2)),
                     static_cast<int>(use.Int(3)), use.Int(4) != 0};
      if (field.autoIncrement) table.autoField = static_cast<int>(table.fields.size());
      table.fields.push_back(std::move(field));
    }
  }
  {
    StatementUse use(connection.Prepare("SELECT id, tbl, name, field, is_primary, is_unique"
                                        " FROM \"dao~indexes\" ORDER BY id", op), op);
    while (use.Step()) {
      auto it = byId.find(use.Int(1));
      if (it == byId.end()) throw DaoError(std::string(op) + ": the catalog is damaged.");
      TableInfo& table = *it->second;
      IndexInfo index{{ValueText(use.Column(2)), ValueText(use.Column(3)), use.Int(4) != 0,
                       use.Int(5) != 0},
                      -1,
                      IndexSqlName(use.Int(0))};
      index.field = table.FieldPosition(index.def.field);
      if (index.field < 0) throw DaoError(std::string(op) + ": the catalog is damaged.");
      table.indexes.push_back(std::move(index));
    }
  }
  for (auto& table : tables) {
    table->keyColumn = QuoteIdentifier(table->autoField >= 0 ? table->fields[table->autoField].name
                                                             : std::string(kHiddenKey));
  }
  return tables;
}

std::shared_ptr<TableInfo> CreateTableIn(Connection& connection, const TableDef& def) {
  auto table = std::make_shared<TableInfo>(Validate(def));
  const std::string op = "CreateTable '" + def.name + "'";

  std::string sql = "CREATE TABLE " + QuoteIdentifier(table->name) + " (";
  if (table->autoField < 0) sql += table->keyColumn + " INTEGER PRIMARY KEY, ";
  for (std::size_t i = 0; i < table->fields.size(); ++i) {
    const FieldDef& field = table->fields[i];
    if (i > 0) sql += ", ";
    sql += QuoteIdentifier(field.name);
    // AUTOINCREMENT: numbers of deleted rows are never given out again.
    sql += static_cast<int>(i) == table->autoField ? " INTEGER PRIMARY KEY AUTOINCREMENT"
                                                   : " " + SqlType(field);
  }
  sql += ")";
  connection.Exec(sql, op);

  {
    StatementUse use(connection.Prepare("INSERT INTO \"dao~tables\"(name) VALUES (?)", op), op);
    const Value name = table->name;
    use.Bind(1, name);
    use.Step();
  }
  table->id = connection.LastInsertRowid();
  for (std::size_t i = 0; i < table->fields.size(); ++i) {
    const FieldDef& field = table->fields[i];
    StatementUse use(connection.Prepare("INSERT INTO \"dao~fields\"(tbl, pos, name, type, size, auto)"
                                        " VALUES (?, ?, ?, ?, ?, ?)", op), op);
    const Value name = field.name;
    use.Bind(1, table->id);
    use.Bind(2, static_cast<std::int64_t>(i));
    use.Bind(3, name);
    use.Bind(4, std::int64_t{static_cast<int>(field.type)});
    use.Bind(5, std::int64_t{field.size});
    use.Bind(6, std::int64_t{field.autoIncrement ? 1 : 0});
    use.Step();
  }
  for (IndexInfo& index : table->indexes) {
    {
      StatementUse use(connection.Prepare("INSERT INTO \"dao~indexes\"(tbl, name, field, is_primary,"
                                          " is_unique) VALUES (?, ?, ?, ?, ?)", op), op);
      const Value name = index.def.name, field = index.def.field;
      use.Bind(1, table->id);
      use.Bind(2, name);
      use.Bind(3, field);
      use.Bind(4, std::int64_t{index.def.primary ? 1 : 0});
      use.Bind(5, std::int64_t{index.def.unique ? 1 : 0});
      use.Step();
    }
    index.sqlName = IndexSqlName(connection.LastInsertRowid());
    // A unique index must hold from the first row; ordinary ones are built
    // when first used (see Database::Impl::EnsureIndex).
    if (index.def.unique) connection.Exec(BuildIndexSql(*table, index), op);
  }
  return table;
}

std::string BuildIndexSql(const TableInfo& table, const IndexInfo& index) {
  return std::string(index.def.unique ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " IF NOT EXISTS " +
         index.sqlName + " ON " + QuoteIdentifier(table.name) + " (" +
         QuoteIdentifier(table.fields[index.field].name) + ")";
}

}  // namespace altimar::dao

