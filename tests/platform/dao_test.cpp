// Field types: what goes in comes back, what a type cannot hold is refused.
#include <cmath>
#include <limits>

#include "dao_fixture.h"

namespace altimar::testing {
namespace {

using dao::DataType;
using dao::Value;

Value I(std::int64_t v) {
  return v;
}
Value T(const char* v) {
  return std::string(v);
}

class DaoTypesTest : public DaoTest {
 protected:
  DaoTypesTest() {
    db_->CreateTable({"T",
                      {{"B", DataType::Boolean},
                       {"Y", DataType::Byte},
                       {"I", DataType::Integer},
                       {"L", DataType::Long},
                       {"D", DataType::Double},
                       {"S", DataType::Text, 5},
                       {"M", DataType::Memo},
                       {"S255", DataType::Text}},
                      {}});
    rs_ = db_->OpenRecordset("T");
    rs_->AddNew();
  }
  // The value as stored and read back from the file.
  Value RoundTrip(const char* field, const Value& v) {
    rs_->Set(field, v);
    rs_->Update();
    rs_->MoveLast();
    Value back = rs_->Get(field);
    rs_->AddNew();
    return back;
  }
  std::unique_ptr<dao::Recordset> rs_;
};

TEST_F(DaoTypesTest, ValuesComeBackAsStored) {
  EXPECT_EQ(RoundTrip("Y", I(255)), I(255));
  EXPECT_EQ(RoundTrip("I", I(-32768)), I(-32768));
  EXPECT_EQ(RoundTrip("L", I(std::numeric_limits<std::int32_t>::min())),
            I(std::numeric_limits<std::int32_t>::min()));
  EXPECT_EQ(RoundTrip("D", 0.1), Value(0.1));
  EXPECT_EQ(RoundTrip("D", -1e300), Value(-1e300));
  EXPECT_EQ(RoundTrip("S", T("héllo")), T("héllo")) << "five characters in seven bytes fit";
  const std::string withNul("a\0b", 3);
  EXPECT_EQ(RoundTrip("M", withNul), Value(withNul));
  const std::string big(100000, 'x');
  EXPECT_EQ(RoundTrip("M", big), Value(big));
  EXPECT_EQ(RoundTrip("S255", std::string(255, 'q')), Value(std::string(255, 'q')));
  for (const char* f : {"B", "Y", "I", "L", "D", "S", "M"}) {
    EXPECT_TRUE(dao::IsNull(RoundTrip(f, Value{}))) << f;
  }
  rs_->Update();
  rs_->MoveLast();
  EXPECT_TRUE(dao::IsNull(rs_->Get("L"))) << "AddNew starts from Null";
}

TEST_F(DaoTypesTest, ValuesAreConvertedToTheFieldType) {
  EXPECT_EQ(RoundTrip("B", I(1)), I(-1));
  EXPECT_EQ(RoundTrip("B", I(7)), I(-1));
  EXPECT_EQ(RoundTrip("B", 0.5), I(-1));
  EXPECT_EQ(RoundTrip("B", I(0)), I(0));
  EXPECT_EQ(RoundTrip("B", T("True")), I(-1));
  EXPECT_EQ(RoundTrip("B", T("false")), I(0));
  EXPECT_EQ(RoundTrip("D", T(" 12.5 ")), Value(12.5));
  EXPECT_EQ(RoundTrip("D", I(3)), Value(3.0));
  EXPECT_EQ(RoundTrip("L", T("-42")), I(-42));
  EXPECT_EQ(RoundTrip("L", T("1e3")), I(1000));
  EXPECT_EQ(RoundTrip("I", 2.5), I(2)) << "half to even";
  EXPECT_EQ(RoundTrip("I", 3.5), I(4));
  EXPECT_EQ(RoundTrip("Y", 255.4), I(255));
  EXPECT_EQ(RoundTrip("S", I(12345)), T("12345"));
  EXPECT_EQ(RoundTrip("S", 2.5), T("2.5"));
  EXPECT_EQ(RoundTrip("M", 0.1 + 0.2), T("0.3"));
}

TEST_F(DaoTypesTest, ValuesTheTypeCannotHoldAreRefused) {
  const struct {
    const char* field;
    Value value;
  } refused[] = {
      {"Y", I(256)},
      {"Y", I(-1)},
      {"Y", 255.5},
      {"I", I(32768)},
      {"I", I(-32769)},
      {"L", I(2147483648LL)},
      {"L", 1e10},
      {"D", T("abc")},
      {"D", T("")},
      {"D", T("12.5x")},
      {"D", T("nan")},
      {"D", std::nan("")},
      {"L", T("twelve")},
      {"B", T("maybe")},
      {"S", T("sixsix")},
      {"S", I(123456)},
      {"S255", std::string(256, 'q')},
  };
  for (const auto& [field, value] : refused) {
    EXPECT_THROW(rs_->Set(field, value), dao::DaoError) << field << " <- " << dao::ValueText(value);
  }
  try {
    rs_->Set("S", T("toolong"));
    FAIL() << "a text longer than the field was taken";
  } catch (const dao::DaoError& e) {
    EXPECT_NE(std::string(e.what()).find("'S'"), std::string::npos) << e.what();
  }
  // A refused value leaves the buffer as it was.
  rs_->Set("Y", I(9));
  EXPECT_THROW(rs_->Set("Y", I(900)), dao::DaoError);
  EXPECT_EQ(rs_->Get("Y"), I(9));
}

TEST_F(DaoTypesTest, FieldsAreFoundByNameWithoutRegardToCase) {
  EXPECT_EQ(rs_->FieldCount(), 8);
  EXPECT_EQ(rs_->FieldIndex("s255"), 7);
  EXPECT_EQ(rs_->FieldIndex("nope"), -1);
  EXPECT_EQ(rs_->FieldName(4), "D");
  EXPECT_EQ(rs_->FieldType(4), DataType::Double);
  EXPECT_THROW(rs_->FieldName(8), dao::DaoError);
  EXPECT_THROW(rs_->Set("nope", I(1)), dao::DaoError);
  EXPECT_THROW(rs_->Get(-1), dao::DaoError);
  rs_->Set("l", I(5));
  EXPECT_EQ(rs_->Get("L"), I(5));
}

TEST_F(DaoTypesTest, DefinitionsSurviveReopening) {
  db_->Close();
  auto db = dao::Database::OpenDatabase(path_);
  ASSERT_EQ(db->TableNames(), std::vector<std::string>{"T"});
  const auto fields = db->Fields("t");
  ASSERT_EQ(fields.size(), 8u);
  EXPECT_EQ(fields[0].type, DataType::Boolean);
  EXPECT_EQ(fields[5].size, 5);
  EXPECT_EQ(fields[7].size, 255) << "0 means 255";
  auto rs = db->OpenRecordset("T");
  rs->AddNew();
  EXPECT_THROW(rs->Set("S", T("sixsix")), dao::DaoError) << "the size is kept in the file";
  EXPECT_EQ(rs->FieldType(0), DataType::Boolean);
}

TEST(DaoValue, TextOfValues) {
  EXPECT_EQ(dao::ValueText(Value{}), "");
  EXPECT_EQ(dao::ValueText(I(-7)), "-7");
  EXPECT_EQ(dao::ValueText(Value(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(dao::ValueText(T("x")), "x");
  EXPECT_EQ(dao::ParseComparison(">="), dao::Comparison::GreaterOrEqual);
  EXPECT_EQ(dao::ParseComparison("<"), dao::Comparison::Less);
  EXPECT_THROW(dao::ParseComparison("=>"), dao::DaoError);
  EXPECT_THROW(dao::ParseComparison(""), dao::DaoError);
}

TEST_F(DaoTest, AutoIncrementNumbersFromOneAndNeverAgain) {
  MakePlaces();
  auto rs = db_->OpenRecordset("Places");
  for (int i = 0; i < 3; ++i) AddPlace(*rs, T("p"), I(i));
  rs->MoveFirst();
  for (std::int64_t fid = 1; fid <= 3; ++fid, rs->MoveNext()) EXPECT_EQ(rs->Get("FID"), I(fid));
  EXPECT_EQ(rs->LastModified(), 3);
  rs->MoveLast();
  rs->Delete();
  AddPlace(*rs, T("q"), I(9));
  rs->MoveLast();
  EXPECT_EQ(rs->Get("FID"), I(4)) << "the number of a deleted row is not given again";
  rs->AddNew();
  EXPECT_TRUE(dao::IsNull(rs->Get("FID"))) << "filled only at Update";
  EXPECT_THROW(rs->Set("FID", I(10)), dao::DaoError);
}

TEST_F(DaoTest, DeleteAllEmptiesTheTableForEveryRecordset) {
  MakePlaces();
  auto rs = db_->OpenRecordset("Places");
  auto other = db_->OpenRecordset("Places");
  for (int i = 0; i < 5; ++i) AddPlace(*rs, T("p"), I(i));
  other->MoveLast();
  rs->DeleteAll();
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_TRUE(rs->EOF_());
  EXPECT_THROW(rs->Get("FID"), dao::DaoError) << "no current row";
  EXPECT_THROW(other->MoveFirst(), dao::DaoError) << "the other recordset sees no rows";
  EXPECT_EQ(other->RecordCount(), 0);
  AddPlace(*rs, T("q"), I(9));
  rs->MoveFirst();
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Get("FID"), I(6)) << "numbers go on after the rows that went";
}

TEST_F(DaoTest, DefinitionsThatCannotWorkAreRefused) {
  using dao::FieldDef;
  EXPECT_THROW(db_->CreateTable({"", {{"A", DataType::Long}}, {}}), dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"NoFields", {}, {}}), dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"T", {{"A", DataType::Text, 256}}, {}}), dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"T", {{"A", DataType::Double, 0, true}}, {}}), dao::DaoError);
  EXPECT_THROW(
      db_->CreateTable({"T", {{"A", DataType::Long, 0, true}, {"B", DataType::Long, 0, true}}, {}}),
      dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"T", {{"A", DataType::Long}}, {{"IX", "Missing"}}}),
               dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"T", {{"A", DataType::Long}}, {{"IX", "A"}, {"ix", "A"}}}),
               dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"dao~tables", {{"A", DataType::Long}}, {}}), dao::DaoError);
  EXPECT_THROW(db_->CreateTable({"T", {{"dao~row", DataType::Long}}, {}}), dao::DaoError);
  EXPECT_TRUE(db_->TableNames().empty()) << "no refused table is left behind";
  db_->CreateTable({"T", {{"A", DataType::Long}}, {}});
  EXPECT_THROW(db_->CreateTable({"t", {{"A", DataType::Long}}, {}}), dao::DaoError);
  EXPECT_THROW(db_->OpenRecordset("Nope"), dao::DaoError);
  EXPECT_THROW(db_->Fields("Nope"), dao::DaoError);
}

TEST_F(DaoTest, UniqueIndexHoldsFromTheFirstRow) {
  db_->CreateTable({"T", {{"Code", DataType::Text, 8}}, {{"PK", "Code", true, false}}});
  auto rs = db_->OpenRecordset("T");
  rs->AddNew();
  rs->Set(0, T("ab"));
  rs->Update();
  rs->AddNew();
  rs->Set(0, T("AB"));
  EXPECT_THROW(rs->Update(), dao::DaoError) << "texts compare without case";
  EXPECT_EQ(rs->GetEditMode(), dao::Recordset::EditMode::Add) << "a failed Update keeps the buffer";
  rs->CancelUpdate();
  EXPECT_EQ(rs->RecordCount(), 1);
}

TEST_F(DaoTest, DatabaseFilesAreCreatedAndOpenedOnlyAsAsked) {
  EXPECT_THROW(dao::Database::CreateDatabase(path_), dao::DaoError) << "the file exists";
  EXPECT_THROW(dao::Database::OpenDatabase((dir_ / "missing.mdb").string()), dao::DaoError);
  const std::string junk = (dir_ / "junk.mdb").string();
  {
    FILE* f = std::fopen(junk.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("this is not a database file, not at all, no pages here........", f);
    std::fclose(f);
  }
  EXPECT_THROW(dao::Database::OpenDatabase(junk), dao::DaoError);
  EXPECT_EQ(db_->Name(), path_);
}

}  // namespace
}  // namespace altimar::testing
