// The dBASE reader: the layout rules of the format, and tables that lie.
#include "data/dbf_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "dbf_bytes.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {
namespace fs = std::filesystem;
using data::DbfReader;

class DbfReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshTestFolder("altimar_dbf");
    desktop.SetQuietMessageBoxes(true);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  std::string LastBox() const {
    return desktop.MessageBoxLog().empty() ? "" : desktop.MessageBoxLog().back().text;
  }

  fs::path dir;
  win::Desktop desktop{win::Clock::Kind::Virtual};
  DbfReader dbf{desktop};
  std::vector<std::string> values;
};

TEST_F(DbfReaderTest, FieldsAndRecordsAsStored) {
  DbfBytes t;
  t.fields = {{"STREET", 'C', 10}, {"NUM", 'N', 5}, {"AREA", 'N', 12, 6}, {"NOTES", 'M', 10}};
  t.version = 0x83;
  // flag, STREET (10), NUM (5), AREA (12), NOTES (10: a memo block number)
  t.records = {std::string(" ") + "MAIN ST   " + "   42" + "   47.000000" + "         7",
               std::string("*") + "DELETED   " + "   99" + "    1.000000" + "         8",
               std::string(" ") + "ELM       " + " -3.5" + "    0.125000" + "         9"};
  t.Write(Path("t.dbf"));
  ASSERT_EQ(dbf.OpenDbf(Path("t.dbf")), 1) << dbf.LastError();
  ASSERT_EQ(dbf.DbfFieldCount, 4) << "the 0x0D terminator is no descriptor";
  EXPECT_EQ(dbf.DbfFields[2].name, "AREA");
  EXPECT_EQ(dbf.DbfFields[2].decimals, 6);

  ASSERT_EQ(dbf.ReadDbfRecord(1, 0, values), 4);
  EXPECT_EQ(values[0], "MAIN ST   ") << "text keeps its padding";
  EXPECT_EQ(values[1], "   42") << "numbers without decimals untrimmed";
  EXPECT_EQ(values[2], "   47.000000") << "numbers with decimals as written, not scaled";
  EXPECT_EQ(values[3], "") << "memo contents are not read";

  EXPECT_EQ(dbf.ReadDbfRecord(1, 1, values), 0) << "deleted";
  EXPECT_EQ(values, std::vector<std::string>(4, ""));
  ASSERT_EQ(dbf.ReadDbfRecord(1, 2, values), 4) << "the record after a deleted one reads normally";
  EXPECT_EQ(values[1], " -3.5");
  EXPECT_EQ(dbf.CloseDbf(1), 0);
}

TEST_F(DbfReaderTest, RecordsTheFileDoesNotHoldWholeReadEmpty) {
  DbfBytes t;
  t.fields = {{"NAME", 'C', 8}};
  t.records = {" first   ", " second  "};  // flag + 8
  std::string bytes = t.Bytes();
  bytes.resize(bytes.size() - 5);  // the second record cut short
  std::ofstream(Path("cut.dbf"), std::ios::binary) << bytes;
  ASSERT_EQ(dbf.OpenDbf(Path("cut.dbf")), 1);
  ASSERT_EQ(dbf.ReadDbfRecord(1, 0, values), 1);
  EXPECT_EQ(values[0], "first   ");
  for (std::int64_t n : {std::int64_t{1}, std::int64_t{2}, std::int64_t{1000000000000}}) {
    values = {"stale"};
    EXPECT_EQ(dbf.ReadDbfRecord(1, n, values), 0) << n;
    EXPECT_EQ(values, std::vector<std::string>(1, "")) << "never stale bytes, record " << n;
  }
  EXPECT_EQ(dbf.ReadDbfRecord(7, 0, values), 0) << "a file number that is not open";
}

TEST_F(DbfReaderTest, TablesThatLieAboutTheirLengthsAreRefusedWithAMessage) {
  DbfBytes t;
  t.fields = {{"A", 'C', 200}, {"B", 'C', 200}};
  t.records = {std::string(401, 'x')};
  t.recordLength = 100;  // the fields need 401
  t.Write(Path("fields.dbf"));
  EXPECT_EQ(dbf.OpenDbf(Path("fields.dbf")), -1);
  EXPECT_NE(LastBox().find("its fields take 401 bytes of a record of 100"), std::string::npos)
      << LastBox();

  t.recordLength = -1;
  t.headerLength = 60000;  // read unsigned: far past the end of the file
  t.Write(Path("header.dbf"));
  EXPECT_EQ(dbf.OpenDbf(Path("header.dbf")), -1);
  EXPECT_NE(LastBox().find("header length 60000 does not fit the file"), std::string::npos)
      << LastBox();

  std::ofstream(Path("short.dbf"), std::ios::binary) << std::string("\x03\x01", 2);
  EXPECT_EQ(dbf.OpenDbf(Path("short.dbf")), -1);

  DbfBytes wide;
  for (int i = 0; i < 101; ++i) wide.fields.push_back({"F" + std::to_string(i), 'C', 1});
  wide.Write(Path("wide.dbf"));
  EXPECT_EQ(dbf.OpenDbf(Path("wide.dbf")), -1);
  EXPECT_NE(LastBox().find("more than 100 fields"), std::string::npos) << LastBox();
  EXPECT_EQ(LastBox().empty(), false);
  EXPECT_EQ(desktop.MessageBoxLog().back().caption, "Altimar");
}

TEST_F(DbfReaderTest, OtherFilesAreNotTables) {
  DbfBytes t;
  t.version = '0';
  t.fields = {{"A", 'C', 1}};
  t.Write(Path("v.dbf"));
  EXPECT_EQ(dbf.OpenDbf(Path("v.dbf")), -1);
  EXPECT_EQ(LastBox(), "This is not a DBF file & 0");

  const std::size_t boxes = desktop.MessageBoxLog().size();
  EXPECT_EQ(dbf.OpenDbf(""), -1);
  EXPECT_EQ(dbf.OpenDbf(Path("missing.dbf")), -1);
  ASSERT_EQ(::mkfifo(Path("fifo.dbf").c_str(), 0600), 0);
  EXPECT_EQ(dbf.OpenDbf(Path("fifo.dbf")), -1) << "a FIFO is refused, not waited on";
  EXPECT_EQ(dbf.OpenDbf(dir.string()), -1);
  EXPECT_EQ(desktop.MessageBoxLog().size(), boxes) << "a missing path is the caller's to report";
  EXPECT_FALSE(dbf.LastError().empty());
}

TEST_F(DbfReaderTest, TextsBecomeUtf8FromTheTablesCodePage) {
  DbfBytes t;
  t.fields = {{"NAME", 'C', 6}};
  t.records = {std::string(" Caf\xE9  ", 7)};
  t.languageDriver = 0x57;  // Windows ANSI
  t.Write(Path("latin.dbf"));
  ASSERT_EQ(dbf.OpenDbf(Path("latin.dbf")), 1);
  dbf.ReadDbfRecord(1, 0, values);
  EXPECT_EQ(values[0], "Caf\xC3\xA9  ");

  t.records = {std::string(" Caf\xC3\xA9 ", 7)};
  t.Write(Path("utf.dbf"));
  std::ofstream(Path("utf.cpg")) << "UTF-8\n";
  ASSERT_EQ(dbf.OpenDbf(Path("utf.dbf")), 1);
  dbf.ReadDbfRecord(1, 0, values);
  EXPECT_EQ(values[0], "Caf\xC3\xA9 ") << "a .cpg file names the code page";

  t.records = {std::string(" \xFF\xC3(ok ", 7)};
  t.Write(Path("utf.dbf"));
  ASSERT_EQ(dbf.OpenDbf(Path("utf.dbf")), 1);
  dbf.ReadDbfRecord(1, 0, values);
  EXPECT_EQ(values[0], "\xEF\xBF\xBD\xEF\xBF\xBD(ok ")
      << "invalid UTF-8 is replaced, never passed on";
}

TEST_F(DbfReaderTest, RealTablesReadCompletely) {
  const std::string columbus = std::string(ALTIMAR_TESTDATA) + "/shp/columbus.dbf";
  ASSERT_EQ(dbf.OpenDbf(columbus), 1) << dbf.LastError();
  EXPECT_EQ(dbf.DbfFieldCount, 20);
  int read = 0;
  for (int r = 0; r < 49; ++r) read += dbf.ReadDbfRecord(1, r, values) == 20;
  EXPECT_EQ(read, 49);
  EXPECT_EQ(dbf.ReadDbfRecord(1, 49, values), 0) << "past the last record";
}

}  // namespace
}  // namespace altimar::testing
