// Terrain from a DEM file read with GDAL (GeoTIFF, SRTM HGT, ESRI ASCII grid,
// and whatever else GDAL opens as a raster). Heights are interpolated
// bilinearly between cell centres; nodata cells, NaN and points outside the
// raster give no data.
#pragma once

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

class DemTerrain final : public TerrainSource {
 public:
  // Opens and loads band 1. Throws DemError. Rasters above maxSide cells on a
  // side are read decimated to maxSide.
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
