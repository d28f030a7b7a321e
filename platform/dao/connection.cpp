#include "platform/dao/connection.h"

namespace altimar::dao {

namespace {
[[noreturn]] void Throw(std::string_view operation, const char* message) {
  throw DaoError(std::string(operation) + ": " + (message ? message : "unknown SQLite error"));
}
}  // namespace

Connection::Connection(const std::string& path, int flags, std::string_view operation) {
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw DaoError(std::string(operation) + " '" + path + "': " + message);
  }
}

Connection::~Connection() {
  for (auto& [sql, statement] : statements_) sqlite3_finalize(statement);
  sqlite3_close_v2(db_);
}

sqlite3_stmt* Connection::Prepare(const std::string& sql, std::string_view operation) {
  if (auto it = statements_.find(sql); it != statements_.end()) return it->second;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &statement, nullptr) != SQLITE_OK) {
    Fail(operation);
  }
  statements_.emplace(sql, statement);
  return statement;
}

void Connection::Exec(const std::string& sql, std::string_view operation) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    Throw(operation, text.c_str());
  }
}

std::int64_t Connection::LastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }
std::int64_t Connection::Changes() const { return sqlite3_changes64(db_); }
bool Connection::Autocommit() const { return sqlite3_get_autocommit(db_) != 0; }
void Connection::Fail(std::string_view operation) const { Throw(operation, sqlite3_errmsg(db_)); }

StatementUse::~StatementUse() {
  sqlite3_reset(s_);
  sqlite3_clear_bindings(s_);
}

void StatementUse::Bind(int parameter, const Value& value) {
  int rc = SQLITE_OK;
  if (const auto* i = std::get_if<std::int64_t>(&value)) {
    rc = sqlite3_bind_int64(s_, parameter, *i);
  } else if (const auto* d = std::get_if<double>(&value)) {
    rc = sqlite3_bind_double(s_, parameter, *d);
  } else if (const auto* s = std::get_if<std::string>(&value)) {
    rc = sqlite3_bind_text64(s_, parameter, s->data(), s->size(), SQLITE_STATIC, SQLITE_UTF8);
  } else {
    rc = sqlite3_bind_null(s_, parameter);
  }
  if (rc != SQLITE_OK) Throw(operation_, sqlite3_errmsg(sqlite3_db_handle(s_)));
}

void StatementUse::Bind(int parameter, std::int64_t value) {
  if (sqlite3_bind_int64(s_, parameter, value) != SQLITE_OK) {
    Throw(operation_, sqlite3_errmsg(sqlite3_db_handle(s_)));
  }
}

bool StatementUse::Step() {
  const int rc = sqlite3_step(s_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Throw(operation_, sqlite3_errmsg(sqlite3_db_handle(s_)));
}

Value StatementUse::Column(int column) const {
  switch (sqlite3_column_type(s_, column)) {
    case SQLITE_INTEGER: return std::int64_t{sqlite3_column_int64(s_, column)};
    case SQLITE_FLOAT: return sqlite3_column_double(s_, column);
    case SQLITE_NULL: return std::monostate{};
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s_, column));
      const int bytes = sqlite3_column_bytes(s_, column);
      return std::string(text ? text : "", static_cast<std::size_t>(bytes));
    }
  }
}

}  // namespace altimar::dao
