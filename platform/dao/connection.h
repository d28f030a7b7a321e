// One SQLite connection with the prepared statements of the layer: each SQL
// text is prepared once and kept until the connection closes, so repeated
// row operations only bind and step.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/dao/dao.h"

namespace altimar::dao {

class Connection {
 public:
  // Opens the file with the given sqlite3_open_v2 flags; throws DaoError.
  Connection(const std::string& path, int flags, std::string_view operation);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The statement for sql, prepared on first use; reset and unbound.
  sqlite3_stmt* Prepare(const std::string& sql, std::string_view operation);
  // Runs SQL without parameters, discarding any rows.
  void Exec(const std::string& sql, std::string_view operation);
  std::int64_t LastInsertRowid() const;
  std::int64_t Changes() const;
  bool Autocommit() const;
  [[noreturn]] void Fail(std::string_view operation) const;

 private:
  sqlite3* db_ = nullptr;
  std::unordered_map<std::string, sqlite3_stmt*> statements_;
};

// Use of one prepared statement: binds, steps, reads; resets the statement
// when it goes out of scope so the next use starts clean.
class StatementUse {
 public:
  StatementUse(sqlite3_stmt* statement, std::string_view operation)
      : s_(statement), operation_(operation) {}
  ~StatementUse();
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

  // 1-based as in SQLite. Texts are not copied: the value must outlive the
  // steps of this use.
  void Bind(int parameter, const Value& value);
  void Bind(int parameter, Value&& value) = delete;  // would dangle
  void Bind(int parameter, std::int64_t value);
  // True when a row is there to read, false when the statement is done.
  bool Step();
  Value Column(int column) const;  // 0-based
  std::int64_t Int(int column) const { return sqlite3_column_int64(s_, column); }

 private:
  sqlite3_stmt* s_;
  std::string_view operation_;
};

}  // namespace altimar::dao
