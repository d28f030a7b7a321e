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

// Globe, program and the contour dialog open with levels at an interval
// (the second mode) of 50: seven lines.
const std::string kContourDialog =
    "globe\nstart\nforeground globe\nkey Ctrl+F9\nclick frmQuarlin.Toolbar1:tcontour\n"
    "click frmContour.Option1(1)\nset frmContour.VScroll3.Value 50\n";

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

TEST_F(ScriptHostileTest, AnElementOutsideAControlArrayIsRefused) {
  for (const std::string index : {"-5", "1e300", "3", "0.5", "nan", "2147483648"}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(Run(kContourDialog + "click frmContour.Option1(" + index + ")\n"), 1);
    EXPECT_EQ(err.str(), "test:8: frmContour.Option1 has the elements 0, 1, 2, not '" + index + "'\n");
    const auto& options = script->program()->frmContour.Option1;
    EXPECT_FALSE(options[0].Value());
    EXPECT_TRUE(options[1].Value());
  }
  EXPECT_EQ(Run(kContourDialog + "set frmContour.Option1(-1).Value true\n"), 1);
  EXPECT_EQ(err.str(), "test:8: frmContour.Option1 has the elements 0, 1, 2, not '-1'\n");
  EXPECT_EQ(Run(kContourDialog + "click frmContour.Option1(one)\n"), 1);
  EXPECT_EQ(err.str(), "test:8: the index of Option1 is not a number: 'one'\n");
  EXPECT_EQ(Run(kContourDialog + "click frmContour.Command1(0)\n"), 1);
  EXPECT_EQ(err.str(), "test:8: frmContour.Command1 is not a control array\n");
}

TEST_F(ScriptHostileTest, AValueTheControlCannotHoldIsRefusedNotClamped) {
  for (const std::string value : {"1e300", "-1e300", "2.5", "inf", "nan", "-2147483649"}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(Run(kContourDialog + "set frmContour.VScroll3.Value " + value + "\n"), 1);
    const auto& bar = script->program()->frmContour.VScroll3;
    EXPECT_EQ(err.str(), "test:8: frmContour.VScroll3.Value is a whole number from " +
                             std::to_string(std::min(bar.Min, bar.Max)) + " to " +
                             std::to_string(std::max(bar.Min, bar.Max)) + ", not '" + value + "'\n");
    EXPECT_EQ(bar.Value(), 50);
  }
  EXPECT_EQ(Run(kContourDialog + "set frmContour.chcLabelContours.Value 2\n"), 1);
  EXPECT_EQ(err.str(), "test:8: frmContour.chcLabelContours.Value is a whole number from 0 to 1, not '2'\n");
  EXPECT_EQ(Run(kContourDialog + "set frmContour.Option1(0).Value yes\n"), 1);
  EXPECT_EQ(err.str(), "test:8: frmContour.Option1(0).Value is true or false, not 'yes'\n");
}

TEST_F(ScriptHostileTest, KeyNamesAreReadStrictly) {
  const std::string toolbar = "globe\nstart\nforeground globe\nkey Ctrl+F9\n";
  for (const std::string key : {"F99999999999", "F25", "F0", "F01", "Ctrl+", "Ctrl+F-1", "\xC3\xA9"}) {
    SCOPED_TRACE(key);
    EXPECT_EQ(Run(toolbar + "key " + key + "\n"), 1);
    EXPECT_EQ(err.str().rfind("test:5: unknown key '", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("F1 to F24"), std::string::npos) << err.str();
    EXPECT_TRUE(script->program()->frmQuarlin.Toolbar1.Visible());
  }
  EXPECT_EQ(Run(toolbar + "key f24\nkey ctrl+shift+a\n"), 0) << err.str();
}

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

TEST_F(ScriptHostileTest, CoordinatesBeyondWhatAMouseMessageCarriesAreRefused) {
  const std::string placed = "globe\nstart\nplace frmMove 100 50\n";
  const std::string range = " is a whole number from -32768 to 32767, not ";
  const std::pair<std::string, std::string> cases[] = {
      {"place frmMove 2147483647 0", "left" + range + "'2147483647'"},
      {"place frmMove 0 -2147483648", "top" + range + "'-2147483648'"},
      {"place frmMove 1e300 0", "left" + range + "'1e300'"},
      {"move -2147483648,0", "x" + range + "'-2147483648'"},
      {"down 2147483647,2147483647", "x" + range + "'2147483647'"},
      {"click frmGEMenu.Frame1@2147483647,0", "x" + range + "'2147483647'"},
      {"wheel 1e300", "the delta" + range + "'1e300'"}};
  for (const auto& [line, why] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(Run(placed + line + "\n"), 1);
    EXPECT_EQ(err.str(), "test:4: " + why + "\n");
    EXPECT_EQ(script->program()->frmMove.Left(), 100 * 15);
    EXPECT_EQ(script->program()->frmMove.Top(), 50 * 15);
  }
  // An offset in range from a control that is not at 0,0 can still end beyond.
  EXPECT_EQ(Run(placed + "click frmGEMenu.Frame1@32767,0\n"), 1);
  EXPECT_EQ(err.str().rfind("test:4: frmGEMenu.Frame1@32767,0 is ", 0), 0u) << err.str();
  EXPECT_NE(err.str().find(", outside the screen pixels a script may name (-32768 to 32767)\n"), std::string::npos);
}

}  // namespace
}  // namespace altimar::testing
