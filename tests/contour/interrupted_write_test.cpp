// A run ended by SIGTERM or SIGINT while the contour document is written:
// the half-written file goes, the earlier document stays, and the process
// still ends by the signal.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "contour/text_file.h"
#include "platform/runtime/partial_files.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

class InterruptedWriteTest : public ::testing::Test {
 protected:
  InterruptedWriteTest() {
    dir = FreshTestFolder("altimar_signal");
    path = (dir / "contour.kml").string();
    EXPECT_EQ(contour::WriteTextFile(path, "<kml>earlier</kml>"), "");
  }
  ~InterruptedWriteTest() override { fs::remove_all(dir); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    return names;
  }
  fs::path dir;
  std::string path;
};

TEST_F(InterruptedWriteTest, ASignalMidWriteRemovesThePartialFileAndKeepsTheEarlierOne) {
  for (int sig : {SIGTERM, SIGINT}) {
    EXPECT_EXIT(
        {
          runtime::RemovePartialFilesOnSignals();
          contour::TextFileWriter w(path);
          const std::string chunk(1 << 20, 'x');
          for (int k = 0; k < 8; ++k) w.Write(chunk);
          std::raise(sig);
        },
        ::testing::KilledBySignal(sig), "");
    EXPECT_EQ(Files(), std::vector<std::string>{"contour.kml"}) << "signal " << sig;
    EXPECT_EQ(ReadFileBytes(path), "<kml>earlier</kml>\r\n");
  }
}

TEST_F(InterruptedWriteTest, AFileSetAsideIsPutBack) {
  const std::string aside = path + ".tmp-aside";
  EXPECT_EXIT(
      {
        runtime::RemovePartialFilesOnSignals();
        runtime::PartialFileGuard putBack(aside, path);
        if (!putBack.watched() || std::rename(path.c_str(), aside.c_str()) != 0) std::exit(3);
        std::raise(SIGTERM);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(Files(), std::vector<std::string>{"contour.kml"});
  EXPECT_EQ(ReadFileBytes(path), "<kml>earlier</kml>\r\n");
}

TEST_F(InterruptedWriteTest, AFinishedWriteIsNoLongerWatched) {
  EXPECT_EXIT(
      {
        runtime::RemovePartialFilesOnSignals();
        contour::TextFileWriter w(path);
        w.Write("<kml>new</kml>");
        if (!w.Commit()) std::exit(3);
        std::raise(SIGTERM);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(Files(), std::vector<std::string>{"contour.kml"});
  EXPECT_EQ(ReadFileBytes(path), "<kml>new</kml>");
}

}  // namespace
}  // namespace altimar::testing
