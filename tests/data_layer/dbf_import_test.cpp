// Shapefile attribute tables into the Feature table, the values each column
// takes, renamed columns, the operation log, and failures that keep the
// previous database.
#include <gtest/gtest.h>

#include <algorithm>

#include "attribute_fixture.h"
#include "bench/attribute_import.h"
#include "dbf_bytes.h"

namespace altimar::testing {
namespace {

using dao::DataType;
using dao::Value;

class DbfImportTest : public AttributeFixture {
 protected:
  // What the workspace does before the import: open the shapefile and its
  // table, read the field description into AttrDef.
  bool Open(const std::string& shp) {
    records = bench::OpenShapefileColumns(*rdb, shapes, shp.substr(0, shp.size() - 4));
    return records >= 0;
  }
  int records = 0;
};

TEST_F(DbfImportTest, RealTablesGiveOneTypedRowPerRecord) {
  ASSERT_TRUE(Open(std::string(ALTIMAR_TESTDATA) + "/shp/columbus.shp"));
  ASSERT_EQ(rdb->AttrCount, 20);
  ASSERT_TRUE(rdb->ImportDbf(std::string(ALTIMAR_TESTDATA) + "/shp/columbus.shp", records))
      << rdb->LastError();
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 49);
  const auto fields = rdb->AttrDb->Fields("Feature");
  ASSERT_EQ(fields.size(), 25u) << "FID, 20 attributes, Operation and three deltas";
  EXPECT_EQ(fields[0].name, "FID");
  EXPECT_EQ(fields[21].name, "Operation");
  EXPECT_EQ(FeatureText(0, "FID"), "0") << "FID is the record number from 0";
  EXPECT_EQ(FeatureText(48, "FID"), "48");
  // Every numeric column holds numbers, not texts.
  for (std::size_t i = 1; i <= 20; ++i) {
    if (fields[i].type != DataType::Double && fields[i].type != DataType::Long) continue;
    const Value v = FeatureValue(3, fields[i].name);
    EXPECT_FALSE(std::holds_alternative<std::string>(v)) << fields[i].name;
  }
  EXPECT_EQ(pointers, (std::vector<int>{11, 0}));
  // The bar showed, moved up record by record, and is hidden again.
  EXPECT_TRUE(bar.shown);
  EXPECT_EQ(bar.values.size(), 49u);
  EXPECT_TRUE(std::is_sorted(bar.values.begin(), bar.values.end()));
  EXPECT_EQ(bar.values.back(), 48);
  EXPECT_FALSE(bar.Visible());
  EXPECT_FALSE(seconds.empty());
  // The library has its table back.
  std::string coords, attrs, box;
  EXPECT_EQ(shapes.SW_ReadFeature(0, 0, coords, attrs, box), 0);
  EXPECT_FALSE(attrs.empty());

  // Opening another source replaces every row.
  ASSERT_TRUE(Open(std::string(ALTIMAR_TESTDATA) + "/shp/baltim.shp"));
  ASSERT_TRUE(rdb->ImportDbf(std::string(ALTIMAR_TESTDATA) + "/shp/baltim.shp", records));
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 211);
}

TEST_F(DbfImportTest, EveryRealTableGivesOneRowPerShape) {
  const std::string data = std::string(ALTIMAR_TESTDATA) + "/shp/";
  for (const char* name :
       {"world", "baltim", "columbus", "cases/boolean-property", "cases/date-property",
        "cases/latin1-property", "cases/mixed-properties", "cases/null", "cases/number-property",
        "cases/string-property", "cases/utf8-property", "cases/empty", "cases/polygons"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(Open(data + name + ".shp"));
    ASSERT_TRUE(rdb->ImportDbf(data + name + ".shp", records)) << rdb->LastError();
    EXPECT_EQ(rdb->FeatureRs->RecordCount(), records);
    EXPECT_EQ(static_cast<int>(rdb->AttrDb->Fields("Feature").size()), rdb->AttrCount + 5);
  }
  // Texts and names arrive in UTF-8 whatever the table's code page.
  ASSERT_TRUE(Open(data + "cases/latin1-property.shp"));
  ASSERT_TRUE(rdb->ImportDbf(data + "cases/latin1-property.shp", records));
  EXPECT_EQ(FeatureText(0, "name"), "M\xC3\xA9xico");
  ASSERT_TRUE(Open(data + "cases/utf8-property.shp"));
  ASSERT_TRUE(rdb->ImportDbf(data + "cases/utf8-property.shp", records));
  EXPECT_EQ(rdb->AttrDef[0][0], "\xE2\x98\x83");
  EXPECT_EQ(FeatureText(0, "\xE2\x98\x83"),
            "\xCE\xB7\xCE\xB5\xCE\xBB\xCE\xBB\xCE\xBF \xCF\x82\xCE\xBF\xCF\x81\xCE\xBB\xCE\xB4");
}

TEST_F(DbfImportTest, ValuesTakeTheirColumnsTypes) {
  using data::AttributeDatabase;
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue(" ", DataType::Long, 0)));
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue("***", DataType::Double, 0)));
  EXPECT_EQ(AttributeDatabase::ColumnValue(" 47.000000", DataType::Double, 0), Value(47.0));
  EXPECT_EQ(AttributeDatabase::ColumnValue("12m", DataType::Integer, 0), Value(std::int64_t{12}));
  EXPECT_EQ(AttributeDatabase::ColumnValue("2.5", DataType::Long, 0), Value(std::int64_t{2}))
      << "halves to even";
  EXPECT_EQ(AttributeDatabase::ColumnValue("3.5", DataType::Long, 0), Value(std::int64_t{4}));
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue("300", DataType::Byte, 0)));
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue("40000", DataType::Integer, 0)));
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue("1e400", DataType::Double, 0)));
  for (const char* t : {"T", "t", "Y", "y"})
    EXPECT_EQ(AttributeDatabase::ColumnValue(t, DataType::Boolean, 0), Value(std::int64_t{-1}))
        << t;
  for (const char* f : {"F", "f", "N", "n", "0"})
    EXPECT_EQ(AttributeDatabase::ColumnValue(f, DataType::Boolean, 0), Value(std::int64_t{0})) << f;
  EXPECT_TRUE(dao::IsNull(AttributeDatabase::ColumnValue("?", DataType::Boolean, 0)));
  EXPECT_EQ(AttributeDatabase::ColumnValue("abcdef", DataType::Text, 4),
            Value(std::string("abcd")));
  EXPECT_EQ(AttributeDatabase::ColumnValue("\xC3\xA9\xC3\xA9\xC3\xA9", DataType::Text, 2),
            Value(std::string("\xC3\xA9\xC3\xA9")))
      << "cut in characters, never inside one";
}

TEST_F(DbfImportTest, CollidingColumnNamesAreRenamedAndBlanksStored) {
  DbfBytes t;
  t.fields = {{"FID", 'N', 4},       {"NAME", 'C', 6}, {"name", 'C', 6},
              {"deltaX", 'N', 6, 2}, {"OK", 'L', 1},   {"", 'C', 3}};
  t.records = {std::string(" ") + "  17" + "Alpha " + "beta  " + "  1.50" + "T" + "abc",
               std::string(" ") + "    " + "      " + "      " + "      " + "?" + "   "};
  t.Write(Path("t.dbf"));
  // No shapefile is needed for the table: the workspace's description of it.
  rdb->AttrCount = 6;
  const char* words[][3] = {{"FID", "integer", "4"}, {"NAME", "string", "6"},
                            {"name", "string", "6"}, {"deltaX", "float", "6"},
                            {"OK", "bool", "1"},     {"", "string", "3"}};
  for (int i = 0; i < 6; ++i)
    rdb->AttrDef[static_cast<std::size_t>(i)] = {words[i][0], words[i][1], words[i][2],
                                                 "",          "1",         "1"};
  ASSERT_TRUE(rdb->ImportDbf(Path("t.shp"), 2)) << rdb->LastError();
  EXPECT_EQ(rdb->AttrDef[0][0], "FID_2");
  EXPECT_EQ(rdb->AttrDef[2][0], "name_2");
  EXPECT_EQ(rdb->AttrDef[3][0], "deltaX_2");
  EXPECT_EQ(rdb->AttrDef[5][0], "Field6");
  EXPECT_EQ(FeatureValue(0, "FID"), Value(std::int64_t{0}));
  EXPECT_EQ(FeatureValue(0, "FID_2"), Value(std::int64_t{17}));
  EXPECT_EQ(FeatureText(0, "NAME"), "Alpha");
  EXPECT_EQ(FeatureText(0, "name_2"), "beta");
  EXPECT_EQ(FeatureValue(0, "deltaX_2"), Value(1.5));
  EXPECT_EQ(FeatureValue(0, "OK"), Value(std::int64_t{-1}));
  EXPECT_TRUE(dao::IsNull(FeatureValue(0, "deltaX"))) << "the shift column itself is untouched";
  EXPECT_TRUE(dao::IsNull(FeatureValue(1, "FID_2"))) << "blank numbers are Null";
  EXPECT_EQ(FeatureText(1, "NAME"), " ") << "blank texts are one space";
  EXPECT_TRUE(dao::IsNull(FeatureValue(1, "OK")));
}

TEST_F(DbfImportTest, AFailedBuildKeepsThePreviousDatabase) {
  ASSERT_TRUE(Open(std::string(ALTIMAR_TESTDATA) + "/shp/columbus.shp"));
  ASSERT_TRUE(rdb->ImportDbf(std::string(ALTIMAR_TESTDATA) + "/shp/columbus.shp", records));

  // A table that is no dBASE file: refused with its message, nothing replaced.
  std::ofstream(Path("bad.dbf"), std::ios::binary)
      << "not a table at all, but long enough for a header";
  EXPECT_FALSE(rdb->ImportDbf(Path("bad.shp"), 3));
  EXPECT_EQ(LastBox(), "This is not a DBF file & n");
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 49);

  // A database that cannot be written: the error reaches the caller.
  auto blocked = std::make_unique<data::AttributeDatabase>(desktop, shapes, Path("no/such/folder"));
  DbfBytes t;
  t.fields = {{"A", 'C', 1}};
  t.records = {" a"};
  t.Write(Path("t.dbf"));
  blocked->AttrCount = 1;
  blocked->AttrDef[0] = {"A", "string", "1", "", "1", "1"};
  EXPECT_THROW(blocked->ImportDbf(Path("t.shp"), 1), dao::DaoError);
  // On the way out of the throw the library has the imported file's table
  // open again.
  std::string type, fields;
  int count = 0;
  shapes.SW_GetMetaInfoFromShpDBF(type, count, 1, fields);
  EXPECT_EQ(fields, "A string 1\r\n");
  EXPECT_EQ(rdb->FeatureRs->RecordCount(), 49);
  EXPECT_EQ(FeatureText(0, "FID"), "0");
}

TEST_F(DbfImportTest, TheOperationLogIsWrittenByPositionInInsertionOrder) {
  DbfBytes t;
  t.fields = {{"A", 'C', 1}};
  t.records = {" a", " b"};
  t.Write(Path("t.dbf"));
  rdb->AttrCount = 1;
  rdb->AttrDef[0] = {"A", "string", "1", "", "1", "1"};
  ASSERT_TRUE(rdb->ImportDbf(Path("t.shp"), 2));
  auto& log = *rdb->OperationRs;
  rdb->ClearOperationLog();  // on an empty log: nothing
  EXPECT_EQ(log.RecordCount(), 0);
  for (int k = 1; k <= 3; ++k) rdb->LogOperation(k, 10 * k, 1);
  ASSERT_EQ(log.RecordCount(), 3);
  log.MoveLast();
  log.MoveNext();  // at EOF, as a search loop leaves it
  rdb->LogOperation(2, 99, 3);
  rdb->LogOperation(9, 77, 1);  // past the end: appended
  std::vector<std::int64_t> fids;
  for (log.MoveFirst(); !log.EOF_(); log.MoveNext())
    fids.push_back(std::get<std::int64_t>(log.Get("FID")));
  EXPECT_EQ(fids, (std::vector<std::int64_t>{10, 99, 30, 77}));
  log.SetAbsolutePosition(1);
  EXPECT_EQ(log.Get("Operation"), Value(std::int64_t{3}));
  rdb->ClearOperationLog();
  EXPECT_EQ(log.RecordCount(), 0);
}

}  // namespace
}  // namespace altimar::testing
