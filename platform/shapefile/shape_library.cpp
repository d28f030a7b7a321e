#include "platform/shapefile/shape_library.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "platform/shapefile/kml_export.h"
#include "platform/shapefile/shape_distance.h"
#include "platform/shapefile/shp_reader.h"
#include "platform/shapefile/spherical_dist.h"

namespace altimar::shapefile {
namespace {

// The same file however it is named: the canonical path of its base.
std::string PathKey(const std::string& base) {
  std::error_code ec;
  const auto p = std::filesystem::weakly_canonical(std::filesystem::path(base), ec);
  return ec ? base : p.string();
}

std::string FidListText(const std::vector<int>& fids) {
  std::string out;
  for (int fid : fids) {
    out += std::to_string(fid);
    out += ',';
  }
  return out;
}

}  // namespace

bool ShapeLibrary::Fail(std::string message) {
  lastError_ = std::move(message);
  return false;
}

const SpatialIndex& ShapeLibrary::Index() {
  if (indexStale_) {
    index_.Build(shapes_);
    indexStale_ = false;
  }
  return index_;
}

bool ShapeLibrary::SW_OpenShpFile(const std::string& shpPath) {
  shpOpen_ = false;
  shpKey_.clear();
  shapes_.Clear();
  index_.Clear();
  indexStale_ = false;
  const std::string base = ShapefileBase(shpPath);
  const std::string key = PathKey(base);
  if (writer_.isOpen()) {
    if (key == writerKey_) {
      writer_.Flush();
    } else {
      writer_.Close();
      writerKey_.clear();
    }
  }
  std::string error, note;
  if (!LoadShapefile(base, shapes_, error, note)) {
    shapes_.Clear();
    return Fail(error);
  }
  shpOpen_ = true;
  shpKey_ = key;
  indexStale_ = true;
  Index();
  lastError_ = note.empty() ? std::string() : "'" + shpPath + "': " + note;
  return true;
}

void ShapeLibrary::SW_CloseShpFile() {
  shpOpen_ = false;
  shpKey_.clear();
  shapes_.Clear();
  index_.Clear();
  indexStale_ = false;
  writer_.Close();
  writerKey_.clear();
}

bool ShapeLibrary::SW_OpenDBFFile(const std::string& dbfPath) {
  std::string error;
  if (!table_.Open(dbfPath, error)) return Fail(error);
  return true;
}

void ShapeLibrary::SW_CloseDBFFile() { table_.Close(); }

bool ShapeLibrary::SW_GetMetaInfoFromShpDBF(std::string& shapeTypeName, int& recordCount, int withDbf,
                                            std::string& fieldDescription) {
  shapeTypeName.clear();
  recordCount = 0;
  fieldDescription.clear();
  if (withDbf == 1 && table_.isOpen()) fieldDescription = table_.FieldDescription();
  if (!shpOpen_) return Fail("no shapefile is open");
  shapeTypeName = ShapeTypeName(shapes_.fileType());
  recordCount = shapes_.size();
  return true;
}

int ShapeLibrary::SW_ReadFeature(int fid, int /*byFid*/, std::string& coords, std::string& attrs,
                                 std::string& bbox) {
  coords.clear();
  attrs.clear();
  bbox.clear();
  if (!shpOpen_) {
    Fail("no shapefile is open");
    return -1;
  }
  if (fid < 0 || fid >= shapes_.size()) {
    Fail("FID " + std::to_string(fid) + " is out of range: the shapefile has " +
         std::to_string(shapes_.size()) + " records");
    return -1;
  }
  coords = CoordinateText(shapes_, fid);
  if (!shapes_.isNull(fid)) bbox = ExtentText(shapes_.record(fid).extent);
  attrs = table_.AttributeText(fid);
  return fid;
}

int ShapeLibrary::SW_FindNearest(double lon, double lat, std::string& coords, std::string& attrs) {
  coords.clear();
  attrs.clear();
  if (!shpOpen_) {
    Fail("no shapefile is open");
    return -1;
  }
  if (!std::isfinite(lon) || !std::isfinite(lat)) {
    Fail("the point to search from is not a number");
    return -1;
  }
  const SpatialIndex::Nearest n = Index().FindNearest(shapes_, QueryPoint(lon, lat));
  if (n.fid < 0) {
    Fail("the shapefile has no geometry");
    return -1;
  }
  coords = CoordinateText(shapes_, n.fid);
  attrs = table_.AttributeText(n.fid);
  return n.fid;
}

int ShapeLibrary::FinishSearch(const std::vector<int>& fids, std::string& fidList, const std::string& kmlPath,
                               const std::vector<Vertex>& outline) {
  if (fids.empty()) {
    Fail("no feature found");
    return -1;
  }
  if (!kmlPath.empty()) {
    std::string error;
    if (!WriteSelectionKml(kmlPath, shapes_, fids, outline, error)) {
      Fail(error);
      return -1;
    }
  }
  fidList = FidListText(fids);
  return static_cast<int>(fids.size());
}

int ShapeLibrary::SW_MultiSearchShpFile(double x1, double y1, double x2, double y2, std::string& fidList,
                                        const std::string& kmlPath) {
  fidList.clear();
  if (!shpOpen_) {
    Fail("no shapefile is open");
    return -1;
  }
  // NaN corners meet nothing: every comparison with them is false.
  const Extent box{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  return FinishSearch(Index().FindInExtent(box), fidList, kmlPath, {});
}

int ShapeLibrary::SW_MultiSearchFeatureByCircle(double clon, double clat, double elon, double elat,
                                                std::string& fidList, const std::string& outlineText,
                                                const std::string& kmlPath) {
  fidList.clear();
  if (!shpOpen_) {
    Fail("no shapefile is open");
    return -1;
  }
  const double radius = SphericalDist(clon, clat, elon, elat);
  if (!std::isfinite(clon) || !std::isfinite(clat) || !std::isfinite(radius)) {
    Fail("the circle's centre or edge is not a number");
    return -1;
  }
  // A relative margin of 1e-12 lets a shape exactly on the edge count.
  const double limit = MetresToDegrees(radius) * (1 + 1e-12);
  const std::vector<int> fids = Index().FindWithin(shapes_, QueryPoint(clon, clat), limit * limit);
  std::vector<Vertex> outline;
  std::string ignored;
  if (!outlineText.empty() && !ParseCoordinateTuples(outlineText, outline, ignored)) outline.clear();
  return FinishSearch(fids, fidList, kmlPath, outline);
}

std::string ShapeLibrary::CutFidList(std::string_view list, std::size_t maxChars, int* listed) {
  // Each FID is digits (and maybe "-") followed by one separator.
  const auto isSeparator = [](char c) { return !(c == '-' || (c >= '0' && c <= '9')); };
  std::size_t end = 0;
  int count = 0;
  for (std::size_t i = 0; i < list.size() && i < maxChars; ++i) {
    if (isSeparator(list[i]) && i > 0 && !isSeparator(list[i - 1])) {
      end = i + 1;
      ++count;
    }
  }
  if (listed) *listed = count;
  return std::string(list.substr(0, end));
}

bool ShapeLibrary::SW_CreateShapeFile(const std::string& shpPath, const std::string& typeWord) {
  SW_CloseShpFile();
  const int type = ShapeTypeFromWord(typeWord);
  if (type == kNullShape) return Fail("unknown shape type '" + typeWord + "': use point, polyline or polygon");
  const std::string base = ShapefileBase(shpPath);
  std::string error;
  if (!writer_.Create(base, type, error)) return Fail(error);
  writerKey_ = PathKey(base);
  lastError_.clear();
  return true;
}

bool ShapeLibrary::SW_AddFeatureInShapeFile(const std::string& coordText) {
  if (!writer_.isOpen()) return Fail("no shapefile is being written: create one first");
  std::vector<Vertex> vertices;
  std::string badTuple;
  if (!ParseCoordinateTuples(coordText, vertices, badTuple)) vertices.clear();
  std::string error;
  const ShapeWriter::Written w = writer_.Append(vertices, error);
  if (w.fid < 0) return Fail(error);

  if (shpOpen_ && shpKey_ == writerKey_) {  // the open file shows what is written
    if (w.isNull)
      shapes_.AppendNull();
    else
      shapes_.Append(writer_.type(), {w.vertices});
    indexStale_ = true;
    if (table_.isOpen() && PathKey(ShapefileBase(table_.path())) == writerKey_) {
      writer_.Flush();
      const std::string path = table_.path();
      table_.Open(path, error);
    }
  }
  if (!badTuple.empty()) return Fail("record " + std::to_string(w.fid) + " is a null shape: " + badTuple);
  if (w.isNull) return Fail("record " + std::to_string(w.fid) + " is a null shape: " + w.why);
  lastError_.clear();
  return true;
}

int ShapeLibrary::SW_ExportShp2Kml(const std::string& shpPathWithoutExtension, const std::string& kmlPath,
                                   const std::function<void(int done, int total)>& progress) {
  std::string error;
  if (kmlPath.empty()) {
    Fail("no KML path given");
    return -1;
  }
  // The file being written is complete on disk only after a flush.
  if (writer_.isOpen() && PathKey(ShapefileBase(shpPathWithoutExtension)) == writerKey_) writer_.Flush();
  const int n = ExportShapefileToKml(ShapefileBase(shpPathWithoutExtension), kmlPath, progress, error);
  if (n < 0) Fail(error);
  return n;
}

}  // namespace altimar::shapefile
