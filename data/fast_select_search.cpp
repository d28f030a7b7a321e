// The search: the index search for the value, then the walk over the rows
// that match, which become the log, the list and the selection.
#include <optional>

#include "data/fast_select.h"
#include "data/fast_select_key.h"

namespace altimar::data {

using namespace altimar::win;

struct FrmFastSelect::Query {
  std::string column;  // the column and its index
  std::string typeWord;
  int keyField = -1;  // its place in the table
  dao::Comparison comparison = dao::Comparison::Equal;
  dao::Value key;
  bool all = false;  // "Find All"
};

namespace {

// Clears a flag on every way out.
struct Raised {
  bool& flag;
  explicit Raised(bool& f) : flag(f) { flag = true; }
  ~Raised() { flag = false; }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;
};

}  // namespace

void FrmFastSelect::Command1_Click() {
  // A search walking its matches lets events run: a second one waits for it.
  if (searching_) return;
  if (!rdb_.FeatureRs || !rdb_.AttrDb) {
    desktop().MessageBoxA(0, "There is no attribute table to search: open a data source first.",
                          "Altimar", MB_OK);
    return;
  }
  if (SelField < 0 || SelField >= rdb_.AttrCount) return SetStatus("Choose a field to search.");
  try {
    const auto& def = rdb_.AttrDef[static_cast<std::size_t>(SelField)];
    dao::Recordset& rs = *rdb_.FeatureRs;
    Query q;
    q.column = def[0];
    q.typeWord = def[1];
    q.keyField = rs.FieldIndex(q.column);
    if (q.keyField < 0) {
      throw dao::DaoError("The attribute table has no field " + q.column +
                          " any more: show the window again for the open source's fields.");
    }
    q.comparison = dao::ParseComparison(cmbOperator.Text());
    q.all = optMultiFind[1].Value();
    const auto key = SearchValue(Text1.Text(), rs.FieldType(q.keyField));
    if (!key) {
      desktop().MessageBoxA(
          0, UnfitValueText(Text1.Text(), q.column, q.typeWord, rs.FieldType(q.keyField)),
          "Altimar", MB_OK);
      return;
    }
    q.key = *key;
    Raised searching(searching_);
    unloaded_ = false;
    Search(q);
  } catch (const std::runtime_error& e) {
    Report(e);
  }
}

void FrmFastSelect::Search(const Query& q) {
  dao::Recordset& rs = *rdb_.FeatureRs;
  if (rs.RecordCount() == 0) return FoundNothing("No record found.");
  rs.MoveFirst();
  const auto before = rs.Bookmark();
  rs.SetIndex(q.column);
  indexName_ = rs.Index();
  rs.Seek(q.comparison, q.key);
  if (rs.NoMatch()) {
    // Where a search without a match stops is no row: back to where it began.
    rs.SetBookmark(before);
    return FoundNothing("No record found.");
  }
  if (q.all && SeeksFromTheEnd(q.comparison)) {
    // The search landed on the last row below the value; the rows are taken
    // in the index's order, from the first that compares.
    auto first = rs.Bookmark();
    for (rs.MovePrevious(); !rs.BOF() && Satisfies(rs.Get(q.keyField), q.comparison, q.key);
         rs.MovePrevious())
      first = rs.Bookmark();
    rs.SetBookmark(first);
  }
  const auto fids = WalkMatches(q);
  if (!fids) {
    ListView1.Clear();
    return FoundNothing("The search stopped: the attribute table was closed.");
  }
  onRow_ = true;
  if (unloaded_) {
    // The window went while the search walked: what it logged is the selection.
    if (links_.setSelection) links_.setSelection(*fids);
    return;
  }
  SetStatus(q.all ? "Found: " + std::to_string(fids->size()) + " record(s)"
                  : "Fid: " + std::to_string(fids->front()));
  DecideStepButtons();
  ShowSelection(*fids);
}

std::optional<std::vector<std::int32_t>> FrmFastSelect::WalkMatches(const Query& q) {
  ListView1.Clear();
  std::vector<std::int32_t> fids;
  dao::Database& db = *rdb_.AttrDb;
  dao::Recordset& rs = *rdb_.FeatureRs;
  // One transaction for the whole log: emptied, then one entry per match.
  db.BeginTrans();
  try {
    rdb_.ClearOperationLog();
    for (;;) {
      const std::int32_t fid = FidOf(rs);
      fids.push_back(fid);
      rdb_.LogOperation(static_cast<std::int64_t>(fids.size()), fid, 1);
      ListRow(rs);
      current_ = rs.Bookmark();
      if (!q.all) break;
      desktop().DoEvents();
      // Closing the database rolled the log back; rs and db are gone.
      if (TableClosed()) return std::nullopt;
      if (unloaded_) break;
      // Others may have moved the shared recordset meanwhile.
      if (rs.Index() != indexName_) rs.SetIndex(indexName_);
      rs.SetBookmark(current_);
      rs.MoveNext();
      if (rs.EOF_() || !Satisfies(rs.Get(q.keyField), q.comparison, q.key)) break;
    }
    db.CommitTrans();
  } catch (...) {
    if (!TableClosed()) rdb_.AttrDb->Rollback();
    throw;
  }
  ListView1.Refresh();
  rs.SetBookmark(current_);
  return fids;
}

bool FrmFastSelect::TableClosed() const {
  // The transaction of the walk ends only with the database it was opened on.
  return !rdb_.AttrDb || !rdb_.FeatureRs || !rdb_.AttrDb->InTransaction();
}

void FrmFastSelect::FoundNothing(const std::string& status) {
  onRow_ = false;
  SetStatus(status);
  DecideStepButtons();
}

}  // namespace altimar::data
