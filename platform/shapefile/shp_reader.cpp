#include "platform/shapefile/shp_reader.h"

#include <sys/stat.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>
#include <algorithm>
#include <cctype>

namespace altimar::shapefile {
namespace {

constexpr std::size_t kHeaderSize = 100;
constexpr std::int32_t kFileCode = 9994;

std::uint32_t Le32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint32_t Be32(const unsigned char* p) {
  return std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 |
         std::uint32_t{p[0]} << 24;
}
std::int32_t LeInt(const unsigned char* p) { return static_cast<std::int32_t>(Le32(p)); }
std::int32_t BeInt(const unsigned char* p) { return static_cast<std::int32_t>(Be32(p)); }
double LeDouble(const unsigned char* p) {
  const std::uint64_t bits = std::uint64_t{Le32(p)} | std::uint64_t{Le32(p + 4)} << 32;
  return std::bit_cast<double>(bits);
}

bool HasZ(int type) {
  return type == kPointZ || type == kPolyLineZ || type == kPolygonZ || type == kMultiPointZ ||
         type == kMultiPatch;
}

// Reads one record's content (from its shape type on) into `out`. Returns
// false when the content is malformed; the caller then keeps a null record.
bool ParseRecord(const unsigned char* p, std::uint64_t len, int fileType, ShapeSet& out) {
  if (len < 4) return false;
  const int type = LeInt(p);
  if (type == kNullShape) {
    out.AppendNull();
    return true;
  }
  if (type != fileType) return false;
  const bool z = HasZ(type);
  const ShapeFamily family = FamilyOf(type);

  if (type == kPoint || type == kPointZ || type == kPointM) {
    if (len < 20 + (z ? 8u : 0u)) return false;
    const Vertex v{LeDouble(p + 4), LeDouble(p + 12), z ? LeDouble(p + 20) : 0.0};
    if (!std::isfinite(v.x) || !std::isfinite(v.y)) return false;
    out.BeginRecord(type);
    out.AddVertex(Vertex{v.x, v.y, std::isfinite(v.z) ? v.z : 0.0});
    out.EndPart();
    out.EndRecord();
    return true;
  }

  std::int64_t nParts = 1, nPoints = 0;
  std::uint64_t partsAt = 0, pointsAt = 0;
  if (family == ShapeFamily::kPoint) {  // multipoint: box, count, points
    if (len < 40) return false;
    nPoints = LeInt(p + 36);
    pointsAt = 40;
  } else {  // box, part count, point count, part starts [, part types], points
    if (len < 44) return false;
    nParts = LeInt(p + 36);
    nPoints = LeInt(p + 40);
    partsAt = 44;
    pointsAt = 44 + 4 * static_cast<std::uint64_t>(std::max<std::int64_t>(nParts, 0)) *
                        (type == kMultiPatch ? 2 : 1);
  }
  if (nParts < 0 || nPoints < 0) return false;
  const auto np = static_cast<std::uint64_t>(nPoints);
  std::uint64_t need = pointsAt + 16 * np;
  const std::uint64_t zAt = need + 16;  // after the z range
  if (z) need = zAt + 8 * np;
  if (need > len) return false;
  if (nPoints == 0) {
    out.AppendNull();
    return true;
  }
  if (family != ShapeFamily::kPoint && nParts == 0) return false;

  // Part starts: the first is 0, the others in order and within the points.
  std::vector<std::int64_t> starts;
  if (family == ShapeFamily::kPoint) {
    starts.resize(static_cast<std::size_t>(nPoints));
    for (std::int64_t i = 0; i < nPoints; ++i) starts[static_cast<std::size_t>(i)] = i;
  } else {
    starts.resize(static_cast<std::size_t>(nParts));
    for (std::int64_t k = 0; k < nParts; ++k) {
      const std::int64_t at = LeInt(p + partsAt + 4 * static_cast<std::uint64_t>(k));
      const std::int64_t previous = k == 0 ? 0 : starts[static_cast<std::size_t>(k - 1)];
      if ((k == 0 && at != 0) || at < previous || at > nPoints) return false;
      starts[static_cast<std::size_t>(k)] = at;
    }
  }
  out.BeginRecord(type);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const std::int64_t end = k + 1 < starts.size() ? starts[k + 1] : nPoints;
    for (std::int64_t i = starts[k]; i < end; ++i) {
      const auto u = static_cast<std::uint64_t>(i);
      const unsigned char* q = p + pointsAt + 16 * u;
      Vertex v{LeDouble(q), LeDouble(q + 8), z ? LeDouble(p + zAt + 8 * u) : 0.0};
      if (!std::isfinite(v.x) || !std::isfinite(v.y)) {
        out.AbandonRecord();
        return true;
      }
      if (!std::isfinite(v.z)) v.z = 0;
      out.AddVertex(v);
    }
    out.EndPart();
  }
  out.EndRecord();
  return true;
}

}  // namespace

std::string ShapefileBase(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ext = path.substr(dot + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "shp" || ext == "shx" || ext == "dbf") return path.substr(0, dot);
  }
  return path;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string SiblingFile(const std::string& base, const char* lowerExt) {
  std::string lower = base + "." + lowerExt;
  if (FileExists(lower)) return lower;
  std::string upper = base + ".";
  for (const char* c = lowerExt; *c; ++c) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  return FileExists(upper) ? upper : lower;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  bytes.clear();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "cannot open '" + path + "': " + (errno ? std::strerror(errno) : "not a regular file");
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = "cannot open '" + path + "': " + std::strerror(errno);
    return false;
  }
  bytes.resize(static_cast<std::size_t>(st.st_size));
  const std::size_t got = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f);
  const bool bad = std::ferror(f) != 0;
  std::fclose(f);
  bytes.resize(got);
  if (bad) {
    error = "cannot read '" + path + "'";
    return false;
  }
  return true;
}

bool ParseShapefile(std::string_view shp, std::string_view shx, ShapeSet& out, std::string& error,
                    std::string& note) {
  out.Clear();
  note.clear();
  const auto* s = reinterpret_cast<const unsigned char*>(shp.data());
  if (shp.size() < kHeaderSize) {
    error = "the .shp is shorter than its 100-byte header";
    return false;
  }
  if (BeInt(s) != kFileCode) {
    error = "the .shp does not start with the shapefile code 9994";
    return false;
  }
  const int fileType = LeInt(s + 32);
  if (!IsKnownShapeType(fileType)) {
    error = "the .shp has the unknown shape type " + std::to_string(fileType);
    return false;
  }
  out.setFileType(fileType);

  const auto* x = reinterpret_cast<const unsigned char*>(shx.data());
  const bool useIndex = shx.size() >= kHeaderSize && BeInt(x) == kFileCode;
  // The headers give the files' lengths in 16-bit words: shorter files were cut.
  bool cut = 2 * std::uint64_t{Be32(s + 24)} > shp.size() ||
             (useIndex && 2 * std::uint64_t{Be32(x + 24)} > shx.size());
  if (useIndex) {
    const std::size_t entries = (shx.size() - kHeaderSize) / 8;
    out.Reserve(entries, 0);
    for (std::size_t i = 0; i < entries; ++i) {
      const std::uint64_t offset = 2 * std::uint64_t{Be32(x + kHeaderSize + 8 * i)};
      const std::uint64_t length = 2 * std::uint64_t{Be32(x + kHeaderSize + 8 * i + 4)};
      if (offset < kHeaderSize || offset + 8 + length > shp.size()) {
        cut = true;
        break;
      }
      if (!ParseRecord(s + offset + 8, length, fileType, out)) out.AppendNull(true);
    }
  } else {
    std::uint64_t offset = kHeaderSize;
    while (offset + 8 <= shp.size()) {
      const std::uint64_t length = 2 * std::uint64_t{Be32(s + offset + 4)};
      if (offset + 8 + length > shp.size()) {
        cut = true;
        break;
      }
      if (!ParseRecord(s + offset + 8, length, fileType, out)) out.AppendNull(true);
      offset += 8 + length;
    }
    if (offset != shp.size()) cut = true;
  }
  if (cut) note = "the file is cut short: only its first " + std::to_string(out.size()) + " records are read";
  if (out.damagedCount() > 0) {
    if (!note.empty()) note += "; ";
    note += std::to_string(out.damagedCount()) + " damaged records are read as null shapes";
  }
  return true;
}

bool LoadShapefile(const std::string& base, ShapeSet& out, std::string& error, std::string& note) {
  std::string shp, shx, ignored;
  const std::string shpPath = SiblingFile(base, "shp");
  if (!ReadWholeFile(shpPath, shp, error)) return false;
  const std::string shxPath = SiblingFile(base, "shx");
  if (FileExists(shxPath)) ReadWholeFile(shxPath, shx, ignored);  // unreadable: walk the .shp
  if (!ParseShapefile(shp, shx, out, error, note)) {
    error = "'" + shpPath + "': " + error;
    return false;
  }
  return true;
}

}  // namespace altimar::shapefile
