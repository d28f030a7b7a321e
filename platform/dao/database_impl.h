// State shared by a Database and the recordsets opened from it.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/dao/catalog.h"
#include "platform/dao/connection.h"
#include "platform/dao/dao.h"

namespace altimar::dao {

struct Database::Impl {
  std::string path;
  std::unique_ptr<Connection> connection;  // null once closed
  std::vector<std::shared_ptr<TableInfo>> tables;  // in order of creation
  // Change counters by folded table name; they outlive catalog reloads so
  // recordsets holding one see every later change.
  std::unordered_map<std::string, std::shared_ptr<std::uint64_t>> versions;
  std::unordered_set<std::string> builtIndexes;  // SQL names known to exist
  int transactionDepth = 0;
  std::set<Recordset::Impl*> recordsets;

  Connection& Open(std::string_view operation) const;
  std::shared_ptr<TableInfo> FindTable(std::string_view name) const;
  // Replaces the table definitions by those in the file.
  void LoadTables();
  void Changed(const TableInfo& table) { ++*table.version; }
  void ChangedAll();
  // Ordinary indexes are created on first use: bulk loads then pay one
  // sorted build instead of a B-tree insert per row and index.
  void EnsureIndex(const TableInfo& table, const IndexInfo& index);
};

}  // namespace altimar::dao
