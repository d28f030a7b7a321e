// Transactions and closing: what is committed stays, what is rolled back
// is gone, and closed objects refuse work instead of touching freed memory.
#include "dao_fixture.h"

namespace altimar::testing {
namespace {

using dao::Value;

class DaoTransactionTest : public DaoTest {
 protected:
  DaoTransactionTest() { MakePlaces(); }
  std::int64_t Count() { return db_->OpenRecordset("Places")->RecordCount(); }
};

TEST_F(DaoTransactionTest, RollbackDiscardsAndCommitKeeps) {
  auto rs = db_->OpenRecordset("Places");
  db_->BeginTrans();
  EXPECT_TRUE(db_->InTransaction());
  AddPlace(*rs, std::string("kept"), 1);
  db_->CommitTrans();
  EXPECT_FALSE(db_->InTransaction());

  db_->BeginTrans();
  AddPlace(*rs, std::string("gone"), 2);
  rs->MoveLast();
  EXPECT_EQ(rs->Get("Name"), Value(std::string("gone"))) << "uncommitted rows are read";
  db_->Rollback();
  EXPECT_EQ(rs->RecordCount(), 1) << "the recordset forgets rolled-back rows";
  EXPECT_THROW(rs->Get("Name"), dao::DaoError) << "its current row was rolled back";
  rs->MoveFirst();
  EXPECT_EQ(rs->Get("Name"), Value(std::string("kept")));

  EXPECT_THROW(db_->CommitTrans(), dao::DaoError);
  EXPECT_THROW(db_->Rollback(), dao::DaoError);
}

TEST_F(DaoTransactionTest, NestedTransactionsRollBackOnlyTheirPart) {
  auto rs = db_->OpenRecordset("Places");
  db_->BeginTrans();
  AddPlace(*rs, std::string("outer"), 1);
  db_->BeginTrans();
  AddPlace(*rs, std::string("inner"), 2);
  db_->Rollback();
  EXPECT_TRUE(db_->InTransaction());
  db_->CommitTrans();
  EXPECT_EQ(Count(), 1);
}

TEST_F(DaoTransactionTest, RollbackForgetsTablesMadeInside) {
  db_->BeginTrans();
  db_->CreateTable({"Temp", {{"A", dao::DataType::Long}}, {{"A", "A"}}});
  auto rs = db_->OpenRecordset("Temp");
  rs->SetIndex("A");
  db_->Rollback();
  EXPECT_EQ(db_->TableNames(), std::vector<std::string>{"Places"});
  EXPECT_THROW(db_->OpenRecordset("Temp"), dao::DaoError);
  EXPECT_THROW(rs->RecordCount(), dao::DaoError) << "its table is gone";
  db_->CreateTable({"Temp", {{"A", dao::DataType::Long}}, {{"A", "A"}}});
  auto again = db_->OpenRecordset("Temp");
  again->SetIndex("A") /* the index is made again, not assumed */;
  again->AddNew();
  again->Set(0, std::int64_t{3});
  again->Update();
  again->Seek("=", std::int64_t{3});
  EXPECT_FALSE(again->NoMatch());
}

TEST_F(DaoTransactionTest, CommittedRowsAreInTheFileAfterReopening) {
  auto rs = db_->OpenRecordset("Places");
  db_->BeginTrans();
  for (int i = 0; i < 100; ++i) AddPlace(*rs, std::string("r"), i);
  db_->CommitTrans();
  db_->BeginTrans();
  AddPlace(*rs, std::string("open"), -1);
  rs.reset();
  db_->Close();  // an open transaction is rolled back
  db_ = dao::Database::OpenDatabase(path_);
  EXPECT_EQ(Count(), 100);
}

TEST_F(DaoTransactionTest, FileBelongsToOneDatabaseAtATime) {
  AddPlace(*db_->OpenRecordset("Places"), std::string("a"), 1);
  EXPECT_THROW(dao::Database::OpenDatabase(path_), dao::DaoError);
  db_->Close();
  auto db = dao::Database::OpenDatabase(path_);
  EXPECT_EQ(db->OpenRecordset("Places")->RecordCount(), 1);
}

TEST_F(DaoTransactionTest, ClosedObjectsRefuseWork) {
  auto rs = db_->OpenRecordset("Places");
  AddPlace(*rs, std::string("a"), 1);
  rs->MoveFirst();
  db_->Close();
  EXPECT_FALSE(db_->IsOpen());
  db_->Close();  // twice is harmless
  EXPECT_THROW(rs->MoveFirst(), dao::DaoError);
  EXPECT_THROW(rs->Get("Name"), dao::DaoError);
  EXPECT_THROW(rs->AddNew(), dao::DaoError);
  EXPECT_THROW(rs->Seek("=", std::string("a")), dao::DaoError);
  EXPECT_THROW(db_->OpenRecordset("Places"), dao::DaoError);
  EXPECT_THROW(db_->BeginTrans(), dao::DaoError);
  EXPECT_THROW(db_->TableNames(), dao::DaoError);
  EXPECT_FALSE(db_->InTransaction());
  rs->Close();
  rs->Close();
  db_.reset();
  EXPECT_THROW(rs->RecordCount(), dao::DaoError) << "the database object itself is gone";
  rs.reset();

  db_ = dao::Database::OpenDatabase(path_);
  auto a = db_->OpenRecordset("Places");
  auto b = db_->OpenRecordset("Places");
  a->Close();
  EXPECT_THROW(a->MoveFirst(), dao::DaoError);
  b->MoveFirst();
  EXPECT_EQ(b->Get("Name"), Value(std::string("a"))) << "closing one recordset leaves the other";
  db_.reset();  // destroyed with a recordset still open
  EXPECT_THROW(b->MoveFirst(), dao::DaoError);
}

}  // namespace
}  // namespace altimar::testing
