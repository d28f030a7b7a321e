#include "app/contour_options.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "contour/level_list.h"

namespace altimar::app {
namespace {

bool ParseInt(std::string_view s, int& out) {
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

bool ParseDouble(std::string_view s, double& out) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.size() > 1 && s.front() == '+' && s[1] != '-') s.remove_prefix(1);
  auto r = std::from_chars(s.data(), s.data() + s.size(), out);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty() && std::isfinite(out);
}

// The command line takes only complete numbers as list pieces, where the
// contour dialog reads the number each piece starts with: a mistyped level
// on the command line is refused rather than read as 0.
std::string CheckLevelList(const std::string& list) {
  const auto pieces = contour::SplitLevelList(list);
  if (pieces.empty()) return "--levels list:a,b,c needs at least one level";
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    double d = 0;
    if (!ParseDouble(pieces[k], d))
      return "--levels list: piece " + std::to_string(k + 1) + " '" + std::string(pieces[k]) +
             "' is not a finite number (levels are separated by commas, '.' is the decimal point)";
  }
  return {};
}

}  // namespace

std::string ParseLevels(const std::string& text, LevelSetting& out) {
  const auto colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  const std::string value = colon == std::string::npos ? "" : text.substr(colon + 1);
  if (kind == "count") {
    int n = 0;
    if (!ParseInt(value, n) || n < 0 || n > 1001)
      return "--levels count:N takes a whole number N from 0 to 1001";
    out.mode = 0;
    out.count = n;
    return {};
  }
  if (kind == "interval") {
    int d = 0;
    if (!ParseInt(value, d) || d < 1 || d > 32767)
      return "--levels interval:M takes a whole number of metres M from 1 to 32767";
    out.mode = 1;
    out.interval = d;
    return {};
  }
  if (kind == "list" && colon != std::string::npos) {
    if (auto err = CheckLevelList(value); !err.empty()) return err;
    out.mode = 2;
    out.list = value;  // read exactly as the level list is read
    return {};
  }
  return "--levels takes count:N, interval:M or list:a,b,c";
}

std::string ParseWindow(const std::string& text, contour::GridWindow& out) {
  std::vector<double> v;
  std::size_t from = 0;
  for (;;) {
    const auto comma = text.find(',', from);
    double d = 0;
    if (!ParseDouble(std::string_view(text).substr(from, comma - from), d)) break;
    v.push_back(d);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  if (v.size() != 4) return "--window takes four numbers W,S,E,N in degrees";
  contour::GridWindow w{v[0], v[1], v[2], v[3]};
  if (!(w.west < w.east && w.south < w.north && w.west >= -360 && w.east <= 360 &&
        w.south >= -90 && w.north <= 90))
    return "--window needs west < east and south < north, latitudes within -90..90";
  out = w;
  return {};
}

std::string ParseColor(const std::string& text, std::int32_t& out) {
  std::string_view s(text);
  if (!s.empty() && s.front() == '#') s.remove_prefix(1);
  unsigned rgb = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), rgb, 16);
  if (s.size() != 6 || r.ec != std::errc() || r.ptr != s.data() + s.size())
    return "a colour is written #RRGGBB, for example #FF0000 for red";
  const unsigned red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  out = static_cast<std::int32_t>(red + 256 * green + 65536 * blue);
  return {};
}

}  // namespace altimar::app
