// The fast-select window driven as a user drives it: columns chosen, values
// typed, buttons clicked; its results checked in the operation log, the
// selection handed to the workspace, the globe's document and the list.
#include "data/fast_select.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <compare>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "attribute_fixture.h"
#include "bench/attribute_import.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::testing {
namespace {

using Fids = std::vector<std::int32_t>;

class FastSelectTest : public AttributeFixture {
 protected:
  void SetUp() override {
    AttributeFixture::SetUp();
    style.SetStyleDefaults();
    globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>());
    desktop.Sleep(earth::Globe::kStartUpMs);
    doc = std::make_unique<data::OperationDocument>(objGE, *rdb, shapes, dir, style,
                                                    [] { return false; });
    data::FastSelectLinks links;
    links.shapeTypeName = [this] { return shapeType; };
    links.setSelection = [this](const Fids& fids) {
      selection = fids;
      ++selections;
    };
    links.releaseButton = [this] { ++released; };
    form = std::make_unique<data::FrmFastSelect>(desktop, desktop.StartProgram("altimar"), *rdb,
                                                 *doc, style, links);
  }
  void TearDown() override {
    form.reset();
    doc.reset();
    AttributeFixture::TearDown();
  }
  // Imports a shapefile of tests/data/shp as the workspace's open command does.
  void Import(const std::string& name) {
    const std::string base = std::string(ALTIMAR_TESTDATA) + "/shp/" + name;
    const int records = bench::OpenShapefileColumns(*rdb, shapes, base);
    ASSERT_GE(records, 0);
    ASSERT_TRUE(rdb->ImportDbf(base + ".shp", records)) << rdb->LastError();
    std::string fields;
    int count = 0;
    shapes.SW_GetMetaInfoFromShpDBF(shapeType, count, 0, fields);
  }
  void Click(forms::Control& c) {
    win::RECT r;
    desktop.GetWindowRect(c.hwnd(), &r);
    desktop.InjectClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    desktop.DoEvents();
  }
  static void Choose(forms::ComboBox& combo, const std::string& item) {
    for (int i = 0; i < combo.ListCount(); ++i)
      if (combo.List(i) == item) return combo.SetListIndex(i);
    ADD_FAILURE() << item << " is not in " << combo.name();
  }
  void Search(const std::string& column, const std::string& op, const std::string& value,
              bool all) {
    Choose(form->cmbSelectField, column);
    Choose(form->cmbOperator, op);
    form->Text1.SetText(value);
    form->optMultiFind[all ? 1 : 0].SetValue(true);
    Click(form->Command1);
  }
  Fids LogFids() {
    Fids out;
    dao::Recordset& log = *rdb->OperationRs;
    if (log.RecordCount() == 0) return out;
    for (log.MoveFirst(); !log.EOF_(); log.MoveNext())
      out.push_back(static_cast<std::int32_t>(std::get<std::int64_t>(log.Get("FID"))));
    return out;
  }
  // The placemark names of the selection document the globe opened last.
  std::vector<std::string> Shown() {
    std::vector<std::string> names;
    for (const auto& d : globe->temporaryPlaces()->children())
      if (d->source() == doc->PathFor(1).string()) {
        names.clear();
        for (const auto& p : d->children().front()->children()) names.push_back(p->get_Name());
      }
    return names;
  }
  static std::vector<std::string> Texts(const Fids& fids) {
    std::vector<std::string> out;
    for (auto f : fids) out.push_back(std::to_string(f));
    return out;
  }
  // Brute force over the table: the FIDs whose value of `column` compares
  // with `value`, ordered by value (texts folded to lower case) then FID.
  Fids Expected(const std::string& column, const std::string& op, const std::string& value) {
    using Key = std::pair<std::string, double>;
    auto key = [](const dao::Value& v) -> Key {
      if (const auto* s = std::get_if<std::string>(&v)) {
        std::string folded = *s;
        for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return {folded, 0};
      }
      const auto* i = std::get_if<std::int64_t>(&v);
      return {"", i ? static_cast<double>(*i) : std::get<double>(v)};
    };
    auto rs = rdb->AttrDb->OpenRecordset("Feature");
    const bool text = rs->FieldType(rs->FieldIndex(column)) == dao::DataType::Text;
    const Key target = key(text ? dao::Value(value) : dao::Value(std::stod(value)));
    std::vector<std::pair<Key, std::int32_t>> rows;
    for (; !rs->EOF_(); rs->MoveNext()) {
      const dao::Value v = rs->Get(column);
      if (dao::IsNull(v)) continue;
      const auto c = key(v) <=> target;
      if (op == "=" ? c == 0 : op == ">" ? c > 0 : op == "<" ? c < 0 : op == ">=" ? c >= 0 : c <= 0)
        rows.push_back({key(v), static_cast<std::int32_t>(std::get<std::int64_t>(rs->Get("FID")))});
    }
    std::sort(rows.begin(), rows.end());
    Fids out;
    for (const auto& r : rows) out.push_back(r.second);
    return out;
  }
  std::int32_t CurrentFid() {
    return static_cast<std::int32_t>(std::get<std::int64_t>(rdb->FeatureRs->Get("FID")));
  }

  ui::StyleSettings style;
  host::ApplicationGE objGE{desktop};
  std::shared_ptr<earth::Globe> globe;
  std::unique_ptr<data::OperationDocument> doc;
  std::unique_ptr<data::FrmFastSelect> form;
  std::string shapeType;
  Fids selection;
  int selections = 0, released = 0;
};

TEST_F(FastSelectTest, TheWindowShowsOnlyWithAnAttributeTableAndOpensReady) {
  EXPECT_FALSE(form->Open());
  EXPECT_FALSE(form->Visible());
  ASSERT_FALSE(desktop.MessageBoxLog().empty());
  EXPECT_EQ(desktop.MessageBoxLog().back().caption, "Altimar");

  Import("world");
  ASSERT_TRUE(form->Open());
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->Caption(), "Fast Select");
  ASSERT_EQ(form->cmbSelectField.ListCount(), 10);
  EXPECT_EQ(form->cmbSelectField.List(1), "name_long");
  EXPECT_EQ(form->Label1.Caption, "(string)") << "the first column is chosen";
  std::string ops;
  for (int i = 0; i < form->cmbOperator.ListCount(); ++i) ops += form->cmbOperator.List(i) + " ";
  EXPECT_EQ(ops, "= > < >= <= ");
  EXPECT_EQ(form->cmbOperator.Text(), "=");
  EXPECT_TRUE(form->optMultiFind[0].Value());
  EXPECT_FALSE(form->Command2.Enabled() || form->Command3.Enabled());
  const double w = form->ListView1.Width();
  const auto& columns = form->ListView1.ColumnHeaders();
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].Text + columns[1].Text + columns[2].Text, "No.FieldValue");
  EXPECT_DOUBLE_EQ(columns[2].Width, w * 5 / 9 - 90);
  Choose(form->cmbSelectField, "pop");
  EXPECT_EQ(form->Label1.Caption, "(float)");

  form->Unload();
  EXPECT_EQ(released, 1) << "the toolbar button comes up with the window";
  ASSERT_TRUE(form->Open());
  EXPECT_EQ(form->ListView1.ColumnHeaders().size(), 3u) << "a second load adds no columns";
}

TEST_F(FastSelectTest, EqualFindsTextWithoutRegardToCase) {
  Import("world");
  ASSERT_TRUE(form->Open());
  const Fids europe = Expected("continent", "=", "Europe");
  ASSERT_EQ(europe.size(), 39u);

  Search("continent", "=", "europe", false);
  EXPECT_EQ(form->Label2.Caption, "Fid: " + std::to_string(europe.front()));
  EXPECT_EQ(LogFids(), Fids{europe.front()});
  EXPECT_EQ(selection, Fids{europe.front()});
  EXPECT_EQ(Shown(), Texts({europe.front()}));
  const auto& items = form->ListView1.ListItems();
  ASSERT_EQ(items.size(), 10u) << "one block: a row per column";
  EXPECT_EQ(items[2].Text, "3");
  EXPECT_EQ(items[2].SubItems, (std::vector<std::string>{"continent", "Europe"}));

  Search("subregion", "=", "NORTHERN america", true);
  const Fids north = Expected("subregion", "=", "northern america");
  ASSERT_EQ(north.size(), 3u);
  EXPECT_EQ(form->Label2.Caption, "Found: 3 record(s)");
  EXPECT_EQ(items.size(), 30u);
  EXPECT_EQ(items[10].Text, "1") << "each block numbers its columns from 1";
  EXPECT_EQ(LogFids(), north);
  EXPECT_EQ(selection, north);
  EXPECT_EQ(Shown(), Texts(north));
  EXPECT_EQ(CurrentFid(), north.back()) << "the recordset stays on the last match";
}

TEST_F(FastSelectTest, EveryOperatorTakesExactlyTheRowsItHoldsFor) {
  Import("world");
  ASSERT_TRUE(form->Open());
  struct Case {
    const char *column, *op, *value;
  };
  // "<" and "<=" land on the last row below the value; Find All still lists
  // in the index's order, and Null values (pop "****") compare with nothing.
  for (const Case& c :
       {Case{"pop", ">", "100000000"}, Case{"pop", "<", "1000000"}, Case{"pop", "<=", "885806"},
        Case{"pop", ">=", "885806"}, Case{"continent", ">", "NORTH AMERICA"},
        Case{"continent", "<=", "asia"}, Case{"area_km2", "<", "0"}}) {
    SCOPED_TRACE(std::string(c.column) + " " + c.op + " " + c.value);
    const Fids expected = Expected(c.column, c.op, c.value);
    Search(c.column, c.op, c.value, true);
    if (expected.empty()) {
      EXPECT_EQ(form->Label2.Caption, "No record found.");
      continue;
    }
    EXPECT_EQ(LogFids(), expected);
    EXPECT_EQ(form->Label2.Caption, "Found: " + std::to_string(expected.size()) + " record(s)");
    EXPECT_EQ(form->ListView1.ListItems().size(), expected.size() * 10);
    EXPECT_EQ(CurrentFid(), expected.back());

    Search(c.column, c.op, c.value, false);
    const bool fromTheEnd = c.op[0] == '<';
    EXPECT_EQ(LogFids(), Fids{fromTheEnd ? expected.back() : expected.front()});
  }
}

TEST_F(FastSelectTest, ASearchWithoutMatchKeepsLogListAndSelection) {
  Import("world");
  ASSERT_TRUE(form->Open());
  Search("continent", "=", "Oceania", true);
  const Fids oceania = LogFids();
  ASSERT_EQ(oceania.size(), 7u);
  ASSERT_TRUE(form->Command3.Enabled() || form->Command2.Enabled());

  Search("continent", "=", "Atlantis", true);
  EXPECT_EQ(form->Label2.Caption, "No record found.");
  EXPECT_EQ(LogFids(), oceania);
  EXPECT_EQ(selections, 1);
  EXPECT_EQ(form->ListView1.ListItems().size(), 70u);
  EXPECT_FALSE(form->Command2.Enabled() || form->Command3.Enabled());

  // A value that is no number for a numeric column: a message, no search.
  const std::size_t boxes = desktop.MessageBoxLog().size();
  Search("pop", ">", "12x", true);
  ASSERT_EQ(desktop.MessageBoxLog().size(), boxes + 1);
  EXPECT_EQ(desktop.MessageBoxLog().back().caption, "Altimar");
  EXPECT_EQ(LogFids(), oceania);

  Click(form->Command4);
  EXPECT_EQ(rdb->OperationRs->RecordCount(), 0) << "export.. empties the log";
}

TEST_F(FastSelectTest, StepButtonsWalkTheIndexAndAreEnabledByTrying) {
  Import("world");
  ASSERT_TRUE(form->Open());
  // "South America" is the last continent in the index: Find All reaches its end.
  const Fids south = Expected("continent", "=", "South America");
  Search("continent", "=", "south america", true);
  ASSERT_EQ(LogFids(), south);
  EXPECT_FALSE(form->Command2.Enabled()) << "nothing after the last row";
  EXPECT_TRUE(form->Command3.Enabled());

  form->Command2_Click();  // past the end: nothing changes
  EXPECT_EQ(CurrentFid(), south.back());
  EXPECT_EQ(form->Label2.Caption, "Found: 13 record(s)");
  EXPECT_EQ(LogFids(), south);

  Click(form->Command3);
  const std::int32_t before = south[south.size() - 2];
  EXPECT_EQ(form->Label2.Caption, "FID: " + std::to_string(before));
  EXPECT_EQ(form->ListView1.ListItems().size(), 10u);
  EXPECT_EQ(LogFids().front(), before) << "the first entry of the log";
  EXPECT_EQ(selection, Fids{before});
  EXPECT_EQ(Shown(), Texts({before}));
  EXPECT_TRUE(form->Command2.Enabled() && form->Command3.Enabled());
  Click(form->Command2);
  EXPECT_EQ(form->Label2.Caption, "FID: " + std::to_string(south.back()));
  EXPECT_FALSE(form->Command2.Enabled());

  // Another user of the recordset changes its index; the steps keep to theirs.
  rdb->FeatureRs->SetIndex("FID");
  Click(form->Command3);
  EXPECT_EQ(form->Label2.Caption, "FID: " + std::to_string(before));
}

TEST_F(FastSelectTest, TheColumnsAreReadAgainEachTimeTheWindowShows) {
  Import("world");
  ASSERT_TRUE(form->Open());
  Search("continent", "=", "Europe", false);
  ASSERT_TRUE(form->Command2.Enabled());

  Import("baltim");  // another source, with the window open
  ASSERT_TRUE(form->Open());
  ASSERT_EQ(form->cmbSelectField.ListCount(), 17);
  EXPECT_EQ(form->cmbSelectField.List(0), "STATION");
  EXPECT_EQ(form->SelField, 0);
  EXPECT_EQ(form->Label1.Caption, "(integer)");
  EXPECT_FALSE(form->Command2.Enabled() || form->Command3.Enabled())
      << "the rows of the other source are gone";
  Search("STATION", ">=", "200", true);
  EXPECT_EQ(LogFids(), Expected("STATION", ">=", "200"));
  EXPECT_EQ(form->ListView1.ListItems()[0].SubItems[0], "STATION");

  rdb->CloseAttributeDb();
  EXPECT_FALSE(form->Open());
  EXPECT_FALSE(form->Visible()) << "without a table the open window goes";
}

TEST_F(FastSelectTest, TheValueBoxTakesOnlyWhatTheColumnHolds) {
  Import("baltim");
  ASSERT_TRUE(form->Open());
  auto type = [&](const std::string& keys) {
    form->Text1.SetText("");
    for (char k : keys)
      desktop.SendMessageA(form->Text1.hwnd(), win::WM_CHAR, static_cast<win::WPARAM>(k), 0);
    return form->Text1.Text();
  };
  EXPECT_EQ(type("1a2.x-3\b4"), "12-4") << "an integer column: digits and minus; Backspace passes";
  Choose(form->cmbSelectField, "PRICE");
  EXPECT_EQ(type("4e7.5,"), "47.5") << "a float column takes the point";
  Import("world");
  ASSERT_TRUE(form->Open());
  Choose(form->cmbSelectField, "continent");
  EXPECT_EQ(type("Asia 1.-"), "Asia 1.-");

  // Enter runs the search.
  desktop.SendMessageA(form->Text1.hwnd(), win::WM_KEYDOWN, win::VK_RETURN, 0);
  EXPECT_EQ(form->Label2.Caption, "No record found.");
  form->Text1.SetText("asia");
  desktop.SendMessageA(form->Text1.hwnd(), win::WM_KEYDOWN, win::VK_RETURN, 0);
  EXPECT_EQ(LogFids(), Fids{Expected("continent", "=", "Asia").front()});
}

TEST_F(FastSelectTest, EventsDuringAFindAllNeitherStartASecondSearchNorOutliveTheTable) {
  Import("world");
  ASSERT_TRUE(form->Open());
  const Fids africa = Expected("continent", "=", "Africa");
  // An Enter waiting in the queue reaches the value box while the walk runs.
  Choose(form->cmbSelectField, "continent");
  form->Text1.SetText("africa");
  form->optMultiFind[1].SetValue(true);
  desktop.PostMessageA(form->Text1.hwnd(), win::WM_KEYDOWN, win::VK_RETURN, 0);
  form->Command1_Click();
  EXPECT_EQ(selections, 1) << "one search";
  EXPECT_EQ(selection, africa);
  EXPECT_EQ(LogFids(), africa);

  // The window closed during the walk: it stops, and what it logged is the selection.
  desktop.PostMessageA(form->hwnd(), win::WM_CLOSE, 0, 0);
  form->Command1_Click();
  EXPECT_EQ(released, 1);
  EXPECT_EQ(LogFids(), Fids{africa.front()});
  EXPECT_EQ(selection, Fids{africa.front()});

  // The table closed during the walk: the search stops; the log is left to the new table.
  ASSERT_TRUE(form->Open());
  Choose(form->cmbSelectField, "continent");
  form->Text1.SetText("africa");
  form->optMultiFind[1].SetValue(true);
  std::uintptr_t timer = 0;
  timer = desktop.SetTimer(0, 0, 1, [&] {
    desktop.KillTimer(0, timer);
    rdb->CloseAttributeDb();
  });
  desktop.Sleep(1);
  form->Command1_Click();
  EXPECT_FALSE(rdb->FeatureRs);
  EXPECT_EQ(form->Label2.Caption, "The search stopped: the attribute table was closed.");
  EXPECT_FALSE(form->Command2.Enabled() || form->Command3.Enabled());
}

}  // namespace
}  // namespace altimar::testing
