#include "platform/shapefile/shape_writer.h"

#include <shapefil.h>

#include <cctype>

#include "platform/shapefile/shapelib_errors.h"

namespace altimar::shapefile {
namespace {

SHPHandle S(void* h) { return static_cast<SHPHandle>(h); }
DBFHandle D(void* h) { return static_cast<DBFHandle>(h); }

bool Same(const Vertex& a, const Vertex& b) { return a.x == b.x && a.y == b.y; }

// Why the vertices do not make a shape of `type`, or empty when they do.
std::string Misfit(int type, const std::vector<Vertex>& v) {
  if (v.empty()) return "no coordinates";
  if (type == kPoint && v.size() != 1) return "a point takes one coordinate tuple";
  if (type == kPolyLine && v.size() < 2) return "a polyline takes two or more coordinate tuples";
  if (type == kPolygon) {
    std::size_t corners = v.size();
    if (corners > 1 && Same(v.front(), v.back())) --corners;
    if (corners < 3) return "a polygon takes three or more corners";
  }
  return {};
}

}  // namespace

int ShapeTypeFromWord(const std::string& word) {
  std::string w;
  for (char c : word) w += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (w == "point") return kPoint;
  if (w == "polyline") return kPolyLine;
  if (w == "polygon") return kPolygon;
  return kNullShape;
}

ShapeWriter::~ShapeWriter() { Close(); }

bool ShapeWriter::Create(const std::string& base, int type, std::string& error) {
  Close();
  if (type != kPoint && type != kPolyLine && type != kPolygon) {
    error = "a new shapefile is of type point, polyline or polygon";
    return false;
  }
  ShapelibErrors errors;
  SHPHandle shp = SHPCreateLL(base.c_str(), type, errors.hooks());
  if (!shp) {
    error = "cannot create '" + base + ".shp'" + errors.Describe();
    return false;
  }
  DBFHandle dbf = DBFCreateLL((base + ".dbf").c_str(), "UTF-8", errors.hooks());
  if (!dbf || DBFAddField(dbf, "FID", FTInteger, 10, 0) < 0) {
    error = "cannot create '" + base + ".dbf'" + errors.Describe();
    if (dbf) DBFClose(dbf);
    SHPClose(shp);
    return false;
  }
  shp_ = shp;
  dbf_ = dbf;
  base_ = base;
  type_ = type;
  count_ = 0;
  return true;
}

ShapeWriter::Written ShapeWriter::Append(const std::vector<Vertex>& vertices, std::string& error) {
  Written w;
  if (!shp_) {
    error = "no shapefile is being written";
    return w;
  }
  w.why = Misfit(type_, vertices);
  w.isNull = !w.why.empty();
  w.vertices = vertices;
  if (type_ == kPolygon && !w.isNull && !Same(w.vertices.front(), w.vertices.back()))
    w.vertices.push_back(w.vertices.front());
  if (w.isNull) w.vertices.clear();

  std::vector<double> x, y;
  for (const auto& v : w.vertices) {
    x.push_back(v.x);
    y.push_back(v.y);
  }
  ShapelibErrors errors;
  SHPObject* o = w.isNull ? SHPCreateSimpleObject(SHPT_NULL, 0, nullptr, nullptr, nullptr)
                          : SHPCreateSimpleObject(type_, static_cast<int>(x.size()), x.data(), y.data(), nullptr);
  if (!o) {
    error = "cannot make a shape" + errors.Describe();
    return w;
  }
  if (type_ == kPolygon && !w.isNull) {
    SHPRewindObject(S(shp_), o);  // the outer ring runs clockwise in a shapefile
    for (int i = 0; i < o->nVertices; ++i) w.vertices[static_cast<std::size_t>(i)] = Vertex{o->padfX[i], o->padfY[i], 0};
  } else {
    for (auto& v : w.vertices) v.z = 0;
  }
  const int fid = SHPWriteObject(S(shp_), -1, o);
  SHPDestroyObject(o);
  if (fid < 0 || !DBFWriteIntegerAttribute(D(dbf_), fid, 0, fid)) {
    error = "cannot write to '" + base_ + "'" + errors.Describe();
    return w;
  }
  w.fid = fid;
  ++count_;
  return w;
}

void ShapeWriter::Flush() {
  if (!shp_) return;
  SHPWriteHeader(S(shp_));
  DBFUpdateHeader(D(dbf_));
}

void ShapeWriter::Close() {
  if (shp_) SHPClose(S(shp_));
  if (dbf_) DBFClose(D(dbf_));
  shp_ = dbf_ = nullptr;
  base_.clear();
  type_ = kNullShape;
  count_ = 0;
}

}  // namespace altimar::shapefile
