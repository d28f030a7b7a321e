#include "app/script.h"

#include "app/script_support.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "app/contour_options.h"
#include "app/file_reading.h"
#include "app/program.h"
#include "app/user_kml.h"
#include "platform/earth/dem_terrain.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/forms/menu.h"

namespace altimar::app {

using namespace altimar::win;
using namespace altimar::app::scripting;

namespace {

// Words of a line; double quotes keep blanks inside a word.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (quoted) throw ScriptError("a quote is not closed");
  if (any) words.push_back(word);
  return words;
}

// key=value arguments.
std::map<std::string, std::string> Arguments(const std::vector<std::string>& words, std::size_t from,
                                             std::initializer_list<const char*> known) {
  std::map<std::string, std::string> args;
  for (std::size_t k = from; k < words.size(); ++k) {
    const auto eq = words[k].find('=');
    if (eq == std::string::npos) throw ScriptError("expected key=value, got '" + words[k] + "'");
    const std::string key = words[k].substr(0, eq);
    if (std::none_of(known.begin(), known.end(), [&](const char* n) { return key == n; }))
      throw ScriptError("unknown setting '" + key + "'");
    args[key] = words[k].substr(eq + 1);
  }
  return args;
}

int Button(const std::vector<std::string>& w, std::size_t at) {
  if (w.size() <= at || w[at] == "left") return VK_LBUTTON;
  if (w[at] == "right") return VK_RBUTTON;
  throw ScriptError("a button is left or right, not '" + w[at] + "'");
}

}  // namespace

Script::Script(ScriptSettings settings, std::ostream& out, std::ostream& err)
    : settings_(std::move(settings)), out_(out), err_(err) {
  desktop_.SetQuietMessageBoxes(true);
  desktop_.SetIdleHandler([this] { return Step(); });
}

Script::~Script() {
  desktop_.SetIdleHandler(nullptr);
  program_.reset();
}

int Script::RunFile(const std::string& path) {
  std::string text;
  if (std::string why = ReadRegularFile(path, kMaxScriptBytes, text); !why.empty()) {
    err_ << path << " " << why << '\n';
    return 2;
  }
  std::istringstream in(std::move(text));
  return Run(in, path);
}

int Script::Run(std::istream& in, const std::string& name) {
  name_ = name;
  int number = 0;
  std::size_t total = 0;
  std::streambuf* const buf = in.rdbuf();
  auto refuse = [&](const std::string& why) {
    err_ << name_ << ":" << number << ": " << why << '\n';
    return 1;
  };
  // Lines are read a character at a time so that neither the script nor a
  // line can grow past its limit (standard input may be endless).
  for (bool more = buf != nullptr; more;) {
    std::string text;
    more = false;
    ++number;
    for (int c; (c = buf->sbumpc()) != std::streambuf::traits_type::eof();) {
      if (++total > kMaxScriptBytes) return refuse("a script is at most " + SizeText(kMaxScriptBytes));
      if (c == '\n') {
        more = true;
        break;
      }
      if (text.size() == kMaxLineLength)
        return refuse("a line is at most " + std::to_string(kMaxLineLength) + " characters");
      text += static_cast<char>(c);
    }
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const auto hash = text.find_first_not_of(" \t");
    if (hash == std::string::npos || text[hash] == '#') continue;
    try {
      lines_.push_back({number, Words(text)});
    } catch (const ScriptError& e) {
      err_ << name_ << ":" << number << ": " << e.what() << '\n';
      return 1;
    }
  }
  try {
    while (Step()) {
    }
  } catch (const ScriptError& e) {
    const int at = next_ > 0 ? lines_[next_ - 1].number : 0;
    err_ << name_ << ":" << at << ": " << e.what() << '\n';
    failed_ = true;
  } catch (const std::exception& e) {
    const int at = next_ > 0 ? lines_[next_ - 1].number : 0;
    err_ << name_ << ":" << at << ": " << e.what() << '\n';
    failed_ = true;
  }
  return failed_ ? 1 : 0;
}

bool Script::Step() {
  if (next_ >= lines_.size() || failed_) return false;
  const Line& line = lines_[next_++];
  Execute(line);
  ReportMessages();
  return true;
}

void Script::ReportMessages() {
  const auto& log = desktop_.MessageBoxLog();
  for (; messagesSeen_ < log.size(); ++messagesSeen_) {
    std::string text = log[messagesSeen_].text;
    for (std::size_t p; (p = text.find("\r\n")) != std::string::npos;) text.replace(p, 2, "\\n");
    out_ << "message [" << log[messagesSeen_].caption << "]: " << text << '\n';
  }
}

void Script::StartGlobe(const std::vector<std::string>& w) {
  if (globe_ && globe_->running()) throw ScriptError("the globe is already running");
  const auto a =
      Arguments(w, 1, {"dem", "kml", "lat", "lon", "range", "tilt", "azimuth", "size", "title", "terrain"});
  std::shared_ptr<const earth::TerrainSource> terrain;
  if (a.count("dem")) {
    // A file, as the command line takes: not a folder, device or pipe the
    // reader would wait on, nor a name the reader would take for a source
    // of its own rather than a file.
    if (std::string why = CheckRegularFile(a.at("dem")); !why.empty()) throw ScriptError(a.at("dem") + " " + why);
    try {
      terrain = earth::DemTerrain::Open(a.at("dem"));
    } catch (const earth::DemError& e) {
      throw ScriptError(e.what());
    }
  } else {
    terrain = std::make_shared<earth::ProceduralTerrain>();
  }
  earth::GlobeOptions o;
  auto in = [&](const char* key, double lo, double hi, double& out) {
    if (!a.count(key)) return;
    const double v = Number(a.at(key), key);
    if (!(v >= lo && v <= hi)) throw ScriptError(std::string(key) + " is " + Num(lo) + " to " + Num(hi));
    out = v;
  };
  in("lat", -90, 90, o.camera.focusLatitude);
  in("lon", -180, 180, o.camera.focusLongitude);
  in("range", 1, 1e8, o.camera.range);
  in("tilt", 0, 90, o.camera.tilt);
  in("azimuth", -360, 360, o.camera.azimuth);
  if (a.count("title")) o.title = a.at("title");
  if (a.count("size")) {
    const std::string& s = a.at("size");
    const auto x = s.find('x');
    if (x == std::string::npos) throw ScriptError("size is WIDTHxHEIGHT");
    const double w = Number(s.substr(0, x), "width"), h = Number(s.substr(x + 1), "height");
    if (!(w >= 200 && w <= desktop_.width() && h >= 150 && h <= desktop_.height()))
      throw ScriptError("the globe's window is 200 x 150 to " + std::to_string(desktop_.width()) + " x " +
                        std::to_string(desktop_.height()) + " pixels");
    o.placement = {0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
  }
  globe_ = earth::Globe::Start(desktop_, std::move(terrain), o);
  if (a.count("terrain")) globe_->SetTerrainLayer(a.at("terrain") != "off");
  for (int k = 0; k < 10000 && globe_->IsInitialized() == 0; ++k) desktop_.Sleep(1);
  if (a.count("kml"))
    if (std::string why = OpenUserKml(*globe_, a.at("kml")); !why.empty()) throw ScriptError(why);
}

void Script::StartProgram(const std::vector<std::string>& w) {
  const auto a = Arguments(w, 1, {"dir", "seed"});
  const std::string dir = a.count("dir") ? a.at("dir") : settings_.dir;
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) throw ScriptError("the folder '" + dir + "' does not exist");
  std::uint64_t seed = 1;
  if (a.count("seed")) {
    const std::string& t = a.at("seed");
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), seed);
    if (ec != std::errc() || end != t.data() + t.size())
      throw ScriptError("seed is a whole number from 0 to 18446744073709551615, not '" + t + "'");
  }
  program_ = std::make_unique<Program>(desktop_, dir, seed);
  program_->Start();
}

void Script::Execute(const Line& line) {
  const auto& w = line.words;
  const std::string& cmd = w[0];
  auto need = [&](std::size_t n, const char* usage) {
    if (w.size() < n + 1) throw ScriptError(std::string("usage: ") + usage);
  };
  if (cmd == "globe") {
    StartGlobe(w);
  } else if (cmd == "start") {
    StartProgram(w);
  } else if (cmd == "click" || cmd == "down" || cmd == "up" || cmd == "move") {
    need(1, "click|down|up|move TARGET [left|right]");
    const POINT p = PointOf(w[1]);
    desktop_.InjectMouseMove(p.x, p.y);
    if (cmd == "click") {
      desktop_.InjectMouseButton(Button(w, 2), true);
      desktop_.InjectMouseButton(Button(w, 2), false);
    } else if (cmd != "move") {
      desktop_.InjectMouseButton(Button(w, 2), cmd == "down");
    }
    desktop_.DoEvents();
  } else if (cmd == "wheel") {
    need(1, "wheel DELTA [TARGET]");
    if (w.size() > 2) {
      const POINT p = PointOf(w[2]);
      desktop_.InjectMouseMove(p.x, p.y);
    }
    desktop_.InjectMouseWheel(static_cast<int>(Integer(w[1], "the delta", -32768, 32767)));
    desktop_.DoEvents();
  } else if (cmd == "key") {
    need(1, "key KEY[+KEY...]");
    Key(w[1]);
    desktop_.DoEvents();
  } else if (cmd == "type") {
    need(1, "type TEXT");
    Type(w[1]);
    desktop_.DoEvents();
  } else if (cmd == "foreground") {
    need(1, "foreground globe|FORM");
    if (w[1] == "globe") {
      if (!globe_) throw ScriptError("no globe is running");
      desktop_.SetForegroundWindow(globe_->GetMainHwnd());
    } else {
      forms::Form* f = program_ ? FindForm(*program_, w[1]) : nullptr;
      if (!f) throw ScriptError("no form '" + w[1] + "'");
      desktop_.SetForegroundWindow(f->hwnd());
    }
  } else if (cmd == "answer") {
    need(1, "answer file PATH | answer color #RRGGBB | answer cancel | answer box ok|cancel|yes|no");
    if (w[1] == "cancel") {
      desktop_.QueueDialogAnswer("cancel");
      return;
    }
    need(2, "answer file PATH | answer color #RRGGBB | answer cancel | answer box ok|cancel|yes|no");
    if (w[1] == "file") {
      desktop_.QueueDialogAnswer(w[2]);
    } else if (w[1] == "color") {
      std::int32_t c = 0;
      if (auto e = ParseColor(w[2], c); !e.empty()) throw ScriptError(e);
      desktop_.QueueDialogAnswer(w[2][0] == '#' ? w[2] : "#" + w[2]);
    } else if (w[1] == "box") {
      static const std::map<std::string, int> kAnswers = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
      const auto it = kAnswers.find(w[2]);
      if (it == kAnswers.end()) throw ScriptError("a message box answer is ok, cancel, yes or no");
      desktop_.QueueMessageBoxAnswer(it->second);
    } else {
      throw ScriptError("answer file, color or box");
    }
  } else if (cmd == "wait") {
    need(1, "wait MS");
    const double ms = Number(w[1], "the wait");
    if (!(ms >= 0 && ms <= 3600000)) throw ScriptError("a wait is 0 to 3600000 ms");
    for (double done = 0; done < ms; done += 10) {
      desktop_.Sleep(static_cast<std::uint32_t>(std::min(10.0, ms - done)));
      desktop_.DoEvents();
    }
  } else if (cmd == "set") {
    need(2, "set FORM.CONTROL.PROPERTY VALUE");
    SetProperty(w[1], w[2]);
  } else if (cmd == "place") {
    need(3, "place FORM LEFT TOP (pixels)");
    forms::Form* f = program_ ? FindForm(*program_, w[1]) : nullptr;
    if (!f) throw ScriptError("no form '" + w[1] + "'");
    const auto left = Integer(w[2], "left", kMinCoordinate, kMaxCoordinate);
    const auto top = Integer(w[3], "top", kMinCoordinate, kMaxCoordinate);
    f->Move(forms::ToTwips(static_cast<int>(left)), forms::ToTwips(static_cast<int>(top)));
    f->Show();
  } else if (cmd == "screenshot") {
    need(1, "screenshot FILE.png [FORM]");
    if (w.size() > 2) {
      forms::Form* f = program_ ? FindForm(*program_, w[2]) : nullptr;
      if (!f) throw ScriptError("no form '" + w[2] + "'");
      if (auto e = desktop_.SaveWindowPng(f->hwnd(), w[1]); !e.empty()) throw ScriptError(e);
    } else if (auto e = desktop_.SaveScreenPng(w[1]); !e.empty()) {
      throw ScriptError(e);
    }
    out_ << "screenshot " << w[1] << '\n';
  } else if (cmd == "print") {
    need(1, "print TARGET[.PROPERTY]");
    const auto dot = w[1].rfind('.');
    std::vector<std::pair<std::string, std::string>> props;
    std::string target = w[1], only;
    try {
      props = Properties(target);
    } catch (const ScriptError&) {
      if (dot == std::string::npos) throw;
      target = w[1].substr(0, dot);
      only = w[1].substr(dot + 1);
      props = Properties(target);
    }
    bool any = false;
    for (const auto& [k, v] : props)
      if (only.empty() || k == only) {
        out_ << target << "." << k << " = " << v << '\n';
        any = true;
      }
    if (!any) throw ScriptError(target + " has no property '" + only + "'");
  } else if (cmd == "expect") {
    need(2, "expect TARGET.PROPERTY VALUE | expect file PATH | expect nofile PATH | expect text FILE TEXT | expect message TEXT");
    if (w[1] == "file" || w[1] == "nofile") {
      const bool there = std::filesystem::exists(w[2]);
      if (there != (w[1] == "file"))
        throw ScriptError("expected " + w[2] + (there ? " not to exist" : " to exist"));
    } else if (w[1] == "text") {
      need(3, "expect text FILE TEXT");
      std::string content;
      if (std::string why = ReadRegularFile(w[2], kMaxTextFileBytes, content); !why.empty())
        throw ScriptError(w[2] + " " + why);
      if (content.find(w[3]) == std::string::npos)
        throw ScriptError("expected " + w[2] + " to contain '" + w[3] + "'");
      out_ << "ok " << w[2] << " contains " << w[3] << '\n';
      return;
    } else if (w[1] == "message") {
      const auto& log = desktop_.MessageBoxLog();
      if (log.empty() || log.back().text.find(w[2]) == std::string::npos)
        throw ScriptError("expected a message with '" + w[2] + "'" +
                          (log.empty() ? std::string(", none was shown") : ", the last was '" + log.back().text + "'"));
    } else {
      const auto dot = w[1].rfind('.');
      if (dot == std::string::npos) throw ScriptError("expect TARGET.PROPERTY VALUE");
      const std::string target = w[1].substr(0, dot), property = w[1].substr(dot + 1);
      for (const auto& [k, v] : Properties(target))
        if (k == property) {
          if (v != w[2]) throw ScriptError("expected " + w[1] + " = " + w[2] + ", it is " + v);
          out_ << "ok " << w[1] << " = " << v << '\n';
          return;
        }
      throw ScriptError(target + " has no property '" + property + "'");
    }
    out_ << "ok " << w[1] << " " << w[2] << '\n';
  } else {
    throw ScriptError("unknown command '" + cmd + "'");
  }
}

}  // namespace altimar::app
