// A fresh folder per test with a database "bexo.mdb" in it, and helpers to
// make the tables the add-on makes.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/dao/dao.h"
#include "test_folder.h"

namespace altimar::testing {

class DaoTest : public ::testing::Test {
 protected:
  DaoTest() {
    dir_ = FreshTestFolder("altimar_dao");
    path_ = (dir_ / "bexo.mdb").string();
    db_ = dao::Database::CreateDatabase(path_);
  }
  ~DaoTest() override {
    db_.reset();
    std::filesystem::remove_all(dir_);
  }

  // "FID" auto-increment, a Text(10) "Name" and a Long "Size", indexed.
  void MakePlaces() {
    dao::TableDef def{"Places",
                      {{"FID", dao::DataType::Long, 0, true},
                       {"Name", dao::DataType::Text, 10, false},
                       {"Size", dao::DataType::Long, 0, false}},
                      {{"Name", "Name", false, false}, {"Size", "Size", false, false}}};
    db_->CreateTable(def);
  }
  void AddPlace(dao::Recordset& rs, const dao::Value& name, const dao::Value& size) {
    rs.AddNew();
    rs.Set("Name", name);
    rs.Set("Size", size);
    rs.Update();
  }

  std::filesystem::path dir_;
  std::string path_;
  std::unique_ptr<dao::Database> db_;
};

}  // namespace altimar::testing
