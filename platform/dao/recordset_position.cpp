// Moving through a recordset: DAO's EOF/BOF rules, positions, bookmarks,
// index order and Seek.
#include "platform/dao/recordset_impl.h"
#include "platform/dao/sql_text.h"
#include "platform/dao/value_convert.h"

namespace altimar::dao {

namespace {
using Place = Recordset::Impl::Place;

[[noreturn]] void NoCurrentRecord(std::string_view operation) {
  throw DaoError(std::string(operation) + ": no current record.");
}
}  // namespace

std::int64_t Recordset::RecordCount() const {
  impl_->Check("RecordCount");
  impl_->EnsureFresh();
  return impl_->Count();
}

// An empty recordset is at both ends; a deleted row holds its place (neither
// end) until the next move.
bool Recordset::EOF_() const {
  impl_->Check("EOF");
  impl_->EnsureFresh();
  if (impl_->place == Place::Deleted || impl_->place == Place::At) return false;
  return impl_->place == Place::After || impl_->rows.empty();
}

bool Recordset::BOF() const {
  impl_->Check("BOF");
  impl_->EnsureFresh();
  if (impl_->place == Place::Deleted || impl_->place == Place::At) return false;
  return impl_->place == Place::Before || impl_->rows.empty();
}

void Recordset::MoveFirst() {
  impl_->BeginMove("MoveFirst");
  if (impl_->rows.empty()) NoCurrentRecord("MoveFirst");
  impl_->SetAt(0);
}

void Recordset::MoveLast() {
  impl_->BeginMove("MoveLast");
  if (impl_->rows.empty()) NoCurrentRecord("MoveLast");
  impl_->SetAt(impl_->Count() - 1);
}

void Recordset::MoveNext() {
  Impl& r = *impl_;
  r.BeginMove("MoveNext");
  // An empty recordset is at EOF and BOF at once.
  if (r.rows.empty() && r.place != Place::Deleted) NoCurrentRecord("MoveNext");
  std::int64_t next = 0;
  switch (r.place) {
    case Place::After: NoCurrentRecord("MoveNext");
    case Place::Before: next = 0; break;
    case Place::At: next = r.pos + 1; break;
    case Place::Deleted: next = r.pos; break;
  }
  if (next < r.Count()) {
    r.SetAt(next);
  } else {
    r.place = Place::After;
  }
}

void Recordset::MovePrevious() {
  Impl& r = *impl_;
  r.BeginMove("MovePrevious");
  // An empty recordset is at EOF and BOF at once.
  if (r.rows.empty() && r.place != Place::Deleted) NoCurrentRecord("MovePrevious");
  std::int64_t previous = 0;
  switch (r.place) {
    case Place::Before: NoCurrentRecord("MovePrevious");
    case Place::After: previous = r.Count() - 1; break;
    case Place::At:
    case Place::Deleted: previous = r.pos - 1; break;
  }
  if (previous >= 0) {
    r.SetAt(previous);
  } else {
    r.place = Place::Before;
  }
}

void Recordset::Move(std::int64_t rows) {
  Impl& r = *impl_;
  r.BeginMove("Move");
  if (r.rows.empty()) NoCurrentRecord("Move");
  std::int64_t target = 0;
  switch (r.place) {
    case Place::Before:
      if (rows <= 0) NoCurrentRecord("Move");
      target = rows - 1;
      break;
    case Place::After:
      if (rows >= 0) NoCurrentRecord("Move");
      target = r.Count() + rows;
      break;
    case Place::At: target = r.pos + rows; break;
    case Place::Deleted:
      // The deleted row sat between pos - 1 and pos.
      if (rows == 0) throw DaoError("Move: record is deleted.");
      target = rows > 0 ? r.pos + rows - 1 : r.pos + rows;
      break;
  }
  if (target < 0) {
    r.place = Place::Before;
  } else if (target >= r.Count()) {
    r.place = Place::After;
  } else {
    r.SetAt(target);
  }
}

std::int64_t Recordset::AbsolutePosition() const {
  impl_->Check("AbsolutePosition");
  impl_->EnsureFresh();
  return impl_->place == Place::At ? impl_->pos : -1;
}

void Recordset::SetAbsolutePosition(std::int64_t position) {
  impl_->BeginMove("AbsolutePosition");
  if (position < 0 || position >= impl_->Count()) {
    throw DaoError("AbsolutePosition: " + std::to_string(position) + " is outside the " +
                   std::to_string(impl_->Count()) + " rows of table '" + impl_->table->name + "'.");
  }
  impl_->SetAt(position);
}

Recordset::BookmarkType Recordset::Bookmark() const {
  impl_->Check("Bookmark");
  impl_->EnsureFresh();
  if (impl_->place == Place::Deleted) throw DaoError("Bookmark: record is deleted.");
  if (impl_->place != Place::At) NoCurrentRecord("Bookmark");
  return impl_->current;
}

void Recordset::SetBookmark(BookmarkType bookmark) {
  impl_->BeginMove("Bookmark");
  const auto found = impl_->Locate(bookmark);
  if (!found) throw DaoError("Bookmark: not a valid bookmark (the row is gone).");
  impl_->SetAt(*found);
}

void Recordset::SetIndex(const std::string& indexName) {
  Impl& r = *impl_;
  r.Check("SetIndex");
  const IndexInfo* index = nullptr;
  if (!indexName.empty()) {
    index = r.table->FindIndex(indexName);
    if (!index) {
      throw DaoError("SetIndex: '" + indexName + "' is not an index of table '" + r.table->name +
                     "'.");
    }
    r.db->EnsureIndex(*r.table, *index);
  }
  r.mode = EditMode::None;
  if (index != r.index || !r.Fresh()) {
    r.index = index;
    r.indexName = index ? index->def.name : std::string();
    r.place = Place::After;
    r.Reload();
  }
  r.PlaceOnFirst();
}

const std::string& Recordset::Index() const { return impl_->indexName; }

void Recordset::Seek(Comparison comparison, const Value& key) {
  Impl& r = *impl_;
  Connection& connection = r.Check("Seek");
  if (!r.index) throw DaoError("Seek on table '" + r.table->name + "' without a current index.");
  const Value converted = ConvertSeekKey(r.table->fields[r.index->field], key);
  r.BeginMove("Seek");

  const char* op = nullptr;
  bool backward = false;
  switch (comparison) {
    case Comparison::Equal: op = " = ?"; break;
    case Comparison::Greater: op = " > ?"; break;
    case Comparison::GreaterOrEqual: op = " >= ?"; break;
    case Comparison::Less:
      op = " < ?";
      backward = true;
      break;
    case Comparison::LessOrEqual:
      op = " <= ?";
      backward = true;
      break;
  }
  const std::string sql = "SELECT " + r.table->keyColumn + " FROM " +
                          QuoteIdentifier(r.table->name) + " WHERE " +
                          QuoteIdentifier(r.table->fields[r.index->field].name) + op +
                          r.OrderBy(backward) + " LIMIT 1";
  const std::string operation = "Seek on index '" + r.indexName + "'";
  std::optional<std::int64_t> found;
  {
    StatementUse use(connection.Prepare(sql, operation), operation);
    use.Bind(1, converted);
    if (use.Step()) found = r.Locate(use.Int(0));
  }
  r.noMatch = !found;
  if (found) {
    r.SetAt(*found);
  } else {
    r.place = Place::After;
  }
}

bool Recordset::NoMatch() const {
  impl_->Check("NoMatch");
  return impl_->noMatch;
}

}  // namespace altimar::dao
