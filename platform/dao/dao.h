// A table and recordset database layer in the manner of DAO, on SQLite.
//
// A database is one SQLite file. Tables are made from a TableDef (fields of
// DAO's types, in order, and single-column indexes); a table recordset walks
// the rows of one table in insertion order, or in the order of an index once
// one is chosen, and edits them through a copy buffer (AddNew or Edit, field
// assignments, Update). Identifiers are always quoted and values always
// bound: no name or value is pasted into SQL text. Text compares as DAO's
// did, without regard to case.
//
// Writes between BeginTrans and CommitTrans go to the file in one
// transaction; outside a transaction every Update is a transaction of its
// own, so importers and edit operations bracket their writes.
//
// Failures throw DaoError with a message naming the operation and, where
// there is one, SQLite's own message.
//
// Durability: every file is opened with journal_mode=MEMORY and
// synchronous=OFF. The attribute file is rebuilt from its sources at each
// open, so a crash-proof journal and syncs would only cost time; Rollback
// still works, but a power loss during a write can leave a damaged file.
// The file is also locked for the whole life of its Database
// (locking_mode=EXCLUSIVE), which makes reads outside a transaction more
// than ten times faster: a second Database on the same file, in this process or
// another, fails with DaoError ("database is locked") until the first is
// closed.
//
// Names: field names of one table, and index names of one table, must
// differ in more than ASCII case (SQLite would take two such columns for
// one): CreateTable refuses them with a DaoError naming both. Index names
// are kept apart from table names, so an index may be named like any table.
// Table names starting with "dao~" and the field name "dao~row" are the
// layer's own. Case-insensitive text comparison (names, Text and Memo
// values, Seek) folds ASCII letters only, as SQLite's NOCASE does: "É" and
// "é" differ.
//
// Indexes: a unique or primary index is created with its table; an ordinary
// one is built the first time SetIndex chooses it, so a bulk load pays one
// sorted build per index actually used instead of an index insert per row.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace altimar::dao {

class DaoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// DAO's field types (the numbers are DAO's own DataTypeEnum values).
enum class DataType : int {
  Boolean = 1,  // stored as 0 or -1; reads back as integer -1 / 0
  Byte = 2,     // 0..255
  Integer = 3,  // 16-bit signed
  Long = 4,     // 32-bit signed
  Double = 7,
  Text = 10,  // up to `size` characters (255 when no size is given)
  Memo = 12,  // text without a size
};

struct FieldDef {
  std::string name;
  DataType type = DataType::Text;
  int size = 0;                // Text only: the most characters kept; 0 = 255
  bool autoIncrement = false;  // Long only: numbered from 1 by the engine
};

struct IndexDef {
  std::string name;
  std::string field;  // one column
  bool primary = false;
  bool unique = false;
};

struct TableDef {
  std::string name;
  std::vector<FieldDef> fields;
  std::vector<IndexDef> indexes;
};

// A field value: Null, a whole number, a double or a text.
using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool IsNull(const Value& v) {
  return std::holds_alternative<std::monostate>(v);
}
// The value as DAO would show it in a text box: Null is "", numbers as
// written by the number rules of the program ("." as the point).
std::string ValueText(const Value& v);

// Seek comparisons: "=", ">", "<", ">=", "<=".
enum class Comparison { Equal, Greater, Less, GreaterOrEqual, LessOrEqual };
// Parses one of the five comparison texts; throws DaoError for any other.
Comparison ParseComparison(std::string_view text);

class Recordset;

class Database {
 public:
  // Creates a new database file; fails when a file exists at the path.
  static std::unique_ptr<Database> CreateDatabase(const std::string& path);
  // Opens an existing database file for reading and writing.
  static std::unique_ptr<Database> OpenDatabase(const std::string& path);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Creates the table with its fields and indexes (DAO: TableDefs.Append).
  void CreateTable(const TableDef& def);
  std::vector<std::string> TableNames() const;
  // The fields of a table as created.
  std::vector<FieldDef> Fields(const std::string& table) const;

  // A table-type recordset over the whole table, positioned on its first
  // row (EOF and BOF both true when the table is empty).
  std::unique_ptr<Recordset> OpenRecordset(const std::string& table);

  // Transactions nest (inner levels are savepoints). CommitTrans or
  // Rollback without BeginTrans throws DaoError. Rollback also discards
  // tables created inside the transaction.
  void BeginTrans();
  void CommitTrans();
  void Rollback();
  bool InTransaction() const;

  // Closes the file. A transaction still open is rolled back; recordsets
  // still open are closed with it (their later calls throw DaoError, their
  // destruction stays safe). Closing twice is harmless; any other call after
  // Close throws DaoError.
  void Close();
  bool IsOpen() const;
  const std::string& Name() const;

  struct Impl;

 private:
  explicit Database(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  friend class Recordset;
};

// A recordset holds the keys of its rows in its order. Its own AddNew in
// insertion order, its own Delete, and its own Edit that leaves the index
// field alone keep that list; any other change of the table (through
// another recordset, a Rollback, AddNew in index order) makes the next move
// read the order again, about 6 ms for 100,000 rows.
class Recordset {
 public:
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  // --- position ---
  // As in DAO: MoveFirst, MoveLast and Move on an empty recordset, MoveNext
  // at EOF and MovePrevious at BOF throw DaoError ("no current record.").
  // Every move, SetIndex and Seek drops a pending AddNew or Edit.
  std::int64_t RecordCount() const;
  bool EOF_() const;  // DAO's EOF; the macro EOF rules out the plain name
  bool BOF() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();      // past the last row: EOF
  void MovePrevious();  // before the first row: BOF
  void Move(std::int64_t rows);
  // 0-based position of the current row in the recordset's order; -1 at
  // EOF or BOF. Setting it moves there (out of range: DaoError).
  std::int64_t AbsolutePosition() const;
  void SetAbsolutePosition(std::int64_t position);
  // A bookmark names the current row; going back to it finds the row
  // wherever it now stands in the order.
  using BookmarkType = std::int64_t;
  BookmarkType Bookmark() const;
  void SetBookmark(BookmarkType bookmark);
  // The bookmark of the row last added or edited through this recordset
  // (DAO's LastModified); DaoError when there is none yet.
  BookmarkType LastModified() const;

  // --- index and seek ---
  // Orders the recordset by the named index ("" for insertion order) and
  // moves to the first row in that order. Index names are case-insensitive;
  // Index() returns the name as the table defines it.
  void SetIndex(const std::string& indexName);
  const std::string& Index() const;
  // Finds a row of the current index by comparison with key: "=", ">=", ">"
  // search forward from the start of the index for the first row that
  // satisfies the comparison; "<", "<=" search backward from its end.
  // NoMatch() tells whether one was found; without a match the position is
  // undefined, as in DAO (here: EOF). The key is converted to the indexed
  // field's type without rounding; a Null key, a text that is no number for
  // a numeric field, or no current index throws DaoError.
  void Seek(Comparison comparison, const Value& key);
  void Seek(std::string_view comparison, const Value& key) {
    Seek(ParseComparison(comparison), key);
  }
  bool NoMatch() const;

  // --- fields ---
  int FieldCount() const;
  const std::string& FieldName(int position) const;
  DataType FieldType(int position) const;
  // Position of a field by name, case-insensitively; -1 when there is none.
  int FieldIndex(std::string_view name) const;
  // The current row's value (or the copy buffer's during AddNew / Edit).
  // No current row: DaoError ("No current record.").
  Value Get(int position) const;
  Value Get(std::string_view name) const;
  // Assigns to the copy buffer; only between AddNew or Edit and Update.
  // A value is converted to the field's type (texts of numbers become
  // numbers, numbers of a Text field become texts); a value the type cannot
  // hold (text that is no number, 300 for a Byte, a text longer than the
  // field's size) throws DaoError.
  // Null is accepted by every field; an auto-increment field cannot be set.
  void Set(int position, const Value& value);
  void Set(std::string_view name, const Value& value);

  // --- editing ---
  void AddNew();  // copy buffer of defaults (Null; auto-increment filled at Update)
  void Edit();    // copy buffer of the current row
  // Writes the copy buffer. After AddNew the current row stays the one
  // before AddNew (DAO's rule); after Edit it is the edited row.
  // Update and CancelUpdate without a pending AddNew or Edit throw DaoError.
  void Update();
  void CancelUpdate();
  // Deletes the current row; the position stays on the deleted row until
  // the next move (reading its fields then throws DaoError).
  void Delete();
  // Deletes every row of the table in one statement; the recordset is then
  // empty (at EOF), and other recordsets on the table see it at their next move.
  void DeleteAll();
  enum class EditMode { None, Edit, Add };
  EditMode GetEditMode() const;

  void Close();

  struct Impl;

 private:
  explicit Recordset(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  friend class Database;
};

}  // namespace altimar::dao
