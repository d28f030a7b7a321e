// Scratch folders and whole-file reads for tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace altimar::testing {

// A fresh, empty folder for the running test, under the system's temporary
// folder: the prefix, then the test's suite and name and the process, so
// that no two tests (nor two runs side by side) share one.
inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const auto dir =
      std::filesystem::temp_directory_path() / (prefix + "_" + info->test_suite_name() + "_" +
                                                info->name() + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// The bytes of a file ("" when it cannot be read).
inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace altimar::testing
