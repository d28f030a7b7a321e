// Scripts that push past what the driver takes: indexes, values, key names,
// files and coordinates out of range. Each line is refused with its line
// number and a reason, and what earlier lines did stays as it was.
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <streambuf>

#include "app/program.h"
#include "app/script_fixture.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;

// Standard input that never ends: the same character again and again.
class Endless : public std::streambuf {
 public:
  explicit Endless(char c) {
    buf_.fill(c);
    Refill();
  }

 protected:
  int_type underflow() override {
    Refill();
    return traits_type::to_int_type(buf_[0]);
  }

 private:
  void Refill() { setg(buf_.data(), buf_.data(), buf_.data() + buf_.size()); }
  std::array<char, 4096> buf_;
};

using ScriptHostileTest = ScriptFixture;

TEST_F(ScriptHostileTest, AScriptMustBeARegularFileOfBoundedSize) {
  EXPECT_EQ(RunFile(dir.string()), 2);
  EXPECT_EQ(err.str(), dir.string() + " is a folder, not a file\n");
  EXPECT_EQ(RunFile("/dev/zero"), 2);
  EXPECT_EQ(err.str(), "/dev/zero is not a regular file\n");
  const std::string fifo = Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(RunFile(fifo), 2) << "refused without waiting for a writer";
  EXPECT_EQ(err.str(), fifo + " is not a regular file\n");
  EXPECT_EQ(RunFile(Path("missing.txt")), 2);
  EXPECT_EQ(err.str(), Path("missing.txt") + " cannot be opened (No such file or directory)\n");
  const std::string big = Path("big.txt");
  std::ofstream(big) << "globe\n";
  fs::resize_file(big, app::Script::kMaxScriptBytes + 1);
  EXPECT_EQ(RunFile(big), 2);
  EXPECT_EQ(err.str(), big + " is larger than 16 MB\n");
  EXPECT_EQ(script->globe(), nullptr);

  const std::string ok = Path("ok.txt");
  std::ofstream(ok) << "globe\nexpect globe.running true\n";
  EXPECT_EQ(RunFile(ok), 0) << err.str();
}

TEST_F(ScriptHostileTest, EndlessInputStopsAtTheLimitsBeforeAnyLineRuns) {
  Endless lines('\n'), noNewline('x');
  std::istream endlessLines(&lines), oneEndlessLine(&noNewline);
  EXPECT_EQ(Fresh().Run(endlessLines, "stdin"), 1);
  EXPECT_EQ(err.str(), "stdin:" + std::to_string(app::Script::kMaxScriptBytes + 1) + ": a script is at most 16 MB\n");
  EXPECT_EQ(Fresh().Run(oneEndlessLine, "stdin"), 1);
  EXPECT_EQ(err.str(), "stdin:1: a line is at most 65536 characters\n");
  EXPECT_EQ(Run("globe\n" + std::string(app::Script::kMaxLineLength + 1, 'x') + "\n"), 1);
  EXPECT_EQ(err.str(), "test:2: a line is at most 65536 characters\n");
  EXPECT_EQ(script->globe(), nullptr) << "no line ran";
}

TEST_F(ScriptHostileTest, ExpectTextReadsOnlyRegularFilesOfBoundedSize) {
  const std::string before = Path("before.png"), fifo = Path("fifo"), big = Path("big.kml");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(big) << "<kml>";
  fs::resize_file(big, app::Script::kMaxTextFileBytes + 1);
  const std::string start = "globe\nscreenshot " + before + "\n";
  const std::pair<std::string, std::string> cases[] = {{dir.string(), "is a folder, not a file"},
                                                       {"/dev/zero", "is not a regular file"},
                                                       {fifo, "is not a regular file"},
                                                       {big, "is larger than 16 MB"}};
  for (const auto& [file, why] : cases) {
    SCOPED_TRACE(file);
    fs::remove(before);
    EXPECT_EQ(Run(start + "expect text " + file + " <kml>\n"), 1);
    EXPECT_EQ(err.str(), "test:3: " + file + " " + why + "\n");
    EXPECT_TRUE(fs::exists(before));
  }
}

}  // namespace
}  // namespace altimar::testing
