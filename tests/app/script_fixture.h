// Runs scripts against a fresh desktop in a temporary program folder; the
// script of the last run stays, so that a test can look at what it left.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "app/script.h"

namespace altimar::testing {

class ScriptFixture : public ::testing::Test {
 protected:
  ScriptFixture() {
    dir = std::filesystem::temp_directory_path() / ("altimar_script_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  ~ScriptFixture() override {
    script.reset();
    std::filesystem::remove_all(dir);
  }
  app::Script& Fresh() {
    out.str("");
    err.str("");
    script = std::make_unique<app::Script>(app::ScriptSettings{dir.string()}, out, err);
    return *script;
  }
  int Run(const std::string& text) {
    std::istringstream in(text);
    return Fresh().Run(in, "test");
  }
  int RunFile(const std::string& path) { return Fresh().RunFile(path); }
  std::string Path(const std::string& name) const { return (dir / name).string(); }

  std::filesystem::path dir;
  std::ostringstream out, err;
  std::unique_ptr<app::Script> script;
};

}  // namespace altimar::testing
