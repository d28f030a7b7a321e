// `altimar run SCRIPT`: drives a headless desktop with the globe and the
// program line by line, as a user would: start them, click controls by their
// form and control names, press keys, type, answer dialogs, wait clock time,
// take screenshots, print properties and check them. While a modal window
// (a popup menu, a dialog) is open, the next lines act on it.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::earth {
class Globe;
}

namespace altimar::forms {
class Control;
}

namespace altimar::app {

class Program;

struct ScriptSettings {
  std::string dir = ".";  // the program folder
};

class Script {
 public:
  // What a script may read: its own text, one line of it, and a file that
  // `expect text` searches.
  static constexpr std::size_t kMaxScriptBytes = std::size_t{16} << 20;
  static constexpr std::size_t kMaxLineLength = 65536;
  static constexpr std::size_t kMaxTextFileBytes = std::size_t{16} << 20;

  Script(ScriptSettings settings, std::ostream& out, std::ostream& err);
  ~Script();
  // Runs every line; 0 when all ran and every expectation held, else 1 (the
  // failing line is reported on err).
  int Run(std::istream& in, const std::string& name);
  // Runs a script file: 2 (and why on err) when it is no regular file or
  // larger than kMaxScriptBytes, else as Run.
  int RunFile(const std::string& path);
  // What the lines started (null until they did), to look at after a run.
  Program* program() const { return program_.get(); }
  earth::Globe* globe() const { return globe_.get(); }

 private:
  struct Line {
    int number;
    std::vector<std::string> words;
  };
  // Runs lines until none is left; true if one ran.
  bool Step();
  void Execute(const Line& line);
  void ReportMessages();
  win::POINT PointOf(const std::string& target);
  forms::Control* ControlOf(const std::string& target, std::string& key);
  std::vector<std::pair<std::string, std::string>> Properties(const std::string& target);
  void SetProperty(const std::string& target, const std::string& value);
  void Key(const std::string& combo);
  void Type(const std::string& text);
  void StartGlobe(const std::vector<std::string>& args);
  void StartProgram(const std::vector<std::string>& args);

  ScriptSettings settings_;
  std::ostream& out_;
  std::ostream& err_;
  win::Desktop desktop_{win::Clock::Kind::Virtual};
  std::shared_ptr<earth::Globe> globe_;
  std::unique_ptr<Program> program_;
  std::vector<Line> lines_;
  std::size_t next_ = 0;
  std::size_t messagesSeen_ = 0;
  std::string name_;
  bool failed_ = false;
};

}  // namespace altimar::app
