// The script driver's keys: key names, key combinations and typed text.
#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "app/script.h"
#include "app/script_support.h"

namespace altimar::app {

using namespace altimar::win;
using namespace altimar::app::scripting;

namespace {

// A key by its name, any case: a letter or digit, F1 to F24, or a named key.
int VirtualKey(const std::string& given) {
  static const std::map<std::string, int> kNames = {
      {"ctrl", VK_CONTROL}, {"control", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},
      {"enter", VK_RETURN}, {"return", VK_RETURN},   {"esc", VK_ESCAPE},  {"escape", VK_ESCAPE},
      {"space", VK_SPACE},  {"tab", VK_TAB},         {"backspace", VK_BACK}, {"left", VK_LEFT},
      {"right", VK_RIGHT},  {"up", VK_UP},           {"down", VK_DOWN}};
  std::string name = given;
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (auto it = kNames.find(name); it != kNames.end()) return it->second;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  // F and one or two digits, no leading zero: F1 to F24.
  if ((name.size() == 2 || name.size() == 3) && name[0] == 'f' && name[1] != '0' &&
      std::all_of(name.begin() + 1, name.end(), digit)) {
    const int n = std::stoi(name.substr(1));
    if (n <= 24) return VK_F1 + n - 1;
  }
  if (name.size() == 1 && (digit(name[0]) || (name[0] >= 'a' && name[0] <= 'z')))
    return std::toupper(static_cast<unsigned char>(name[0]));
  throw ScriptError("unknown key '" + given +
                    "': a key is a letter, a digit, F1 to F24, Ctrl, Shift, Alt, Enter, Esc, Space, Tab, "
                    "Backspace, Left, Right, Up or Down");
}

}  // namespace

void Script::Key(const std::string& combo) {
  // Every name is checked before any key goes down.
  std::vector<int> keys;
  std::size_t start = 0;
  while (true) {
    const auto plus = combo.find('+', start);
    keys.push_back(VirtualKey(combo.substr(start, plus == std::string::npos ? std::string::npos : plus - start)));
    if (plus == std::string::npos) break;
    start = plus + 1;
  }
  for (int k : keys) desktop_.InjectKey(k, true);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) desktop_.InjectKey(*it, false);
}

void Script::Type(const std::string& text) {
  // The key of each character, all checked before any is typed.
  struct Stroke {
    int vk;
    bool shift;
  };
  std::vector<Stroke> strokes;
  for (char c : text) {
    if ((c >= '0' && c <= '9') || c == ' ') strokes.push_back({c, false});
    else if (c >= 'a' && c <= 'z') strokes.push_back({c - 'a' + 'A', false});
    else if (c >= 'A' && c <= 'Z') strokes.push_back({c, true});
    else if (c == '.') strokes.push_back({0xBE, false});
    else if (c == ',') strokes.push_back({0xBC, false});
    else if (c == '-') strokes.push_back({0xBD, false});
    else throw ScriptError(std::string("cannot type '") + c + "'");
  }
  for (const Stroke& s : strokes) {
    if (s.shift) desktop_.InjectKey(VK_SHIFT, true);
    desktop_.InjectKey(s.vk, true);
    desktop_.InjectKey(s.vk, false);
    if (s.shift) desktop_.InjectKey(VK_SHIFT, false);
  }
}

}  // namespace altimar::app
