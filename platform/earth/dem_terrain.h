// Terrain from a DEM file read with GDAL. Heights are interpolated
// bilinearly between cell centres; nodata cells, NaN and points outside the
// raster give no data.
//
// A DEM comes from outside, so what GDAL may do with it is kept narrow:
// - Only local files: a network address (http://, ftp://, ...), a GDAL
//   virtual file system other than /vsimem/ (/vsicurl/, /vsis3/, /vsizip/,
//   ...) or anything that is not a regular file (a folder, device, FIFO, a
//   kernel file under /proc or /sys) is refused, and GDAL itself is set
//   never to reach the network.
// - Only DEM formats (kDemFormats below): no network services, no formats
//   whose header names a data file anywhere, no containers that can link to
//   other files.
// - A VRT may combine only local rasters in those formats: every
//   SourceFilename or SourceDataset must pass the same rules (nested VRTs at
//   most kMaxVrtDepth deep, kMaxVrtSources sources in all); raw bands
//   (VRTRawRasterBand, which read any file as cells), Python pixel functions
//   and warped or pansharpened VRTs are refused.
// - An overview or mask file beside the DEM or a source (x.tif.ovr,
//   x.tif.msk) must be a GeoTIFF; an ERDAS .aux file beside it is refused,
//   and so is a pipe or device named like it (x.prj, x.tif.aux.xml, ...).
// - Reading costs at most kMaxDemCells cells: the raster (all VRT sources
//   together) may have no more, and is read at full resolution window by
//   window, each block once, then kept decimated to maxSide a side. No
//   overview is read.
// - Georeferencing must put the raster on the Earth, and a raster with no
//   heights at all is refused.
// GDAL's own messages never reach the terminal: the first failure goes into
// the DemError.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/earth/terrain_source.h"

namespace altimar::earth {

// A DEM that cannot be used: the message says which file and why.
class DemError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The DEM's own cells as a lon/lat grid of cell centres: column 0 west,
// row 0 south. For a raster that is not north-up in lon/lat, the box of its
// extent with the same number of columns and rows.
struct CellCentreGrid {
  int cols = 0, rows = 0;
  double west = 0, east = 0, south = 0, north = 0;
};

// The formats read, by GDAL driver name.
inline constexpr const char* kDemFormats[] = {
    "GTiff", "VRT",  "AAIGrid", "GRASSASCIIGrid", "SRTMHGT", "DTED",     "USGSDEM",
    "AIG",   "EHdr", "ENVI",    "SAGA",           "GSAG",    "GSBG",     "GS7BG",
    "BT",    "XYZ",  "ISG",     "ACE2",           "NWT_GRD", "ZMap",     "HF2",
    "Leveller", "Terragen", "GXF", "RST", "KRO",  "RRASTER", "SIGDEM",   "NGSGEOID",
    "GTX",   "BYN"};
inline constexpr std::int64_t kMaxDemCells = std::int64_t{16384} * 16384;
// A block (of all bands, for a pixel-interleaved file) GDAL may allocate.
inline constexpr std::int64_t kMaxBlockBytes = std::int64_t{256} << 20;
inline constexpr int kMaxVrtDepth = 4;
inline constexpr int kMaxVrtSources = 1024;

class DemTerrain final : public TerrainSource {
 public:
  // Opens and loads band 1. Throws DemError. Rasters above maxSide cells on a
  // side are kept decimated to maxSide (nearest cell).
  static std::unique_ptr<DemTerrain> Open(const std::string& path, int maxSide = 8192);
  ~DemTerrain() override;

  std::optional<double> HeightAt(double lon, double lat) const override;
  CellCentreGrid CellCentres() const { return centres_; }
  double MaxAbsHeight() const override { return maxAbs_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  DemTerrain() = default;
  bool ToPixel(double lon, double lat, double& px, double& py) const;
  bool Valid(float v) const;

  int width_ = 0, height_ = 0;  // of the loaded (possibly decimated) buffer
  std::vector<float> cells_;     // row-major, row 0 at the raster's top
  double inverse_[6] = {};       // lon/lat (or projected x/y) -> buffer pixel
  bool hasNoData_ = false;
  double noData_ = 0;
  float noDataCell_ = 0;
  bool projected_ = false;
  struct Transform;
  std::unique_ptr<Transform> transform_;  // WGS84 -> raster's CRS, when projected
  CellCentreGrid centres_;
  double maxAbs_ = 0;
};

}  // namespace altimar::earth
