// Fields and the copy buffer: reading, assigning, AddNew / Edit / Update,
// Delete.
#include "platform/dao/recordset_impl.h"
#include "platform/dao/sql_text.h"
#include "platform/dao/value_convert.h"

namespace altimar::dao {

namespace {
using Place = Recordset::Impl::Place;
}  // namespace

int Recordset::FieldCount() const {
  return static_cast<int>(impl_->table->fields.size());
}

const std::string& Recordset::FieldName(int position) const {
  impl_->CheckField(position, "FieldName");
  return impl_->table->fields[position].name;
}

DataType Recordset::FieldType(int position) const {
  impl_->CheckField(position, "FieldType");
  return impl_->table->fields[position].type;
}

int Recordset::FieldIndex(std::string_view name) const {
  return impl_->table->FieldPosition(name);
}

Value Recordset::Get(int position) const {
  impl_->Check("Get");
  impl_->CheckField(position, "Get");
  if (impl_->mode != EditMode::None) return impl_->buffer[position];
  return impl_->CurrentRow("Get")[position];
}

Value Recordset::Get(std::string_view name) const {
  return Get(impl_->FieldOf(name, "Get"));
}

void Recordset::Set(int position, const Value& value) {
  Impl& r = *impl_;
  r.Check("Set");
  r.CheckField(position, "Set");
  const FieldDef& field = r.table->fields[position];
  if (r.mode == EditMode::None) {
    throw DaoError("Set of field '" + field.name + "' without AddNew or Edit.");
  }
  if (position == r.table->autoField) {
    throw DaoError("Set: field '" + field.name + "' is numbered by the engine and cannot be set.");
  }
  r.buffer[position] = ConvertForField(field, value);
}

void Recordset::Set(std::string_view name, const Value& value) {
  Set(impl_->FieldOf(name, "Set"), value);
}

void Recordset::AddNew() {
  Impl& r = *impl_;
  r.Check("AddNew");
  r.buffer.assign(r.table->fields.size(), Value{});
  r.mode = EditMode::Add;
}

void Recordset::Edit() {
  Impl& r = *impl_;
  r.Check("Edit");
  r.mode = EditMode::None;
  r.EnsureFresh();
  r.buffer = r.CurrentRow("Edit");
  r.editRow = r.current;
  if (r.index) r.editKey = r.buffer[r.index->field];
  r.mode = EditMode::Edit;
}

void Recordset::Update() {
  Impl& r = *impl_;
  Connection& connection = r.Check("Update");
  const TableInfo& table = *r.table;
  const std::string op = "Update of table '" + table.name + "'";
  if (r.mode == EditMode::None) throw DaoError("Update without AddNew or Edit.");

  if (r.mode == EditMode::Add) {
    if (!r.insertRow) {
      std::string columns, values;
      for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (static_cast<int>(i) == table.autoField) continue;
        if (!columns.empty()) {
          columns += ", ";
          values += ", ";
        }
        columns += QuoteIdentifier(table.fields[i].name);
        values += "?";
      }
      r.insertRow = connection.Prepare(
          columns.empty() ? "INSERT INTO " + QuoteIdentifier(table.name) + " DEFAULT VALUES"
                          : "INSERT INTO " + QuoteIdentifier(table.name) + " (" + columns +
                                ") VALUES (" + values + ")",
          op);
    }
    const bool wasFresh = r.Fresh();
    {
      StatementUse use(r.insertRow, op);
      int parameter = 1;
      for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (static_cast<int>(i) != table.autoField) use.Bind(parameter++, r.buffer[i]);
      }
      use.Step();
    }
    const std::int64_t key = connection.LastInsertRowid();
    r.db->Changed(table);
    // Insertion order grows at the end: keep the list without reading it again.
    if (wasFresh && !r.index && (r.rows.empty() || key > r.rows.back())) {
      r.rows.push_back(key);
      r.seenVersion = *table.version;
    }
    r.lastModified = key;
  } else {
    if (!r.updateRow) {
      std::string assignments;
      for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (static_cast<int>(i) == table.autoField) continue;
        if (!assignments.empty()) assignments += ", ";
        assignments += QuoteIdentifier(table.fields[i].name) + " = ?";
      }
      // A table of nothing but its auto-increment field has nothing to set.
      if (assignments.empty()) assignments = table.keyColumn + " = " + table.keyColumn;
      r.updateRow = connection.Prepare("UPDATE " + QuoteIdentifier(table.name) + " SET " +
                                           assignments + " WHERE " + table.keyColumn + " = ?",
                                       op);
    }
    const bool wasFresh = r.Fresh();
    {
      StatementUse use(r.updateRow, op);
      int parameter = 1;
      for (std::size_t i = 0; i < table.fields.size(); ++i) {
        if (static_cast<int>(i) != table.autoField) use.Bind(parameter++, r.buffer[i]);
      }
      use.Bind(parameter, r.editRow);
      use.Step();
    }
    if (connection.Changes() == 0) {
      r.mode = EditMode::None;
      throw DaoError(op + ": the record was deleted.");
    }
    r.db->Changed(table);
    // The same rows in the same order unless the ordering field changed:
    // Seek, Edit, Update loops must not read the order again each time.
    if (wasFresh && (!r.index || r.buffer[r.index->field] == r.editKey)) {
      r.seenVersion = *table.version;
    }
    r.lastModified = r.editRow;
  }
  r.mode = EditMode::None;
}

void Recordset::CancelUpdate() {
  impl_->Check("CancelUpdate");
  if (impl_->mode == EditMode::None) throw DaoError("CancelUpdate without AddNew or Edit.");
  impl_->mode = EditMode::None;
}

void Recordset::Delete() {
  Impl& r = *impl_;
  Connection& connection = r.Check("Delete");
  r.mode = EditMode::None;
  r.EnsureFresh();
  if (r.place == Place::Deleted) throw DaoError("Delete: record is already deleted.");
  if (r.place != Place::At) throw DaoError("Delete: no current record.");
  const std::string op = "Delete in table '" + r.table->name + "'";
  if (!r.deleteRow) {
    r.deleteRow = connection.Prepare(
        "DELETE FROM " + QuoteIdentifier(r.table->name) + " WHERE " + r.table->keyColumn + " = ?",
        op);
  }
  {
    StatementUse use(r.deleteRow, op);
    use.Bind(1, r.current);
    use.Step();
  }
  r.db->Changed(*r.table);
  r.rows.erase(r.rows.begin() + r.pos);
  r.positionsValid = false;
  r.seenVersion = *r.table->version;
  r.place = Place::Deleted;
}

void Recordset::DeleteAll() {
  Impl& r = *impl_;
  Connection& connection = r.Check("DeleteAll");
  r.mode = EditMode::None;
  connection.Exec("DELETE FROM " + QuoteIdentifier(r.table->name),
                  "DeleteAll in table '" + r.table->name + "'");
  r.db->Changed(*r.table);
  r.rows.clear();
  r.loaded = true;
  r.positionsValid = false;
  r.cacheValid = false;
  r.seenVersion = *r.table->version;
  r.place = Place::After;
  r.pos = 0;
}

Recordset::EditMode Recordset::GetEditMode() const {
  return impl_->mode;
}

Recordset::BookmarkType Recordset::LastModified() const {
  impl_->Check("LastModified");
  if (!impl_->lastModified) throw DaoError("LastModified: no row was added or edited.");
  return *impl_->lastModified;
}

}  // namespace altimar::dao
