// Index order and Seek: the five comparisons on text (without regard to
// case) and on numbers, NoMatch, and walking on in index order.
#include <vector>

#include "dao_fixture.h"

namespace altimar::testing {
namespace {

using dao::Value;

class DaoSeekTest : public DaoTest {
 protected:
  DaoSeekTest() {
    MakePlaces();
    rs_ = db_->OpenRecordset("Places");
    // Inserted out of order, mixed case, one name twice.
    const std::pair<const char*, int> rows[] = {{"delta", 40}, {"Alpha", 10}, {"charlie", 30},
                                                {"BRAVO", 20}, {"alpha", 15}, {"Echo", 50}};
    for (const auto& [name, size] : rows) AddPlace(*rs_, std::string(name), size);
  }
  std::string Name() { return std::get<std::string>(rs_->Get("Name")); }
  std::int64_t Size() { return std::get<std::int64_t>(rs_->Get("Size")); }
  std::vector<std::string> Walk() {
    std::vector<std::string> names;
    for (; !rs_->EOF_(); rs_->MoveNext()) names.push_back(Name());
    return names;
  }
  std::unique_ptr<dao::Recordset> rs_;
};

TEST_F(DaoSeekTest, IndexOrdersRowsWithoutRegardToCase) {
  rs_->SetIndex("name");
  EXPECT_EQ(rs_->Index(), "Name");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"Alpha", "alpha", "BRAVO", "charlie", "delta", "Echo"}))
      << "equal keys follow insertion order";
  rs_->SetIndex("");
  EXPECT_EQ(Walk(), (std::vector<std::string>{"delta", "Alpha", "charlie", "BRAVO", "alpha", "Echo"}));
  EXPECT_THROW(rs_->SetIndex("Nope"), dao::DaoError);
}

TEST_F(DaoSeekTest, SeeksOnTextIndex) {
  rs_->SetIndex("Name");
  rs_->Seek("=", std::string("ALPHA"));
  ASSERT_FALSE(rs_->NoMatch());
  EXPECT_EQ(Size(), 10) << "the first of the equal keys";
  rs_->Seek(">=", std::string("b"));
  EXPECT_EQ(Name(), "BRAVO");
  rs_->Seek(">", std::string("bravo"));
  EXPECT_EQ(Name(), "charlie");
  rs_->Seek("<", std::string("Charlie"));
  EXPECT_EQ(Name(), "BRAVO");
  rs_->Seek("<=", std::string("ALPHA"));
  EXPECT_EQ(Size(), 15) << "searching back from the end: the last of the equal keys";
  rs_->Seek(">=", std::string("c"));
  EXPECT_EQ(Walk(), (std::vector<std::string>{"charlie", "delta", "Echo"}));

  rs_->Seek("=", std::string("foxtrot"));
  EXPECT_TRUE(rs_->NoMatch());
  EXPECT_TRUE(rs_->EOF_());
  rs_->Seek(">", std::string("echo"));
  EXPECT_TRUE(rs_->NoMatch());
  rs_->Seek("<", std::string("ALPHA"));
  EXPECT_TRUE(rs_->NoMatch());
  rs_->Seek(">=", std::string(""));
  EXPECT_FALSE(rs_->NoMatch());
  EXPECT_EQ(rs_->AbsolutePosition(), 0);
}

TEST_F(DaoSeekTest, SeeksOnNumericIndexCompareNumbers) {
  rs_->SetIndex("Size");
  rs_->Seek(">=", std::int64_t{25});
  EXPECT_EQ(Size(), 30);
  rs_->Seek(">=", 20.5);
  EXPECT_EQ(Size(), 30) << "a fractional key is not rounded to the field's whole numbers";
  rs_->Seek("<", 20.5);
  EXPECT_EQ(Size(), 20);
  rs_->Seek("=", std::string("40"));
  EXPECT_EQ(Name(), "delta") << "a text key is read as a number";
  rs_->Seek(">", std::string("9"));
  EXPECT_EQ(Size(), 10) << "as a number 9 < 10; as a text '9' > '10'";
  rs_->Seek("<=", std::int64_t{1000});
  EXPECT_EQ(Size(), 50);
  rs_->Seek("=", std::int64_t{41});
  EXPECT_TRUE(rs_->NoMatch());
  EXPECT_THROW(rs_->Seek("=", std::string("forty")), dao::DaoError);
  EXPECT_THROW(rs_->Seek("=", Value{}), dao::DaoError);
}

TEST_F(DaoSeekTest, SeekNeedsAnIndexAndSeesNewRows) {
  EXPECT_THROW(rs_->Seek("=", std::string("alpha")), dao::DaoError);
  rs_->SetIndex("Name");
  AddPlace(*rs_, std::string("Bob"), 60);
  rs_->Seek(">", std::string("bravo"));
  EXPECT_EQ(Name(), "charlie");
  rs_->Seek("<", std::string("bravo"));
  EXPECT_EQ(Name(), "Bob") << "a row added after SetIndex takes its place in the order";
  rs_->Delete();
  rs_->Seek("<", std::string("bravo"));
  EXPECT_EQ(Name(), "alpha");
}

TEST_F(DaoSeekTest, EditedRowTakesItsNewPlaceInIndexOrder) {
  rs_->SetIndex("Size");
  rs_->Seek("=", std::int64_t{30});
  rs_->Edit();
  rs_->Set("Name", std::string("Carla"));
  rs_->Update();
  EXPECT_EQ(rs_->AbsolutePosition(), 3) << "another field changed: the order stays";
  rs_->MoveNext();
  EXPECT_EQ(Size(), 40);

  rs_->Seek("=", std::int64_t{30});
  rs_->Edit();
  rs_->Set("Size", std::int64_t{5});
  rs_->Update();
  EXPECT_EQ(Name(), "Carla") << "the edited row stays current";
  EXPECT_EQ(rs_->AbsolutePosition(), 0) << "and moves to its place in the index";
  rs_->MoveNext();
  EXPECT_EQ(Size(), 10);
  rs_->MoveLast();
  EXPECT_EQ(Size(), 50);
  EXPECT_EQ(rs_->RecordCount(), 6);
}

TEST_F(DaoSeekTest, IndexesArePresentAfterReopening) {
  rs_->SetIndex("Size");  // built now; "Name" is still to be built
  rs_.reset();
  db_->Close();
  auto db = dao::Database::OpenDatabase(path_);
  auto rs = db->OpenRecordset("places");
  for (const char* index : {"Size", "NAME"}) {
    rs->SetIndex(index);
    rs->Seek(">=", std::string("1"));
    EXPECT_FALSE(rs->NoMatch()) << index;
  }
  rs->SetIndex("Name");
  rs->Seek("=", std::string("echo"));
  EXPECT_EQ(rs->Get("Size"), Value(std::int64_t{50}));
}

}  // namespace
}  // namespace altimar::testing
