// Where a recordset stands: DAO's EOF and BOF rules, moves, positions,
// bookmarks, and several recordsets over one table.
#include "dao_fixture.h"

namespace altimar::testing {
namespace {

using dao::Value;

class DaoPositionTest : public DaoTest {
 protected:
  DaoPositionTest() {
    MakePlaces();
    rs_ = db_->OpenRecordset("Places");
  }
  void Fill(int n) {
    for (int i = 1; i <= n; ++i) AddPlace(*rs_, std::string("p") + std::to_string(i), i);
  }
  std::int64_t Size() { return std::get<std::int64_t>(rs_->Get("Size")); }
  std::unique_ptr<dao::Recordset> rs_;
};

TEST_F(DaoPositionTest, EmptyTableIsAtBothEnds) {
  EXPECT_TRUE(rs_->EOF_());
  EXPECT_TRUE(rs_->BOF());
  EXPECT_EQ(rs_->RecordCount(), 0);
  EXPECT_EQ(rs_->AbsolutePosition(), -1);
  EXPECT_THROW(rs_->MoveFirst(), dao::DaoError);
  EXPECT_THROW(rs_->MoveLast(), dao::DaoError);
  EXPECT_THROW(rs_->MoveNext(), dao::DaoError);
  EXPECT_THROW(rs_->MovePrevious(), dao::DaoError);
  EXPECT_THROW(rs_->Move(1), dao::DaoError);
  EXPECT_THROW(rs_->Get("Size"), dao::DaoError);
  EXPECT_THROW(rs_->Edit(), dao::DaoError);
  EXPECT_THROW(rs_->Delete(), dao::DaoError);
  EXPECT_THROW(rs_->Bookmark(), dao::DaoError);
  EXPECT_THROW(rs_->SetAbsolutePosition(0), dao::DaoError);
}

TEST_F(DaoPositionTest, MovesReachTheEndsAndStopThere) {
  Fill(3);
  rs_->MoveFirst();
  EXPECT_FALSE(rs_->BOF());
  EXPECT_EQ(Size(), 1);
  rs_->MoveNext();
  rs_->MoveNext();
  EXPECT_EQ(Size(), 3);
  EXPECT_FALSE(rs_->EOF_());
  rs_->MoveNext();
  EXPECT_TRUE(rs_->EOF_());
  EXPECT_FALSE(rs_->BOF());
  EXPECT_THROW(rs_->Get("Size"), dao::DaoError);
  EXPECT_THROW(rs_->MoveNext(), dao::DaoError) << "MoveNext at EOF";
  rs_->MovePrevious();
  EXPECT_EQ(Size(), 3) << "back from EOF onto the last row";
  rs_->MoveFirst();
  rs_->MovePrevious();
  EXPECT_TRUE(rs_->BOF());
  EXPECT_FALSE(rs_->EOF_());
  EXPECT_THROW(rs_->MovePrevious(), dao::DaoError) << "MovePrevious at BOF";
  rs_->MoveNext();
  EXPECT_EQ(Size(), 1) << "forward from BOF onto the first row";

  rs_->Move(2);
  EXPECT_EQ(Size(), 3);
  rs_->Move(-1);
  EXPECT_EQ(Size(), 2);
  rs_->Move(5);
  EXPECT_TRUE(rs_->EOF_());
  rs_->Move(-2);
  EXPECT_EQ(Size(), 2);
  rs_->Move(-9);
  EXPECT_TRUE(rs_->BOF());
  EXPECT_THROW(rs_->Move(-1), dao::DaoError);
}

TEST_F(DaoPositionTest, AbsolutePositionCountsFromZero) {
  Fill(4);
  rs_->SetAbsolutePosition(2);
  EXPECT_EQ(Size(), 3);
  EXPECT_EQ(rs_->AbsolutePosition(), 2);
  EXPECT_THROW(rs_->SetAbsolutePosition(4), dao::DaoError);
  EXPECT_THROW(rs_->SetAbsolutePosition(-1), dao::DaoError);
  rs_->MoveLast();
  rs_->MoveNext();
  EXPECT_EQ(rs_->AbsolutePosition(), -1);
}

TEST_F(DaoPositionTest, AddNewKeepsTheCurrentRow) {
  Fill(2);
  rs_->MoveFirst();
  AddPlace(*rs_, "new", 99);
  EXPECT_EQ(Size(), 1) << "the row before AddNew stays current";
  EXPECT_EQ(rs_->RecordCount(), 3);
  rs_->MoveLast();
  EXPECT_EQ(Size(), 99);
  rs_->SetBookmark(rs_->LastModified());
  EXPECT_EQ(Size(), 99);
}

TEST_F(DaoPositionTest, AddNewOnAnEmptyTableStaysAtEof) {
  AddPlace(*rs_, "only", 1);
  EXPECT_TRUE(rs_->EOF_());
  EXPECT_FALSE(rs_->BOF());
  EXPECT_EQ(rs_->RecordCount(), 1);
  rs_->MovePrevious();
  EXPECT_EQ(Size(), 1);
}

TEST_F(DaoPositionTest, GetDuringAddNewAndEditReadsTheBuffer) {
  Fill(1);
  rs_->MoveFirst();
  rs_->Edit();
  rs_->Set("Size", 50);
  EXPECT_EQ(rs_->Get("Size"), Value(std::int64_t{50}));
  rs_->CancelUpdate();
  EXPECT_EQ(Size(), 1) << "CancelUpdate drops the buffer";
  rs_->Edit();
  rs_->Set("Size", 60);
  rs_->Update();
  EXPECT_EQ(Size(), 60) << "after Edit the edited row is current";
  EXPECT_THROW(rs_->Update(), dao::DaoError) << "Update without AddNew or Edit";
  EXPECT_THROW(rs_->CancelUpdate(), dao::DaoError);
  EXPECT_THROW(rs_->Set("Size", 1), dao::DaoError);
  rs_->Edit();
  rs_->Set("Size", 70);
  rs_->MoveFirst();
  EXPECT_EQ(rs_->GetEditMode(), dao::Recordset::EditMode::None) << "a move drops the edit";
  EXPECT_EQ(Size(), 60);
}

TEST_F(DaoPositionTest, DeleteHoldsThePlaceUntilTheNextMove) {
  Fill(4);
  rs_->SetAbsolutePosition(1);
  rs_->Delete();
  EXPECT_THROW(rs_->Get("Size"), dao::DaoError) << "the deleted row has no fields";
  EXPECT_FALSE(rs_->EOF_());
  EXPECT_FALSE(rs_->BOF());
  EXPECT_THROW(rs_->Delete(), dao::DaoError);
  rs_->MoveNext();
  EXPECT_EQ(Size(), 3) << "MoveNext lands on the row after the deleted one";
  rs_->Delete();
  rs_->MovePrevious();
  EXPECT_EQ(Size(), 1) << "MovePrevious lands on the row before the deleted one";
  EXPECT_EQ(rs_->RecordCount(), 2);
  rs_->MoveLast();
  rs_->Delete();
  rs_->MoveNext();
  EXPECT_TRUE(rs_->EOF_()) << "deleting the last row, then MoveNext";
}

TEST_F(DaoPositionTest, DeletingEveryRowLeavesAnEmptyTable) {
  Fill(50);
  rs_->MoveFirst();
  while (!rs_->EOF_()) {
    rs_->Delete();
    rs_->MoveNext();
  }
  EXPECT_TRUE(rs_->BOF());
  EXPECT_EQ(rs_->RecordCount(), 0);
  auto other = db_->OpenRecordset("Places");
  EXPECT_EQ(other->RecordCount(), 0) << "the rows are gone from the table, not just the list";
}

TEST_F(DaoPositionTest, BookmarkSurvivesInsertsAndDeletes) {
  Fill(5);
  rs_->SetAbsolutePosition(3);
  const auto mark = rs_->Bookmark();
  rs_->MoveFirst();
  rs_->Delete();
  AddPlace(*rs_, "late", 77);
  rs_->SetBookmark(mark);
  EXPECT_EQ(Size(), 4);
  EXPECT_EQ(rs_->AbsolutePosition(), 2);

  rs_->SetIndex("Size");
  AddPlace(*rs_, "first", -5);
  rs_->SetBookmark(mark);
  EXPECT_EQ(Size(), 4);
  EXPECT_EQ(rs_->AbsolutePosition(), 3) << "-5, 2, 3, 4 in index order";
  rs_->Delete();
  EXPECT_THROW(rs_->SetBookmark(mark), dao::DaoError);
}

TEST_F(DaoPositionTest, RecordsetsOfOneTableSeeEachOthersChanges) {
  Fill(3);
  auto other = db_->OpenRecordset("Places");
  rs_->SetAbsolutePosition(1);
  other->SetAbsolutePosition(1);
  other->Delete();
  EXPECT_EQ(rs_->RecordCount(), 2);
  EXPECT_THROW(rs_->Get("Size"), dao::DaoError) << "its row was deleted through the other";
  rs_->MoveNext();
  EXPECT_EQ(Size(), 3);
  other->MoveFirst();
  other->Edit();
  other->Set("Size", 10);
  other->Update();
  rs_->MoveFirst();
  EXPECT_EQ(Size(), 10) << "an edit through the other is read, not a stale copy";
  AddPlace(*other, "x", 4);
  rs_->MoveLast();
  EXPECT_EQ(Size(), 4);
}

TEST_F(DaoPositionTest, OperationLogIsWrittenByPositionAndCleared) {
  db_->CreateTable({"Operation",
                    {{"FID", dao::DataType::Long},
                     {"Operation", dao::DataType::Byte},
                     {"deltaX", dao::DataType::Double},
                     {"deltaY", dao::DataType::Double},
                     {"deltaZ", dao::DataType::Double}},
                    {}});
  auto log = db_->OpenRecordset("Operation");
  for (std::int64_t fid = 10; fid < 15; ++fid) {
    log->AddNew();
    log->Set(0, fid);
    log->Set(1, std::int64_t{1});
    log->Update();
  }
  log->SetAbsolutePosition(2);
  log->Edit();
  log->Set(2, 0.5);
  log->Update();
  log->MoveFirst();
  log->Move(2);
  EXPECT_EQ(log->Get("deltaX"), Value(0.5));
  EXPECT_EQ(log->Get("FID"), Value(std::int64_t{12}));
  log->MoveFirst();
  while (!log->EOF_()) {
    log->Delete();
    log->MoveNext();
  }
  EXPECT_EQ(log->RecordCount(), 0);
  EXPECT_TRUE(log->EOF_() && log->BOF());
}

}  // namespace
}  // namespace altimar::testing
