// Geometry of a whole shapefile held in memory: every record's vertices in
// one array, its parts as ranges of that array, and its extent. Reading it
// all at open keeps the searches free of file access and lets the reader
// check every length once, so hostile files never reach the searches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace altimar::shapefile {

// Shape type codes as stored in a .shp header and record.
enum ShapeType : int {
  kNullShape = 0,
  kPoint = 1,
  kPolyLine = 3,
  kPolygon = 5,
  kMultiPoint = 8,
  kPointZ = 11,
  kPolyLineZ = 13,
  kPolygonZ = 15,
  kMultiPointZ = 18,
  kPointM = 21,
  kPolyLineM = 23,
  kPolygonM = 25,
  kMultiPointM = 28,
  kMultiPatch = 31,
};

// "Point", "PolyLineZ", "MultiPatch", "Null", ...; empty for a code that is
// not a shape type.
std::string ShapeTypeName(int type);
bool IsKnownShapeType(int type);

// The geometry family of a type: what the searches and KML make of it.
enum class ShapeFamily { kNull, kPoint, kLine, kArea, kPatch };
ShapeFamily FamilyOf(int type);

struct Vertex {
  double x, y, z;
};

struct Extent {
  double xmin, ymin, xmax, ymax;
};

// One record. A null record (type kNullShape) has no parts; so has a record
// the reader found damaged.
struct ShapeRecord {
  int type = kNullShape;
  std::uint32_t firstPart = 0;
  std::uint32_t partCount = 0;
  Extent extent{0, 0, 0, 0};
};

// A part is the half-open vertex range [begin, end).
struct PartRange {
  std::uint32_t begin, end;
};

class ShapeSet {
 public:
  int fileType() const { return fileType_; }
  void setFileType(int type) { fileType_ = type; }
  int size() const { return static_cast<int>(records_.size()); }
  const ShapeRecord& record(int fid) const { return records_[static_cast<std::size_t>(fid)]; }
  const PartRange& part(std::uint32_t i) const { return parts_[i]; }
  const Vertex& vertex(std::uint32_t i) const { return vertices_[i]; }
  const std::vector<Vertex>& vertices() const { return vertices_; }
  bool isNull(int fid) const { return record(fid).partCount == 0; }
  // Damaged records the reader turned into null ones.
  int damagedCount() const { return damaged_; }

  // Appends a record of `type` whose parts are the given vertex lists; empty
  // parts are dropped and a record without vertices becomes a null record.
  // Returns its FID.
  int Append(int type, const std::vector<std::vector<Vertex>>& parts);
  int AppendNull(bool damaged = false);

  // Low-level appending for the reader: start a record, add parts, finish.
  void BeginRecord(int type);
  void AddVertex(const Vertex& v) { vertices_.push_back(v); }
  // Closes the part made of the vertices added since the last one.
  void EndPart();
  void EndRecord();
  // Drops the record begun last, keeping its FID as a damaged null record.
  void AbandonRecord();
  void Reserve(std::size_t records, std::size_t vertices);
  void Clear();

 private:
  int fileType_ = kNullShape;
  int damaged_ = 0;
  std::uint32_t partMark_ = 0;  // first vertex of the part being read
  std::vector<ShapeRecord> records_;
  std::vector<PartRange> parts_;
  std::vector<Vertex> vertices_;
};

}  // namespace altimar::shapefile
