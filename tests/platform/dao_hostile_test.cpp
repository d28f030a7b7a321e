// Names and values that look like SQL are names and values, nothing more;
// names SQLite would merge are refused, not merged.
#include "dao_fixture.h"

namespace altimar::testing {
namespace {

using dao::DataType;
using dao::Value;

TEST_F(DaoTest, HostileNamesAreStoredAsPlainNames) {
  const std::string table = "a\"; DROP TABLE x; --";
  const std::string field1 = "col with spaces \"quoted\"";
  const std::string field2 = "Größe ✓ [x]";
  const std::string field3 = "select";
  db_->CreateTable({"x", {{"keep", DataType::Long}}, {}});
  db_->CreateTable({table,
                    {{field1, DataType::Text, 50}, {field2, DataType::Double}, {field3, DataType::Long}},
                    {{"'); DELETE FROM x; --", field1}, {field2, field2}}});
  EXPECT_EQ(db_->TableNames(), (std::vector<std::string>{"x", table}));

  auto rs = db_->OpenRecordset(table);
  const std::string hostileValue = "'); DROP TABLE \"x\"; --";
  for (int i = 0; i < 3; ++i) {
    rs->AddNew();
    rs->Set(field1, i == 1 ? hostileValue : "v" + std::to_string(i));
    rs->Set(field2, 1.5 * i);
    rs->Set(field3, std::int64_t{i});
    rs->Update();
  }
  rs->SetIndex("'); DELETE FROM x; --");
  rs->Seek("=", hostileValue);
  ASSERT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->Get(field2), Value(1.5));
  rs->SetIndex(field2);
  rs->Seek(">", 2.0);
  EXPECT_EQ(rs->Get(field1), Value(std::string("v2")));

  db_->Close();
  auto db = dao::Database::OpenDatabase(path_);
  EXPECT_EQ(db->TableNames(), (std::vector<std::string>{"x", table})) << "table x is still there";
  EXPECT_EQ(db->Fields(table)[1].name, field2);
  EXPECT_EQ(db->OpenRecordset(table)->RecordCount(), 3);
}

TEST_F(DaoTest, FieldNamesDifferingOnlyInCaseAreRefused) {
  try {
    db_->CreateTable({"Feature", {{"PName", DataType::Text}, {"pname", DataType::Long}}, {}});
    FAIL() << "two fields that SQLite takes for one were accepted";
  } catch (const dao::DaoError& e) {
    EXPECT_NE(std::string(e.what()).find("'pname'"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(db_->TableNames().empty());
  // Beyond ASCII, SQLite tells the names apart, and so does the layer.
  db_->CreateTable({"Feature", {{"Ä", DataType::Long}, {"ä", DataType::Long}}, {}});
  auto rs = db_->OpenRecordset("Feature");
  EXPECT_EQ(rs->FieldIndex("ä"), 1);
}

TEST_F(DaoTest, IndexMayShareItsNameWithATable) {
  db_->CreateTable({"PName", {{"x", DataType::Long}}, {}});
  db_->CreateTable({"Feature", {{"PName", DataType::Text}}, {{"PName", "PName"}}});
  db_->CreateTable({"Other", {{"PName", DataType::Text}}, {{"PName", "PName"}}});
  auto rs = db_->OpenRecordset("Feature");
  rs->AddNew();
  rs->Set(0, std::string("b"));
  rs->Update();
  rs->SetIndex("PName");
  auto other = db_->OpenRecordset("Other");
  other->SetIndex("PName");
  rs->Seek("=", std::string("B"));
  EXPECT_FALSE(rs->NoMatch());
}

}  // namespace
}  // namespace altimar::testing
