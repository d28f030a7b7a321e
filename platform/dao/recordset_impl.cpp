#include "platform/dao/recordset_impl.h"

#include <algorithm>

#include "platform/dao/sql_text.h"

namespace altimar::dao {

Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Recordset::~Recordset() { Close(); }

void Recordset::Close() {
  if (impl_->db) impl_->db->recordsets.erase(impl_.get());
  impl_->Detach();
}

Connection& Recordset::Impl::Check(std::string_view operation) const {
  if (!db || !db->connection) {
    throw DaoError(std::string(operation) + ": the recordset of table '" + table->name +
                   "' is closed.");
  }
  return *db->connection;
}

void Recordset::Impl::Detach() {
  // The statements belong to the connection, which may go right after.
  db = nullptr;
  selectRow = insertRow = updateRow = deleteRow = nullptr;
  mode = EditMode::None;
}

std::string Recordset::Impl::OrderBy(bool descending) const {
  const char* direction = descending ? " DESC" : "";
  std::string sql = " ORDER BY ";
  if (index) sql += QuoteIdentifier(table->fields[index->field].name) + direction + ", ";
  return sql + table->keyColumn + direction;
}

void Recordset::Impl::Reload() {
  Connection& connection = Check("Reading rows");
  const std::string sql = "SELECT " + table->keyColumn + " FROM " + QuoteIdentifier(table->name) +
                          OrderBy(false);
  const std::string op = "Reading rows of '" + table->name + "'";
  std::deque<std::int64_t> fresh;
  {
    StatementUse use(connection.Prepare(sql, op), op);
    while (use.Step()) fresh.push_back(use.Int(0));
  }
  // In index order the place is found again through a row that survives:
  // the current one, or for a deleted row the one after it.
  std::optional<std::int64_t> anchor;
  if (place == Place::At) anchor = current;
  if (place == Place::Deleted && pos < Count()) anchor = rows[pos];

  rows = std::move(fresh);
  loaded = true;
  seenVersion = *table->version;
  positionsValid = false;

  if (place != Place::At && place != Place::Deleted) return;
  if (!index) {
    // Insertion order is key order: the place is exact even for a row gone.
    pos = std::lower_bound(rows.begin(), rows.end(), current) - rows.begin();
    if (place == Place::At && (pos == Count() || rows[pos] != current)) place = Place::Deleted;
    return;
  }
  const std::optional<std::int64_t> found = anchor ? Locate(*anchor) : std::nullopt;
  if (found) {
    pos = *found;
  } else {
    // The row went through another recordset: stand where it was.
    place = Place::Deleted;
    pos = std::min(pos, Count());
  }
}

void Recordset::Impl::EnsureFresh() {
  if (!Fresh()) Reload();
}

std::optional<std::int64_t> Recordset::Impl::Locate(std::int64_t rowKey) {
  if (!index) {
    auto it = std::lower_bound(rows.begin(), rows.end(), rowKey);
    if (it == rows.end() || *it != rowKey) return std::nullopt;
    return it - rows.begin();
  }
  if (!positionsValid) {
    positions.clear();
    positions.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) positions[rows[i]] = static_cast<std::int64_t>(i);
    positionsValid = true;
  }
  auto it = positions.find(rowKey);
  if (it == positions.end()) return std::nullopt;
  return it->second;
}

void Recordset::Impl::SetAt(std::int64_t position) {
  place = Place::At;
  pos = position;
  current = rows[static_cast<std::size_t>(position)];
}

void Recordset::Impl::PlaceOnFirst() {
  if (rows.empty()) {
    place = Place::After;
  } else {
    SetAt(0);
  }
}

void Recordset::Impl::BeginMove(std::string_view operation) {
  Check(operation);
  mode = EditMode::None;
  EnsureFresh();
}

const std::vector<Value>& Recordset::Impl::CurrentRow(std::string_view operation) {
  Connection& connection = Check(operation);
  if (place == Place::Deleted) throw DaoError(std::string(operation) + ": record is deleted.");
  if (place != Place::At) throw DaoError(std::string(operation) + ": no current record.");
  if (cacheValid && cachedRow == current && cachedVersion == *table->version) return rowValues;
  const std::string op = std::string(operation) + " in table '" + table->name + "'";
  if (!selectRow) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < table->fields.size(); ++i) {
      if (i > 0) sql += ", ";
      sql += QuoteIdentifier(table->fields[i].name);
    }
    sql += " FROM " + QuoteIdentifier(table->name) + " WHERE " + table->keyColumn + " = ?";
    selectRow = connection.Prepare(sql, op);
  }
  StatementUse use(selectRow, op);
  use.Bind(1, current);
  // Deleted through another recordset since this one last moved.
  if (!use.Step()) throw DaoError(std::string(operation) + ": record is deleted.");
  rowValues.resize(table->fields.size());
  for (std::size_t i = 0; i < rowValues.size(); ++i) rowValues[i] = use.Column(static_cast<int>(i));
  cachedRow = current;
  cachedVersion = *table->version;
  cacheValid = true;
  return rowValues;
}

void Recordset::Impl::CheckField(int position, std::string_view operation) const {
  if (position < 0 || position >= static_cast<int>(table->fields.size())) {
    throw DaoError(std::string(operation) + ": no field at position " + std::to_string(position) +
                   " in table '" + table->name + "' (" + std::to_string(table->fields.size()) +
                   " fields).");
  }
}

int Recordset::Impl::FieldOf(std::string_view name, std::string_view operation) const {
  const int position = table->FieldPosition(name);
  if (position < 0) {
    throw DaoError(std::string(operation) + ": no field '" + std::string(name) + "' in table '" +
                   table->name + "'.");
  }
  return position;
}

}  // namespace altimar::dao
