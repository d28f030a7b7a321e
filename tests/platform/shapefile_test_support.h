// Shared by the shapefile library tests: the test data, a scratch folder
// per test, shapelib's own reading as an independent oracle, and an XML
// well-formedness check with expat.
#pragma once

#include <expat.h>
#include <shapefil.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "test_folder.h"

namespace altimar::testing {

namespace fs = std::filesystem;

inline std::string ShpData(const std::string& name) { return std::string(ALTIMAR_TESTDATA) + "/shp/" + name; }

// A fresh folder named after the running test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = FreshTestFolder("altimar_shp");
  }
  ~ScratchFolder() { fs::remove_all(path_); }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A shape as shapelib reads it: parts of (x, y, z) vertices.
struct OracleShape {
  int type = 0;
  std::vector<std::vector<std::array<double, 3>>> parts;
};

inline std::vector<OracleShape> ReadWithShapelib(const std::string& shpPath) {
  std::vector<OracleShape> out;
  SHPHandle h = SHPOpen(shpPath.c_str(), "rb");
  if (!h) return out;
  int n = 0, type = 0;
  SHPGetInfo(h, &n, &type, nullptr, nullptr);
  for (int i = 0; i < n; ++i) {
    SHPObject* o = SHPReadObject(h, i);
    OracleShape s;
    if (o && o->nSHPType != SHPT_NULL && o->nVertices > 0) {
      s.type = o->nSHPType;
      const bool multipoint = o->nParts == 0;
      const int parts = multipoint ? 1 : o->nParts;
      for (int k = 0; k < parts; ++k) {
        const int b = multipoint ? 0 : o->panPartStart[k];
        const int e = multipoint || k + 1 == parts ? o->nVertices : o->panPartStart[k + 1];
        std::vector<std::array<double, 3>> part;
        for (int v = b; v < e; ++v) part.push_back({o->padfX[v], o->padfY[v], o->padfZ ? o->padfZ[v] : 0});
        if (!part.empty()) s.parts.push_back(part);
      }
    }
    if (o) SHPDestroyObject(o);
    out.push_back(s);
  }
  SHPClose(h);
  return out;
}

// The coordinate text the library promises, made with printf.
inline std::string OracleText(const OracleShape& s) {
  std::string out;
  const bool points = s.type == SHPT_MULTIPOINT || s.type == SHPT_MULTIPOINTZ || s.type == SHPT_MULTIPOINTM;
  for (std::size_t k = 0; k < s.parts.size(); ++k) {
    if (k > 0) out += points ? " " : "\n";
    for (std::size_t v = 0; v < s.parts[k].size(); ++v) {
      char buf[100];
      std::snprintf(buf, sizeof buf, "%s%.15g,%.15g,%.15g", v ? " " : "", s.parts[k][v][0], s.parts[k][v][1],
                    s.parts[k][v][2]);
      out += buf;
    }
  }
  return out;
}

// Planar distance in degrees, longitudes scaled by cos(latitude of the
// query): points, segments, 0 inside a polygon (even-odd over all rings).
inline double OracleDistance(const OracleShape& s, double qx, double qy) {
  if (s.parts.empty()) return INFINITY;
  const double k = std::abs(qy) <= 90 ? std::cos(qy * M_PI / 180) : 1.0;
  const bool area = s.type == SHPT_POLYGON || s.type == SHPT_POLYGONZ || s.type == SHPT_POLYGONM;
  const bool points = s.type == SHPT_POINT || s.type == SHPT_MULTIPOINT;
  if (area) {
    bool inside = false;
    for (const auto& p : s.parts)
      for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
        if ((p[i][1] > qy) != (p[j][1] > qy) &&
            qx < (p[j][0] - p[i][0]) * (qy - p[i][1]) / (p[j][1] - p[i][1]) + p[i][0])
          inside = !inside;
    if (inside) return 0;
  }
  double best = INFINITY;
  for (const auto& p : s.parts) {
    for (std::size_t i = 0; i < p.size(); ++i) {
      const double ax = (p[i][0] - qx) * k, ay = p[i][1] - qy;
      best = std::min(best, std::hypot(ax, ay));
      if (points || i + 1 >= p.size()) continue;
      const double bx = (p[i + 1][0] - qx) * k, by = p[i + 1][1] - qy;
      const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
      const double t = len2 > 0 ? std::clamp(-(ax * dx + ay * dy) / len2, 0.0, 1.0) : 0.0;
      best = std::min(best, std::hypot(ax + t * dx, ay + t * dy));
    }
  }
  return best;
}

// Expat's verdict on a document: empty when well-formed, else the message
// and line. Counts the elements called `countName`.
inline std::string XmlProblem(const std::string& text, const char* countName = "", int* count = nullptr,
                              std::string* characterData = nullptr) {
  struct State {
    const char* name;
    int n = 0;
    std::string* data;
  } st{countName, 0, characterData};
  XML_Parser p = XML_ParserCreate(nullptr);
  XML_SetUserData(p, &st);
  XML_SetStartElementHandler(p, [](void* u, const XML_Char* n, const XML_Char**) {
    auto* s = static_cast<State*>(u);
    if (std::string(n) == s->name) ++s->n;
  });
  XML_SetCharacterDataHandler(p, [](void* u, const XML_Char* t, int len) {
    auto* s = static_cast<State*>(u);
    if (s->data) s->data->append(t, static_cast<std::size_t>(len));
  });
  std::string problem;
  if (XML_Parse(p, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK)
    problem = std::string(XML_ErrorString(XML_GetErrorCode(p))) + " at line " +
              std::to_string(XML_GetCurrentLineNumber(p));
  XML_ParserFree(p);
  if (count) *count = st.n;
  return problem;
}

}  // namespace altimar::testing
