// The shapefile library of the add-on: one open shapefile, one open dBASE
// table and one shapefile being written at a time, as the workspace uses
// them. Every function works (returning -1, 0, false or empty text) when
// nothing is open.
//
// Texts the functions give:
//  - coordinates: KML tuples "x,y,z" separated by one blank, numbers as
//    printf("%.15g") with "."; z is the shape's Z or 0. The parts of a
//    multi-part line or area are separated by a line feed (see
//    SplitCoordinateParts); the points of a multipoint make one part.
//  - attributes: "NAME: value" CR LF per field of the open table, the value
//    trimmed and in UTF-8 (dbf_table.h tells how each type reads).
//  - bounding box: "xmin,ymin,0 xmax,ymax,0".
//  - FID lists: each FID in decimal followed by ",", ascending.
//  - field description: "name type size" CR LF per field, type "string",
//    "integer", "float" or "bool".
//  - shape type names: "Point", "PolyLine", "Polygon", "MultiPoint", the same
//    with "Z" or "M", "MultiPatch", "Null".
// Distances are those of shape_distance.h: planar degrees with longitudes
// scaled by cos(latitude of the query), 0 inside an area, and in metres on
// the sphere of SphericalDist for the circle search.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/dbf_table.h"
#include "platform/shapefile/shape_set.h"
#include "platform/shapefile/shape_writer.h"
#include "platform/shapefile/spatial_index.h"

namespace altimar::shapefile {

class ShapeLibrary {
 public:
  ShapeLibrary() = default;
  ShapeLibrary(const ShapeLibrary&) = delete;
  ShapeLibrary& operator=(const ShapeLibrary&) = delete;

  // Opens a shapefile ("a/b.shp" or "a/b"), closing the one open before, and
  // indexes it. The .shx is used when there is one and is not needed: the
  // .shp alone is read by walking its records. A file cut short gives its
  // readable prefix, a damaged record a null shape; LastError() then says
  // so even though the open succeeds. Opening the file SW_CreateShapeFile is
  // writing shows what was written so far and lets writing go on; opening
  // any other file finishes that one.
  bool SW_OpenShpFile(const std::string& shpPath);
  // Closes the open shapefile and finishes the one being written.
  void SW_CloseShpFile();

  // Opens a dBASE table read-only, closing the one open before.
  bool SW_OpenDBFFile(const std::string& dbfPath);
  void SW_CloseDBFFile();

  // The open shapefile's type name and record count, and, when `withDbf` is
  // 1 and a table is open, its field description (else empty). False (with
  // "" and 0) when no shapefile is open.
  bool SW_GetMetaInfoFromShpDBF(std::string& shapeTypeName, int& recordCount, int withDbf,
                                std::string& fieldDescription);

  // The feature `fid`: its coordinate and bounding box texts and the
  // attributes of table row `fid` (empty when no table is open or it has no
  // such row). Callers pass 1 for a picked feature and 0 for one read by
  // number; both get the same texts. Returns fid, or -1 (texts empty) when no
  // shapefile is open or fid is out of range. A null shape returns its fid
  // with empty coordinate and box texts, so that FIDs and rows stay paired.
  int SW_ReadFeature(int fid, int byFid, std::string& coords, std::string& attrs, std::string& bbox);

  // The feature nearest to (lon, lat), its coordinates and attributes; null
  // shapes are skipped, ties go to the lowest FID. -1 when there is none.
  int SW_FindNearest(double lon, double lat, std::string& coords, std::string& attrs);

  // Features whose extent meets the rectangle with corners (x1, y1), (x2, y2)
  // (borders included, corners in any order); null shapes never do. Returns
  // their count and the FID list, or -1 and an empty list when there are none.
  // With a kmlPath the found features are also written there as a KML
  // document (kml_export.h); when that fails the result is -1.
  int SW_MultiSearchShpFile(double x1, double y1, double x2, double y2, std::string& fidList,
                            const std::string& kmlPath);

  // Features at a distance from the centre no greater than the radius
  // SphericalDist(centre, edge), the distance taken as above and converted
  // to metres. Outputs as SW_MultiSearchShpFile; the KML document also draws
  // `outlineText` (KML coordinate tuples) as a LineString, or leaves it out
  // when it does not parse.
  int SW_MultiSearchFeatureByCircle(double clon, double clat, double elon, double elat, std::string& fidList,
                                    const std::string& outlineText, const std::string& kmlPath);

  // The longest head of a FID list of at most maxChars characters that ends
  // after a whole FID and its separator; `listed` (may be null) gets the
  // number of FIDs in it.
  static std::string CutFidList(std::string_view list, std::size_t maxChars, int* listed);

  // Creates (or replaces) shpPath's .shp/.shx/.dbf for "point", "polyline" or
  // "polygon" (any case) and keeps it for SW_AddFeatureInShapeFile. An open
  // shapefile and the one being written are closed first.
  bool SW_CreateShapeFile(const std::string& shpPath, const std::string& typeWord);

  // Appends one record to the shapefile being written, from KML coordinate
  // text (tuples "x,y[,z]" separated by any whitespace; z is dropped). When
  // the text has a bad tuple, or its vertices do not fit the file's type (one
  // point; two or more for a polyline; three or more corners for a polygon,
  // whose ring is closed and turned clockwise), a null shape is appended so
  // that shapes and table rows stay paired, and the result is false with the
  // reason in LastError(). False without appending when no file is being
  // written or the write fails.
  bool SW_AddFeatureInShapeFile(const std::string& coordText);

  // Writes the shapefile at shpPathWithoutExtension (independently of the
  // open one) to kmlPath as described in kml_export.h. Returns the records
  // written or -1.
  int SW_ExportShp2Kml(const std::string& shpPathWithoutExtension, const std::string& kmlPath,
                       const std::function<void(int done, int total)>& progress = {});

  std::string LastError() const { return lastError_; }

  // The open shapefile's geometry (empty when none is open), for callers
  // that draw it.
  const ShapeSet& shapes() const { return shapes_; }

 private:
  bool Fail(std::string message);
  const SpatialIndex& Index();
  int FinishSearch(const std::vector<int>& fids, std::string& fidList, const std::string& kmlPath,
                   const std::vector<Vertex>& outline);

  bool shpOpen_ = false;
  std::string shpKey_;  // canonical base of the open shapefile
  ShapeSet shapes_;
  SpatialIndex index_;
  bool indexStale_ = false;
  DbfTable table_;
  ShapeWriter writer_;
  std::string writerKey_;  // canonical base of the file being written
  std::string lastError_;
};

}  // namespace altimar::shapefile
