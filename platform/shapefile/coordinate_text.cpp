#include "platform/shapefile/coordinate_text.h"

#include <charconv>
#include <cmath>

#include "platform/runtime/number_text.h"

namespace altimar::shapefile {
namespace {

void AppendNumber(std::string& out, double v) {
  char buf[runtime::kMaxNumberText];
  out.append(buf, runtime::FormatGeneral15(v, buf));
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

void AppendTuple(std::string& out, const Vertex& v) {
  AppendNumber(out, v.x);
  out += ',';
  AppendNumber(out, v.y);
  out += ',';
  AppendNumber(out, v.z);
}

void AppendTuples(std::string& out, const ShapeSet& set, std::uint32_t begin, std::uint32_t end) {
  for (std::uint32_t i = begin; i < end; ++i) {
    if (i != begin) out += ' ';
    AppendTuple(out, set.vertex(i));
  }
}

std::string CoordinateText(const ShapeSet& set, int fid) {
  std::string out;
  const ShapeRecord& r = set.record(fid);
  if (r.partCount == 0) return out;
  const bool points = FamilyOf(r.type) == ShapeFamily::kPoint;
  for (std::uint32_t k = 0; k < r.partCount; ++k) {
    const PartRange& p = set.part(r.firstPart + k);
    if (k > 0) out += points ? ' ' : '\n';
    AppendTuples(out, set, p.begin, p.end);
  }
  return out;
}

std::string ExtentText(const Extent& e) {
  std::string out;
  AppendTuple(out, Vertex{e.xmin, e.ymin, 0});
  out += ' ';
  AppendTuple(out, Vertex{e.xmax, e.ymax, 0});
  return out;
}

std::vector<std::string_view> SplitCoordinateParts(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view part = text.substr(start, end - start);
    while (!part.empty() && IsBlank(part.front())) part.remove_prefix(1);
    while (!part.empty() && IsBlank(part.back())) part.remove_suffix(1);
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  return parts;
}

bool ParseCoordinateTuples(std::string_view text, std::vector<Vertex>& out, std::string& error) {
  out.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && !IsBlank(text[end])) ++end;
    const std::string_view tuple = text.substr(i, end - i);
    double n[3] = {0, 0, 0};
    int count = 0;
    const char* p = tuple.data();
    const char* last = tuple.data() + tuple.size();
    bool ok = true;
    while (ok) {
      if (count == 3) {
        ok = false;
        break;
      }
      const auto r = std::from_chars(p, last, n[count]);
      ok = r.ec == std::errc() && std::isfinite(n[count]);
      ++count;
      p = r.ptr;
      if (!ok || p == last) break;
      if (*p != ',') ok = false;
      ++p;
      if (p == last) ok = false;  // a trailing comma
    }
    if (!ok || count < 2) {
      error = "bad coordinate tuple '" + std::string(tuple.substr(0, 40)) + "' at character " +
              std::to_string(i + 1);
      return false;
    }
    out.push_back(Vertex{n[0], n[1], n[2]});
    i = end;
  }
  return true;
}

}  // namespace altimar::shapefile
