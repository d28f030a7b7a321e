// The window, its columns and keys, and the step buttons; the search itself
// is in fast_select_search.cpp.
#include "data/fast_select.h"

#include "data/fast_select_key.h"
#include "platform/runtime/kml_color.h"

namespace altimar::data {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr const char* kOperators[] = {"=", ">", "<", ">=", "<="};
constexpr int kEnter = 13;
constexpr int kSelectedDocument = 1;
}  // namespace

FrmFastSelect::FrmFastSelect(Desktop& desktop, int program, AttributeDatabase& rdb,
                             OperationDocument& operations, const ui::StyleSettings& style,
                             FastSelectLinks links)
    : Form(desktop, program, "frmFastSelect"),
      rdb_(rdb),
      operations_(operations),
      style_(style),
      links_(std::move(links)) {
  initialCaption_ = "Fast Select";
  initialWidth_ = 6240;
  initialHeight_ = 6360;
  BorderStyle = vbFixedDialog;
  cmbSelectField.Move(120, 120, 2280, 315);
  Label1.Move(2460, 150, 1080, 255);
  cmbOperator.Move(3600, 120, 720, 315);
  Text1.Move(4380, 120, 1620, 315);
  Frame1.Move(120, 540, 3300, 600);
  optMultiFind[0].Move(120, 240, 1440, 255);
  optMultiFind[1].Move(1680, 240, 1440, 255);
  Command1.Move(3540, 660, 1080, 375);
  Command3.Move(4740, 660, 600, 375);
  Command2.Move(5400, 660, 600, 375);
  Command4.Move(4920, 1200, 1080, 375);
  Label2.Move(120, 1260, 4680, 255);
  ListView1.Move(120, 1680, 5880, 4080);
}

void FrmFastSelect::Form_Load() {
  Frame1.Caption = "Condition";
  optMultiFind[0].Caption = "Find First";
  optMultiFind[1].Caption = "Find All";
  optMultiFind[0].SetValue(true);
  Command1.Caption = "Search";
  Command2.Caption = ">";
  Command3.Caption = "<";
  Command4.Caption = "export..";
  cmbOperator.Clear();
  for (const char* op : kOperators) cmbOperator.AddItem(op);
  cmbOperator.SetListIndex(0);
  Text1.SetText("");
  Label1.Caption.clear();
  Label2.Caption.clear();
  onRow_ = false;
  Command2.SetEnabled(false);
  Command3.SetEnabled(false);
  const double width = ListView1.Width();
  ListView1.Clear();
  ListView1.ColumnHeaders().clear();
  ListView1.AddColumn("No.", width / 9);
  ListView1.AddColumn("Field", width / 3);
  ListView1.AddColumn("Value", width * 5 / 9 - 90);

  cmbSelectField.Click = [this] { cmbSelectField_Click(); };
  Text1.KeyPress = [this](int& key) { Text1_KeyPress(key); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
}

void FrmFastSelect::Form_Unload(bool&) {
  if (searching_) unloaded_ = true;
  if (links_.releaseButton) links_.releaseButton();
}

bool FrmFastSelect::Open() {
  if (!rdb_.FeatureRs) {
    Hide();
    desktop().MessageBoxA(0, "There is no attribute table to search: open a data source first.",
                          "Altimar", MB_OK);
    return false;
  }
  Load();
  FillFieldList();
  if (!searching_) DecideStepButtons();
  Show();
  return true;
}

// The columns of the open source. The column chosen stays chosen while the
// source has one of its name; otherwise the first is.
void FrmFastSelect::FillFieldList() {
  std::vector<std::string> before;
  for (int i = 0; i < cmbSelectField.ListCount(); ++i) before.push_back(cmbSelectField.List(i));
  const std::string chosen = SelField >= 0 && SelField < static_cast<int>(before.size())
                                 ? before[static_cast<std::size_t>(SelField)]
                                 : std::string();
  cmbSelectField.Clear();
  SelField = -1;
  Label1.Caption.clear();
  Label1.Refresh();
  std::vector<std::string> names;
  int pick = 0;
  for (int i = 0; i < rdb_.AttrCount; ++i) {
    names.push_back(rdb_.AttrDef[static_cast<std::size_t>(i)][0]);
    cmbSelectField.AddItem(names.back());
    if (!chosen.empty() && names.back() == chosen) pick = i;
  }
  // Other columns: another source, whose rows the step buttons do not know.
  if (names != before) onRow_ = false;
  if (!names.empty()) cmbSelectField.SetListIndex(pick);
}

void FrmFastSelect::cmbSelectField_Click() {
  SelField = cmbSelectField.ListIndex();
  Label1.Caption = SelField >= 0 && SelField < rdb_.AttrCount
                       ? "(" + rdb_.AttrDef[static_cast<std::size_t>(SelField)][1] + ")"
                       : std::string();
  Label1.Refresh();
}

void FrmFastSelect::Text1_KeyPress(int& keyAscii) {
  if (keyAscii == kEnter) {
    Command1_Click();
    return;
  }
  if (SelField < 0 || SelField >= rdb_.AttrCount) return;
  if (!KeyAllowed(rdb_.AttrDef[static_cast<std::size_t>(SelField)][1], keyAscii)) keyAscii = 0;
}

void FrmFastSelect::Command4_Click() {
  if (searching_) return;
  try {
    rdb_.ClearOperationLog();
    // An empty log is an empty selection.
    if (links_.setSelection) links_.setSelection({});
  } catch (const std::runtime_error& e) {
    Report(e);
  }
}

// --- the rows shown and the step buttons ---

std::int32_t FrmFastSelect::FidOf(dao::Recordset& rs) {
  const dao::Value v = rs.Get(0);
  const auto* fid = std::get_if<std::int64_t>(&v);
  return static_cast<std::int32_t>(fid ? *fid : -1);
}

void FrmFastSelect::ListRow(dao::Recordset& rs) {
  auto& items = ListView1.ListItems();
  for (int i = 1; i <= rdb_.AttrCount; ++i) {
    const std::string& name = rdb_.AttrDef[static_cast<std::size_t>(i - 1)][0];
    // By name: a KML source's table has a column more before the attributes.
    const int field = rs.FieldIndex(name);
    ListItem item;
    item.Text = std::to_string(i);
    item.SubItems = {name, field >= 0 ? dao::ValueText(rs.Get(field)) : std::string()};
    item.Index = static_cast<int>(items.size()) + 1;
    // Added straight to the items: the list paints once when it is complete.
    items.push_back(std::move(item));
  }
}

bool FrmFastSelect::BackOnRow(dao::Recordset& rs) {
  if (!onRow_) return false;
  try {
    // Others share the recordset and choose their own index.
    if (rs.Index() != indexName_) rs.SetIndex(indexName_);
    rs.SetBookmark(current_);
    return true;
  } catch (const dao::DaoError&) {
    onRow_ = false;
    return false;
  }
}

// By trying: a move there and back again.
void FrmFastSelect::DecideStepButtons() {
  bool next = false, previous = false;
  try {
    if (rdb_.FeatureRs && BackOnRow(*rdb_.FeatureRs)) {
      dao::Recordset& rs = *rdb_.FeatureRs;
      rs.MoveNext();
      next = !rs.EOF_();
      rs.SetBookmark(current_);
      rs.MovePrevious();
      previous = !rs.BOF();
      rs.SetBookmark(current_);
    }
  } catch (const dao::DaoError&) {
    onRow_ = false;
    next = previous = false;
  }
  Command2.SetEnabled(next);
  Command3.SetEnabled(previous);
}

void FrmFastSelect::Step(bool forward) {
  if (searching_ || !rdb_.FeatureRs) return;
  try {
    dao::Recordset& rs = *rdb_.FeatureRs;
    if (!BackOnRow(rs)) return DecideStepButtons();
    const auto before = rs.Bookmark();
    if (forward) {
      rs.MoveNext();
    } else {
      rs.MovePrevious();
    }
    if (forward ? rs.EOF_() : rs.BOF()) {
      rs.SetBookmark(before);
      return DecideStepButtons();
    }
    current_ = rs.Bookmark();
    const std::int32_t id = FidOf(rs);
    ListView1.Clear();
    SetStatus("FID: " + std::to_string(id));
    ListRow(rs);
    ListView1.Refresh();
    if (rdb_.OperationRs) rdb_.LogOperation(1, id, 1);
    DecideStepButtons();
    ShowSelection({id});
  } catch (const std::runtime_error& e) {
    Report(e);
  }
}

// --- what every search and step ends with ---

void FrmFastSelect::ShowSelection(const std::vector<std::int32_t>& fids) {
  if (links_.setSelection) links_.setSelection(fids);
  const std::string shapeType = links_.shapeTypeName ? links_.shapeTypeName() : std::string();
  OperationRequest request;
  request.selCount = static_cast<std::int64_t>(fids.size());
  request.shapeType = shapeType;
  operations_.SendKmlToGE4Operation(
      kSelectedDocument, "ff" + runtime::ColorToKmlHex(style_.HighlightColor), 1.0, request);
}

void FrmFastSelect::SetStatus(const std::string& text) {
  Label2.Caption = text;
  Label2.Refresh();
}

void FrmFastSelect::Report(const std::exception& e) {
  desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
}

}  // namespace altimar::data
