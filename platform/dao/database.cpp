#include <filesystem>
#include <system_error>

#include "platform/dao/database_impl.h"
#include "platform/dao/recordset_impl.h"
#include "platform/dao/sql_text.h"

namespace altimar::dao {

namespace {

// The attribute file is rebuilt from its sources at every open, so neither
// a crash-proof journal nor syncs are worth their time: the journal stays in
// memory (Rollback still works) and writes are not synced. A power loss can
// leave a damaged file; the next open rebuilds it.
// The connection keeps its file lock from the first read to Close: without
// it every statement outside a transaction locks, checks and unlocks the
// file (13 us of a 14 us row read). The larger page cache keeps a bulk load
// with its index builds in memory.
void Configure(Connection& connection, std::string_view operation) {
  connection.Exec(
      "PRAGMA locking_mode=EXCLUSIVE; PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;"
      " PRAGMA temp_store=MEMORY; PRAGMA cache_size=-16384",
      operation);
}

}  // namespace

Connection& Database::Impl::Open(std::string_view operation) const {
  if (!connection) throw DaoError(std::string(operation) + ": database '" + path + "' is closed.");
  return *connection;
}

std::shared_ptr<TableInfo> Database::Impl::FindTable(std::string_view name) const {
  for (const auto& table : tables) {
    if (EqualNoCase(table->name, name)) return table;
  }
  return nullptr;
}

void Database::Impl::LoadTables() {
  tables = LoadCatalog(*connection);
  for (auto& table : tables) {
    auto& version = versions[FoldCase(table->name)];
    if (!version) version = std::make_shared<std::uint64_t>(0);
    table->version = version;
  }
}

void Database::Impl::ChangedAll() {
  for (auto& [name, version] : versions) ++*version;
}

void Database::Impl::EnsureIndex(const TableInfo& table, const IndexInfo& index) {
  if (builtIndexes.count(index.sqlName)) return;
  Open("SetIndex").Exec(BuildIndexSql(table, index), "SetIndex '" + index.def.name + "'");
  builtIndexes.insert(index.sqlName);
}

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Database::~Database() {
  try {
    Close();
  } catch (const DaoError&) {
    // The connection is released all the same; nothing to report to.
  }
}

std::unique_ptr<Database> Database::CreateDatabase(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) || ec) {
    throw DaoError("CreateDatabase '" + path + "': " +
                   (ec ? ec.message() : std::string("a file exists at that path")) + ".");
  }
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->connection = std::make_unique<Connection>(
      path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "CreateDatabase");
  Configure(*impl->connection, "CreateDatabase");
  CreateCatalog(*impl->connection);
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

std::unique_ptr<Database> Database::OpenDatabase(const std::string& path) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->connection =
      std::make_unique<Connection>(path, SQLITE_OPEN_READWRITE, "OpenDatabase");
  Configure(*impl->connection, "OpenDatabase '" + path + "'");
  impl->LoadTables();
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

void Database::CreateTable(const TableDef& def) {
  Connection& connection = impl_->Open("CreateTable");
  // A savepoint keeps a half-made table out of the file when a later step fails.
  connection.Exec("SAVEPOINT \"dao~create\"", "CreateTable");
  std::shared_ptr<TableInfo> table;
  try {
    if (impl_->FindTable(def.name)) {
      throw DaoError("CreateTable: table '" + def.name + "' already exists.");
    }
    table = CreateTableIn(connection, def);
  } catch (...) {
    connection.Exec("ROLLBACK TO \"dao~create\"; RELEASE \"dao~create\"", "CreateTable");
    throw;
  }
  connection.Exec("RELEASE \"dao~create\"", "CreateTable");
  auto& version = impl_->versions[FoldCase(table->name)];
  if (!version) version = std::make_shared<std::uint64_t>(0);
  ++*version;  // a table made again after a rollback starts a new life
  table->version = version;
  for (const IndexInfo& index : table->indexes) {
    if (index.def.unique) impl_->builtIndexes.insert(index.sqlName);
  }
  impl_->tables.push_back(std::move(table));
}

std::vector<std::string> Database::TableNames() const {
  impl_->Open("TableNames");
  std::vector<std::string> names;
  for (const auto& table : impl_->tables) names.push_back(table->name);
  return names;
}

std::vector<FieldDef> Database::Fields(const std::string& table) const {
  impl_->Open("Fields");
  auto info = impl_->FindTable(table);
  if (!info) throw DaoError("Fields: no table '" + table + "' in '" + impl_->path + "'.");
  return info->fields;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& table) {
  impl_->Open("OpenRecordset");
  auto info = impl_->FindTable(table);
  if (!info) throw DaoError("OpenRecordset: no table '" + table + "' in '" + impl_->path + "'.");
  auto rs = std::make_unique<Recordset::Impl>(impl_.get(), std::move(info));
  rs->Reload();
  rs->PlaceOnFirst();
  Recordset::Impl* raw = rs.get();
  std::unique_ptr<Recordset> recordset(new Recordset(std::move(rs)));
  impl_->recordsets.insert(raw);
  return recordset;
}

// Nested transactions are savepoints inside the outermost one.
void Database::BeginTrans() {
  Connection& connection = impl_->Open("BeginTrans");
  connection.Exec(impl_->transactionDepth == 0 ? "BEGIN" : "SAVEPOINT \"dao~nested\"", "BeginTrans");
  ++impl_->transactionDepth;
}

void Database::CommitTrans() {
  Connection& connection = impl_->Open("CommitTrans");
  if (impl_->transactionDepth == 0) throw DaoError("CommitTrans without BeginTrans.");
  connection.Exec(impl_->transactionDepth == 1 ? "COMMIT" : "RELEASE \"dao~nested\"", "CommitTrans");
  --impl_->transactionDepth;
}

void Database::Rollback() {
  Connection& connection = impl_->Open("Rollback");
  if (impl_->transactionDepth == 0) throw DaoError("Rollback without BeginTrans.");
  if (impl_->transactionDepth == 1) {
    // SQLite may have ended the transaction itself after a failure.
    if (!connection.Autocommit()) connection.Exec("ROLLBACK", "Rollback");
  } else {
    connection.Exec("ROLLBACK TO \"dao~nested\"; RELEASE \"dao~nested\"", "Rollback");
  }
  --impl_->transactionDepth;
  // Tables and indexes made inside the transaction are gone with it.
  impl_->builtIndexes.clear();
  impl_->LoadTables();
  impl_->ChangedAll();
}

bool Database::InTransaction() const { return impl_->connection && impl_->transactionDepth > 0; }

void Database::Close() {
  if (!impl_->connection) return;
  for (Recordset::Impl* rs : impl_->recordsets) rs->Detach();
  impl_->recordsets.clear();
  // Work not committed is discarded, as DAO does when a database closes.
  if (impl_->transactionDepth > 0 && !impl_->connection->Autocommit()) {
    try {
      impl_->connection->Exec("ROLLBACK", "Close");
    } catch (const DaoError&) {
      // Closing the connection rolls back as well.
    }
  }
  impl_->transactionDepth = 0;
  impl_->connection.reset();
  impl_->tables.clear();
  impl_->builtIndexes.clear();
}

bool Database::IsOpen() const { return impl_->connection != nullptr; }
const std::string& Database::Name() const { return impl_->path; }

}  // namespace altimar::dao
