// The fast-select window ("Fast Select"): finds the features whose value in
// one attribute column compares with a typed value ("=", ">", "<", ">=",
// "<="), through that column's index in the attribute database.
//
// "Find First" takes the row the index search lands on: the first row in
// the index's order for "=", ">" and ">=", the last for "<" and "<=" (the
// nearest below the value). "Find All" takes every row that compares, listed
// and logged in the index's order; for "<" and "<=" that is from the
// smallest value up to the row the search landed on. The rows found become
// the operation log (from its first entry), the workspace's selection and
// the many-feature document in the globe; the list shows their attributes.
// Afterwards the attribute table's recordset stands on the last row found,
// and the step buttons walk on through the index one row at a time, each
// row becoming the selection alone. A search that finds nothing leaves the
// log, the list and the selection as they were.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/attribute_database.h"
#include "data/operation_document.h"
#include "platform/forms/controls.h"
#include "platform/forms/lists.h"
#include "platform/forms/pictures.h"
#include "ui/style_settings.h"

namespace altimar::data {

// What the window asks of the workspace, which owns the open source and the
// selection.
struct FastSelectLinks {
  // The open shapefile's shape type name ("Point", "Polygon", ...).
  std::function<std::string()> shapeTypeName;
  // The features found are the selection: their FIDs in log order (the
  // workspace sets SelCount and SelFids, and notes that a selection shows).
  std::function<void(const std::vector<std::int32_t>& fids)> setSelection;
  // The window unloads: the toolbar's "fastsearch" button comes up.
  std::function<void()> releaseButton;
};

class FrmFastSelect : public forms::Form {
 public:
  FrmFastSelect(win::Desktop& desktop, int program, AttributeDatabase& rdb,
                OperationDocument& operations, const ui::StyleSettings& style,
                FastSelectLinks links);

  // Shows the window with the columns of the source open now (read again at
  // every showing: another source may have been opened since). Without an
  // open attribute table it says so in a message box and stays hidden:
  // false then.
  bool Open();

  forms::ComboBox cmbSelectField{*this, "cmbSelectField"};
  forms::Label Label1{*this, "Label1"};  // "(" type word ")"
  forms::ComboBox cmbOperator{*this, "cmbOperator"};
  forms::TextBox Text1{*this, "Text1"};  // the value
  forms::Frame Frame1{*this, "Frame1"};
  forms::OptionButton optMultiFind[2] = {{*this, "optMultiFind", 0, &Frame1},
                                         {*this, "optMultiFind", 1, &Frame1}};
  forms::CommandButton Command1{*this, "Command1"};  // "Search"
  forms::CommandButton Command2{*this, "Command2"};  // the next row of the index
  forms::CommandButton Command3{*this, "Command3"};  // the previous row
  forms::CommandButton Command4{*this, "Command4"};  // "export..": empties the log
  forms::Label Label2{*this, "Label2"};              // what the last search or step found
  forms::ListView ListView1{*this, "ListView1"};

  // The column searched: its row of AttrDef (-1 none).
  int SelField = -1;

  void cmbSelectField_Click();
  void Text1_KeyPress(int& keyAscii);
  void Command1_Click();
  void Command2_Click() { Step(true); }
  void Command3_Click() { Step(false); }
  void Command4_Click();
  // A search is walking its matches (pending events run between them).
  bool Searching() const { return searching_; }

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  struct Query;
  void FillFieldList();
  // The search proper, once the value fits the column.
  void Search(const Query& q);
  // Logs, lists and gathers the rows that match from where the recordset
  // stands, and leaves it on the last one; none when the attribute table
  // was closed while events ran.
  std::optional<std::vector<std::int32_t>> WalkMatches(const Query& q);
  void FoundNothing(const std::string& status);
  // The FID of the recordset's row (-1 for none).
  static std::int32_t FidOf(dao::Recordset& rs);
  // The attributes of the recordset's row as list rows 1..AttrCount.
  void ListRow(dao::Recordset& rs);
  // The recordset back in the last search's index on the row shown last;
  // false when that row is no longer there.
  bool BackOnRow(dao::Recordset& rs);
  // Next and previous enabled where a move from the row shown would stay
  // among the rows.
  void DecideStepButtons();
  void Step(bool forward);
  void ShowSelection(const std::vector<std::int32_t>& fids);
  void SetStatus(const std::string& text);
  void Report(const std::exception& e);
  // The database a walk writes to was closed while events ran.
  bool TableClosed() const;

  AttributeDatabase& rdb_;
  OperationDocument& operations_;
  const ui::StyleSettings& style_;
  FastSelectLinks links_;
  bool searching_ = false;
  bool unloaded_ = false;  // while a search walks
  // Where the step buttons start: the last search's index and the row shown.
  std::string indexName_;
  dao::Recordset::BookmarkType current_ = 0;
  bool onRow_ = false;
};

}  // namespace altimar::data
