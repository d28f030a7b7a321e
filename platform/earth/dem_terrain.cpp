#include "platform/earth/dem_terrain.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace altimar::earth {
namespace {

void InitGdal() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// Runs GDAL calls with its error messages captured instead of printed.
class QuietGdal {
 public:
  QuietGdal() {
    CPLErrorReset();
    CPLPushErrorHandler(CPLQuietErrorHandler);
  }
  ~QuietGdal() { CPLPopErrorHandler(); }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;
  static std::string LastMessage() {
    const char* m = CPLGetLastErrorMsg();
    return (m && *m) ? std::string(": ") + m : std::string();
  }
};

struct DatasetCloser {
  void operator()(GDALDataset* ds) const { GDALClose(ds); }
};

bool ExtentLooksGeographic(const double gt[6], int w, int h) {
  const double xs[4] = {gt[0], gt[0] + w * gt[1], gt[0] + h * gt[2], gt[0] + w * gt[1] + h * gt[2]};
  const double ys[4] = {gt[3], gt[3] + w * gt[4], gt[3] + h * gt[5], gt[3] + w * gt[4] + h * gt[5]};
  for (int i = 0; i < 4; ++i)
    if (!(xs[i] >= -180.5 && xs[i] <= 360.5 && ys[i] >= -90.5 && ys[i] <= 90.5)) return false;
  return true;
}

}  // namespace

struct DemTerrain::Transform {
  std::unique_ptr<OGRCoordinateTransformation> toRaster;
};

DemTerrain::~DemTerrain() = default;

std::unique_ptr<DemTerrain> DemTerrain::Open(const std::string& path, int maxSide) {
  InitGdal();
  QuietGdal quiet;
  const std::string what = "DEM '" + path + "'";
  std::unique_ptr<GDALDataset, DatasetCloser> ds(GDALDataset::Open(
      path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
  if (!ds) {
    const std::string why = QuietGdal::LastMessage();
    throw DemError("cannot open " + what + (why.empty() ? ": not a raster GDAL can read" : why));
  }
  const int w = ds->GetRasterXSize(), h = ds->GetRasterYSize();
  if (ds->GetRasterCount() < 1 || w < 1 || h < 1) throw DemError(what + " has no raster band");

  double gt[6];
  if (ds->GetGeoTransform(gt) != CE_None)
    throw DemError(what + " has no georeferencing (no geotransform)");

  std::unique_ptr<DemTerrain> dem(new DemTerrain());
  const OGRSpatialReference* srs = ds->GetSpatialRef();
  if (srs == nullptr || srs->IsEmpty()) {
    // A grid without a coordinate system (a bare .asc, say) is taken as
    // lon/lat when its extent can only be that.
    if (!ExtentLooksGeographic(gt, w, h))
      throw DemError(what + " has no coordinate system and its extent is not lon/lat");
  } else if (!srs->IsGeographic()) {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference target(*srs);
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    dem->transform_ = std::make_unique<Transform>();
    dem->transform_->toRaster.reset(OGRCreateCoordinateTransformation(&wgs84, &target));
    if (!dem->transform_->toRaster)
      throw DemError(what + ": its coordinate system cannot be reached from WGS84" +
                     QuietGdal::LastMessage());
    dem->projected_ = true;
  }

  // Load band 1, decimated when it is larger than maxSide on a side.
  maxSide = std::max(maxSide, 1);
  dem->width_ = std::min(w, maxSide);
  dem->height_ = std::min(h, maxSide);
  dem->cells_.resize(static_cast<std::size_t>(dem->width_) * static_cast<std::size_t>(dem->height_));
  GDALRasterBand* band = ds->GetRasterBand(1);
  if (band->RasterIO(GF_Read, 0, 0, w, h, dem->cells_.data(), dem->width_, dem->height_,
                     GDT_Float32, 0, 0, nullptr) != CE_None)
    throw DemError("cannot read " + what + QuietGdal::LastMessage());
  int hasNoData = 0;
  dem->noData_ = band->GetNoDataValue(&hasNoData);
  // Cells were read as float: compare with the nodata value as a float too.
  // One outside float's range cannot occur in the cells at all.
  dem->hasNoData_ = hasNoData != 0 && std::isfinite(dem->noData_) &&
                    std::fabs(dem->noData_) <= std::numeric_limits<float>::max();
  if (dem->hasNoData_) dem->noDataCell_ = static_cast<float>(dem->noData_);

  for (float v : dem->cells_)
    if (dem->Valid(v)) dem->maxAbs_ = std::max(dem->maxAbs_, std::fabs(static_cast<double>(v)));
  double bufGt[6] = {gt[0], gt[1] * w / dem->width_,  gt[2] * h / dem->height_,
                     gt[3], gt[4] * w / dem->width_,  gt[5] * h / dem->height_};
  if (!GDALInvGeoTransform(bufGt, dem->inverse_))
    throw DemError(what + " has a degenerate geotransform");

  // The DEM's own cell centres as a lon/lat grid.
  CellCentreGrid& c = dem->centres_;
  c.cols = w;
  c.rows = h;
  if (!dem->projected_ && gt[2] == 0 && gt[4] == 0) {
    const double x0 = gt[0] + 0.5 * gt[1], x1 = gt[0] + (w - 0.5) * gt[1];
    const double y0 = gt[3] + 0.5 * gt[5], y1 = gt[3] + (h - 0.5) * gt[5];
    c.west = std::min(x0, x1);
    c.east = std::max(x0, x1);
    c.south = std::min(y0, y1);
    c.north = std::max(y0, y1);
  } else {
    // The lon/lat box of the raster's outline, shrunk by half a cell's share.
    std::unique_ptr<OGRCoordinateTransformation> toWgs;
    if (dem->projected_) {
      OGRSpatialReference wgs84;
      wgs84.SetWellKnownGeogCS("WGS84");
      wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      OGRSpatialReference source(*srs);
      source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
      toWgs.reset(OGRCreateCoordinateTransformation(&source, &wgs84));
    }
    c.west = c.south = HUGE_VAL;
    c.east = c.north = -HUGE_VAL;
    constexpr int kSteps = 32;
    for (int k = 0; k <= 4 * kSteps; ++k) {
      const int side = k / (kSteps + 1), t = k % (kSteps + 1);
      const double f = static_cast<double>(t) / kSteps;
      double px = side == 0 ? f * w : side == 1 ? w : side == 2 ? (1 - f) * w : 0;
      double py = side == 0 ? 0 : side == 1 ? f * h : side == 2 ? h : (1 - f) * h;
      double x = gt[0] + px * gt[1] + py * gt[2], y = gt[3] + px * gt[4] + py * gt[5];
      if (toWgs && !toWgs->Transform(1, &x, &y)) continue;
      c.west = std::min(c.west, x);
      c.east = std::max(c.east, x);
      c.south = std::min(c.south, y);
      c.north = std::max(c.north, y);
    }
    if (!(c.west < c.east && c.south < c.north))
      throw DemError(what + ": its extent cannot be expressed in lon/lat");
    const double dx = (c.east - c.west) / (2.0 * w), dy = (c.north - c.south) / (2.0 * h);
    c.west += dx;
    c.east -= dx;
    c.south += dy;
    c.north -= dy;
  }
  return dem;
}

bool DemTerrain::Valid(float v) const {
  return std::isfinite(v) && !(hasNoData_ && v == noDataCell_);
}

bool DemTerrain::ToPixel(double lon, double lat, double& px, double& py) const {
  double x = lon, y = lat;
  if (projected_) {
    if (!transform_->toRaster->Transform(1, &x, &y)) return false;
  }
  auto inside = [&](double xx) {
    px = inverse_[0] + xx * inverse_[1] + y * inverse_[2];
    py = inverse_[3] + xx * inverse_[4] + y * inverse_[5];
    return px >= 0 && px < width_ && py >= 0 && py < height_;
  };
  if (inside(x)) return true;
  // A lon/lat raster may be laid out in 0..360 (or beyond 180) longitudes.
  return !projected_ && (inside(x + 360.0) || inside(x - 360.0));
}

std::optional<double> DemTerrain::HeightAt(double lon, double lat) const {
  double px, py;
  if (!ToPixel(lon, lat, px, py)) return std::nullopt;
  auto at = [&](int i, int j) {
    return cells_[static_cast<std::size_t>(j) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(i)];
  };
  // Bilinear between the four surrounding cell centres; at the raster's
  // edge the outermost centres stand in for the missing neighbours.
  const double fx = std::clamp(px - 0.5, 0.0, static_cast<double>(width_ - 1));
  const double fy = std::clamp(py - 0.5, 0.0, static_cast<double>(height_ - 1));
  const int i0 = static_cast<int>(fx), j0 = static_cast<int>(fy);
  const int i1 = std::min(i0 + 1, width_ - 1), j1 = std::min(j0 + 1, height_ - 1);
  const float v00 = at(i0, j0), v10 = at(i1, j0), v01 = at(i0, j1), v11 = at(i1, j1);
  if (Valid(v00) && Valid(v10) && Valid(v01) && Valid(v11)) {
    const double tx = fx - i0, ty = fy - j0;
    const double top = v00 + (static_cast<double>(v10) - v00) * tx;
    const double bottom = v01 + (static_cast<double>(v11) - v01) * tx;
    return top + (bottom - top) * ty;
  }
  // Next to no-data: the cell the point falls in, if it has a value.
  const float own = at(static_cast<int>(px), static_cast<int>(py));
  if (Valid(own)) return static_cast<double>(own);
  return std::nullopt;
}

}  // namespace altimar::earth
