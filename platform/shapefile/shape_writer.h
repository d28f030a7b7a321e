// Writes a new point, polyline or polygon shapefile through shapelib: the
// .shp/.shx pair and a .dbf with one field "FID" (N 10) holding each
// record's number, so that the table is valid and row n belongs to shape n.
#pragma once

#include <string>
#include <vector>

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

class ShapeWriter {
 public:
  ShapeWriter() = default;
  ~ShapeWriter();
  ShapeWriter(const ShapeWriter&) = delete;
  ShapeWriter& operator=(const ShapeWriter&) = delete;

  // Creates (or replaces) base.shp/.shx/.dbf for kPoint, kPolyLine or
  // kPolygon.
  bool Create(const std::string& base, int type, std::string& error);
  bool isOpen() const { return shp_ != nullptr; }
  const std::string& base() const { return base_; }
  int type() const { return type_; }

  struct Written {
    int fid = -1;
    bool isNull = false;
    std::string why;               // for a null shape: the vertices did not fit
    std::vector<Vertex> vertices;  // as written (rings closed, turned clockwise)
  };
  // Appends one record: the vertices as one shape when they fit the type
  // (one point; two or more for a polyline; three or more distinct corners for
  // a polygon), else a null shape. fid -1 when the write failed.
  Written Append(const std::vector<Vertex>& vertices, std::string& error);

  // Writes the headers and the .shx so that the files on disk are complete.
  void Flush();
  void Close();

 private:
  void* shp_ = nullptr;  // SHPHandle
  void* dbf_ = nullptr;  // DBFHandle
  std::string base_;
  int type_ = kNullShape;
  int count_ = 0;
};

// "point", "polyline", "polygon" in any case (so also "Point", "PolyLine",
// "Polygon") to a shape type; kNullShape for any other word.
int ShapeTypeFromWord(const std::string& word);

}  // namespace altimar::shapefile
