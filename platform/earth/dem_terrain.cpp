#include "platform/earth/dem_terrain.h"

#include <cpl_http.h>
#include <cpl_minixml.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogr_srs_api.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>

namespace altimar::earth {
namespace {

// ---- GDAL, set up once: quiet, and never on the network ----

void DropGdalMessage(CPLErr, CPLErrorNum, const char*) {}

CPLHTTPResult* RefuseHttp(const char* url, CSLConstList, GDALProgressFunc, void*,
                          CPLHTTPFetchWriteFunc, void*, void*) {
  auto* r = static_cast<CPLHTTPResult*>(CPLCalloc(1, sizeof(CPLHTTPResult)));
  r->nStatus = 1;
  r->pszErrBuf = CPLStrdup("network access is off");
  CPLError(CE_Failure, CPLE_AppDefined, "network access is off (%s)", url ? url : "");
  return r;
}

void InitGdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    GDALAllRegister();
    // Messages are collected where a DEM is opened; elsewhere (a transform
    // failing during a query, a close) they would only clutter the terminal.
    CPLSetErrorHandler(DropGdalMessage);
    // Belt and braces behind the path checks: HTTP requests fail, the cloud
    // file systems find no file, PROJ fetches no grid, VRTs run no Python.
    CPLHTTPSetFetchCallback(RefuseHttp, nullptr);
    CPLSetConfigOption("CPL_VSIL_CURL_ALLOWED_EXTENSIONS", ".altimar-no-network");
    CPLSetConfigOption("GDAL_VRT_ENABLE_PYTHON", "NO");
    OSRSetPROJEnableNetwork(FALSE);
    // Blocks read stay within this much; a read touches each block once.
    GDALSetCacheMax64(std::int64_t{64} << 20);
    // GDAL_DISABLE_READDIR_ON_OPEN stays unset: EMPTY_DIR would hide the
    // .hdr or .prj a DEM needs, and local folders are cheap to list.
  });
}

// Collects the failures GDAL raises on this thread while it lives.
class GdalErrors {
 public:
  GdalErrors() {
    CPLErrorReset();
    CPLPushErrorHandlerEx(Collect, this);
  }
  ~GdalErrors() { CPLPopErrorHandler(); }
  GdalErrors(const GdalErrors&) = delete;
  GdalErrors& operator=(const GdalErrors&) = delete;
  // ": the first failure", or empty.
  std::string First() const { return first_.empty() ? std::string() : ": " + first_; }

 private:
  static void CPL_STDCALL Collect(CPLErr level, CPLErrorNum, const char* msg) {
    auto* self = static_cast<GdalErrors*>(CPLGetErrorHandlerUserData());
    if (level < CE_Failure || !self->first_.empty() || msg == nullptr) return;
    std::string m(msg, strnlen(msg, 300));
    std::replace(m.begin(), m.end(), '\n', ' ');
    while (!m.empty() && (m.back() == ' ' || m.back() == '.')) m.pop_back();
    self->first_ = m;
  }
  std::string first_;
};

struct DatasetCloser {
  void operator()(GDALDataset* ds) const { GDALClose(ds); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

// ---- which files a DEM may bring in ----

const char* const kNetworkPrefixes[] = {"/vsicurl", "/vsis3",    "/vsigs",     "/vsiaz",
                                        "/vsiadls", "/vsioss",   "/vsiswift",  "/vsihdfs",
                                        "/vsiwebhdfs", "/vsicrypt"};

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// Why `path` is not a local regular file GDAL may open, or empty.
std::string NotLocalFile(const std::string& path) {
  const std::string low = Lower(path);
  if (low.find("://") != std::string::npos)
    return "it is a network address or a GDAL connection string, not a local file";
  for (const char* prefix : kNetworkPrefixes)
    if (low.find(prefix) != std::string::npos) return "it is on the network (" + std::string(prefix) + "/)";
  if (path.empty() || path.front() == '<') return "it is not a file name";
  if (low.rfind("/vsimem/", 0) == 0) {
    VSIStatBufL st;
    if (VSIStatL(path.c_str(), &st) != 0 || !VSI_ISREG(st.st_mode)) return "no such file";
    return {};
  }
  if (low.rfind("/vsi", 0) == 0)
    return "GDAL virtual file systems are not read; give the file itself";
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return "no such file";
  if (!S_ISREG(st.st_mode)) return "it is not a regular file (a folder, device or pipe)";
  // The kernel's files look regular but may block a read (/proc/kmsg).
  struct statfs fsInfo;
  if (::statfs(path.c_str(), &fsInfo) == 0) {
    const unsigned long kKernelFileSystems[] = {PROC_SUPER_MAGIC,    SYSFS_MAGIC,        DEBUGFS_MAGIC,
                                                TRACEFS_MAGIC,       SECURITYFS_MAGIC,   CGROUP_SUPER_MAGIC,
                                                CGROUP2_SUPER_MAGIC, BPF_FS_MAGIC};
    for (unsigned long kernel : kKernelFileSystems)
      if (static_cast<unsigned long>(fsInfo.f_type) == kernel)
        return "it is a file of the kernel (/proc, /sys), not a DEM";
  }
  return {};
}

bool IsFile(const std::string& path) {
  VSIStatBufL st;
  return VSIStatExL(path.c_str(), &st, VSI_STAT_EXISTS_FLAG) == 0;
}

const char* DriverName(GDALDriverH d) { return d ? GDALGetDriverShortName(d) : ""; }

std::vector<const char*> DemDriverList() {
  std::vector<const char*> list(std::begin(kDemFormats), std::end(kDemFormats));
  list.push_back(nullptr);
  return list;
}

// The DEM format GDAL reads `path` as, or why there is none. GDAL's own
// first choice among all its formats must be that same one, so that a VRT,
// which opens its sources with every format, reads it the same way.
std::string IdentifyDem(const std::string& path, std::string& driver) {
  const auto dem = DemDriverList();
  GDALDriverH own = GDALIdentifyDriverEx(path.c_str(), GDAL_OF_RASTER, dem.data(), nullptr);
  GDALDriverH any = GDALIdentifyDriverEx(path.c_str(), GDAL_OF_RASTER, nullptr, nullptr);
  if (own == nullptr || own != any) {
    if (any != nullptr)
      return std::string("GDAL reads it as ") + DriverName(any) + ", which is not a DEM format read here";
    return "not a raster GDAL can read";
  }
  driver = DriverName(own);
  return {};
}

// The files GDAL reads beside a raster (.aux.xml, .prj, .hdr, world files,
// ...) are named like it up to its first dot; an ESRI binary grid is a
// whole folder. One that is a pipe or a device would make GDAL wait forever
// or read without end.
std::string SpecialFileBeside(const std::string& path, const std::string& driver) {
  if (Lower(path).rfind("/vsi", 0) == 0) return {};
  namespace fs = std::filesystem;
  const fs::path p(path);
  const std::string name = Lower(p.filename().string());
  const std::string stem = driver == "AIG" ? std::string() : name.substr(0, name.find('.'));
  std::error_code ec;
  fs::directory_iterator it(p.has_parent_path() ? p.parent_path() : fs::path("."), ec);
  for (int seen = 0; !ec && it != fs::directory_iterator() && seen < 100000; it.increment(ec), ++seen) {
    const std::string other = Lower(it->path().filename().string());
    if (other == name || other.rfind(stem, 0) != 0) continue;
    std::error_code statError;
    const fs::file_status st = fs::status(it->path(), statError);
    if (fs::is_fifo(st) || fs::is_character_file(st) || fs::is_block_file(st) || fs::is_socket(st))
      return "'" + it->path().string() + "' beside it is a pipe or a device, which GDAL would read";
  }
  return {};
}

// Overview and mask files GDAL may open beside a raster, with any format.
std::string CheckBeside(const std::string& path, const std::string& driver) {
  if (auto why = SpecialFileBeside(path, driver); !why.empty()) return why;
  for (const char* ext : {".ovr", ".OVR", ".msk", ".MSK"}) {
    std::string side = path;
    for (int depth = 0; depth < 3; ++depth) {
      side += ext;
      if (!IsFile(side)) break;
      const std::string bad = "its " + std::string(ext) + " file '" + side + "' ";
      if (auto why = NotLocalFile(side); !why.empty()) return bad + "cannot be used: " + why;
      const char* tiff[] = {"GTiff", nullptr};
      if (GDALIdentifyDriverEx(side.c_str(), GDAL_OF_RASTER, tiff, nullptr) == nullptr)
        return bad + "is not a GeoTIFF";
    }
  }
  for (const std::string& aux : {path + ".aux", path + ".AUX", std::string(CPLResetExtension(path.c_str(), "aux")),
                                 std::string(CPLResetExtension(path.c_str(), "AUX"))})
    if (aux != path && IsFile(aux))
      return "an ERDAS .aux file lies beside it ('" + aux + "'), which may point at other files; move it away";
  return {};
}

// What the check of a VRT has seen so far.
struct VrtBudget {
  int sources = 0;
  std::int64_t cells = 0;
};

std::int64_t RasterCells(const std::string& path, const std::string& driver, std::string& why) {
  const char* allowed[] = {driver.c_str(), nullptr};
  Dataset ds(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, allowed, nullptr, nullptr));
  if (!ds) {
    why = "cannot be opened";
    return 0;
  }
  return std::int64_t{ds->GetRasterXSize()} * ds->GetRasterYSize();
}

std::string CheckVrt(const std::string& path, int depth, VrtBudget& budget);

// One file a DEM brings in: local, a DEM format, nothing bad beside it; a
// VRT is checked through. Adds what reading it costs to the budget.
std::string CheckSource(const std::string& path, int depth, VrtBudget& budget) {
  if (auto why = NotLocalFile(path); !why.empty()) return why;
  std::string driver;
  if (auto why = IdentifyDem(path, driver); !why.empty()) return why;
  if (auto why = CheckBeside(path, driver); !why.empty()) return why;
  if (driver == "VRT") return CheckVrt(path, depth + 1, budget);
  std::string why;
  budget.cells += RasterCells(path, driver, why);
  return why;
}

std::string Attribute(const CPLXMLNode* node, const char* name) {
  const char* v = CPLGetXMLValue(node, name, nullptr);
  return v ? v : "";
}

// Walks every element of the VRT: the band and dataset kinds it allows, and
// every file it names.
std::string CheckVrtNode(const CPLXMLNode* node, const std::string& vrtDir, int depth, VrtBudget& budget) {
  for (; node != nullptr; node = node->psNext) {
    if (node->eType != CXT_Element) continue;
    const std::string name = node->pszValue;
    const std::string subClass = Attribute(node, "subClass");
    if (name == "VRTRasterBand") {
      if (subClass == "VRTRawRasterBand")
        return "it reads a file as raw cells (VRTRawRasterBand), which is not allowed";
      if (!subClass.empty() && subClass != "VRTSourcedRasterBand" && subClass != "VRTDerivedRasterBand")
        return "its band kind '" + subClass + "' is not allowed";
      if (Lower(CPLGetXMLValue(node, "PixelFunctionLanguage", "")) == "python")
        return "it runs Python code, which is not allowed";
    } else if (name == "VRTDataset" && !subClass.empty()) {
      return "a " + subClass + " is not read; only mosaics (a plain VRTDataset) are";
    } else if (name == "SourceFilename" || name == "SourceDataset") {
      if (++budget.sources > kMaxVrtSources)
        return "it has more than " + std::to_string(kMaxVrtSources) + " sources";
      const char* text = CPLGetXMLValue(node, nullptr, "");
      std::string source = text ? text : "";
      if (CPLTestBool(CPLGetXMLValue(node, "relativeToVRT", "NO")) && !source.empty() &&
          source.front() != '/')
        source = CPLProjectRelativeFilename(vrtDir.c_str(), source.c_str());
      if (auto why = CheckSource(source, depth, budget); !why.empty())
        return "its source '" + source + "' cannot be used: " + why;
      continue;  // a source's text holds no further elements
    }
    if (auto why = CheckVrtNode(node->psChild, vrtDir, depth, budget); !why.empty()) return why;
  }
  return {};
}

std::string CheckVrt(const std::string& path, int depth, VrtBudget& budget) {
  if (depth > kMaxVrtDepth) return "VRTs are nested more than " + std::to_string(kMaxVrtDepth) + " deep";
  VSIStatBufL st;
  if (VSIStatL(path.c_str(), &st) != 0 || st.st_size > (16 << 20)) return "the VRT is larger than 16 MB";
  CPLXMLNode* tree = CPLParseXMLFile(path.c_str());
  if (tree == nullptr) return "the VRT is not well-formed XML";
  const std::string dir = CPLGetPath(path.c_str());
  std::string why = CheckVrtNode(tree, dir, depth, budget);
  CPLDestroyXMLNode(tree);
  return why;
}

// ---- where the raster lies ----

// The raster's outline in its own coordinates, corners first.
std::vector<std::pair<double, double>> Outline(const double gt[6], int w, int h) {
  std::vector<std::pair<double, double>> pts;
  constexpr int kSteps = 32;
  for (int k = 0; k <= 4 * kSteps; ++k) {
    const int side = k / (kSteps + 1), t = k % (kSteps + 1);
    const double f = static_cast<double>(t) / kSteps;
    const double px = side == 0 ? f * w : side == 1 ? w : side == 2 ? (1 - f) * w : 0;
    const double py = side == 0 ? 0 : side == 1 ? f * h : side == 2 ? h : (1 - f) * h;
    pts.emplace_back(gt[0] + px * gt[1] + py * gt[2], gt[3] + px * gt[4] + py * gt[5]);
  }
  return pts;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8g", v);
  return text;
}

// Why a lon/lat outline is not on the Earth, or empty. Half a cell past the
// poles or the date line is allowed (grids registered on cell centres),
// never more than half a degree.
std::string OffTheEarth(const std::vector<std::pair<double, double>>& pts, const double gt[6]) {
  const double cell = std::max(std::hypot(gt[1], gt[4]), std::hypot(gt[2], gt[5]));
  const double slack = std::min(0.5, cell / 2) + 1e-9;
  double west = HUGE_VAL, east = -HUGE_VAL;
  for (const auto& [x, y] : pts) {
    if (!std::isfinite(x) || !std::isfinite(y)) return "its georeferencing is not finite";
    if (std::fabs(y) > 90 + slack) return "it reaches latitude " + Number(y) + ", past the poles";
    if (x < -180 - slack || x > 360 + slack)
      return "it reaches longitude " + Number(x) + ", outside -180..360";
    west = std::min(west, x);
    east = std::max(east, x);
  }
  if (east - west > 360 + 2 * slack) return "it spans more than 360 degrees of longitude";
  return {};
}

// ---- reading ----

// Band 1 into a bw x bh buffer, the nearest cell for each buffer cell. The
// raster is read at full resolution in windows of whole blocks (so GDAL
// reads no overview, and each block once), skipping rows and columns of
// blocks no buffer cell falls in.
bool ReadDecimated(GDALRasterBand& band, int w, int h, int bw, int bh, std::vector<float>& out) {
  int blockW = 0, blockH = 0;
  band.GetBlockSize(&blockW, &blockH);
  blockW = std::clamp(blockW, 1, w);
  blockH = std::clamp(blockH, 1, h);
  constexpr std::int64_t kWindowCells = std::int64_t{4} << 20;
  const int winW = static_cast<int>(std::clamp<std::int64_t>(
      kWindowCells / blockH / blockW * blockW, blockW, w));
  auto nearest = [](int k, int n, int size) {
    return static_cast<int>(std::min<std::int64_t>(size - 1, (2 * std::int64_t{k} + 1) * size / (2 * n)));
  };
  std::vector<int> sx(static_cast<std::size_t>(bw)), sy(static_cast<std::size_t>(bh));
  for (int i = 0; i < bw; ++i) sx[static_cast<std::size_t>(i)] = nearest(i, bw, w);
  for (int j = 0; j < bh; ++j) sy[static_cast<std::size_t>(j)] = nearest(j, bh, h);
  std::vector<float> window;
  for (int j0 = 0; j0 < bh;) {
    const int top = sy[static_cast<std::size_t>(j0)] / blockH * blockH;
    int j1 = j0;
    while (j1 < bh && sy[static_cast<std::size_t>(j1)] < top + blockH) ++j1;
    const int y0 = sy[static_cast<std::size_t>(j0)], y1 = sy[static_cast<std::size_t>(j1 - 1)] + 1;
    for (int i0 = 0; i0 < bw;) {
      const int left = sx[static_cast<std::size_t>(i0)] / blockW * blockW;
      int i1 = i0;
      while (i1 < bw && sx[static_cast<std::size_t>(i1)] < left + winW) ++i1;
      const int x0 = sx[static_cast<std::size_t>(i0)], x1 = sx[static_cast<std::size_t>(i1 - 1)] + 1;
      window.resize(static_cast<std::size_t>(x1 - x0) * static_cast<std::size_t>(y1 - y0));
      if (band.RasterIO(GF_Read, x0, y0, x1 - x0, y1 - y0, window.data(), x1 - x0, y1 - y0,
                        GDT_Float32, 0, 0, nullptr) != CE_None)
        return false;
      for (int j = j0; j < j1; ++j) {
        const float* row = window.data() + static_cast<std::size_t>(sy[static_cast<std::size_t>(j)] - y0) *
                                               static_cast<std::size_t>(x1 - x0);
        float* dst = out.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(bw);
        for (int i = i0; i < i1; ++i) dst[i] = row[sx[static_cast<std::size_t>(i)] - x0];
      }
      i0 = i1;
    }
    j0 = j1;
  }
  return true;
}

}  // namespace

struct DemTerrain::Transform {
  std::unique_ptr<OGRCoordinateTransformation> toRaster;
};

DemTerrain::~DemTerrain() = default;

std::unique_ptr<DemTerrain> DemTerrain::Open(const std::string& path, int maxSide) {
  InitGdal();
  GdalErrors errors;
  const std::string what = "DEM '" + path + "'";
  auto refuse = [&](const std::string& why) { return DemError(what + ": " + why); };

  // What may be opened, before GDAL opens anything.
  if (auto why = NotLocalFile(path); !why.empty()) throw DemError("cannot open " + what + ": " + why);
  std::string driver;
  if (auto why = IdentifyDem(path, driver); !why.empty()) throw DemError("cannot open " + what + ": " + why);
  if (auto why = CheckBeside(path, driver); !why.empty()) throw refuse(why);
  VrtBudget budget;
  if (driver == "VRT") {
    if (auto why = CheckVrt(path, 0, budget); !why.empty()) throw refuse(why);
  }

  const char* allowed[] = {driver.c_str(), nullptr};
  // An ESRI ASCII grid of whole numbers would be read as integers, its
  // "nan" cells as 0: read every grid as floats, nan as no data.
  const char* floats[] = {"DATATYPE=Float32", nullptr};
  Dataset ds(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, allowed,
                               driver == "AAIGrid" ? floats : nullptr, nullptr));
  if (!ds) {
    const std::string why = errors.First();
    throw DemError("cannot open " + what + (why.empty() ? ": not a raster GDAL can read" : why));
  }
  const int w = ds->GetRasterXSize(), h = ds->GetRasterYSize();
  if (ds->GetRasterCount() < 1 || w < 1 || h < 1) throw DemError(what + " has no raster band");
  const std::int64_t cells = std::int64_t{w} * h;
  if (cells > kMaxDemCells || budget.cells > kMaxDemCells)
    throw refuse("it has " + std::to_string(w) + " x " + std::to_string(h) + " cells" +
                 (budget.cells > cells ? " over sources of " + std::to_string(budget.cells) + " cells" : "") +
                 ", more than the " + std::to_string(kMaxDemCells) +
                 " (16384 x 16384) read at most; make a smaller copy first (gdal_translate -outsize or -tr)");
  // A text grid writes every cell as a number and a separator. One too
  // short for the cells its header announces is refused here: GDAL would
  // look for each missing row from the first one again (quadratic).
  if (driver == "AAIGrid" || driver == "GRASSASCIIGrid" || driver == "GSAG" || driver == "ISG") {
    VSIStatBufL st;
    if (VSIStatL(path.c_str(), &st) == 0 && static_cast<std::int64_t>(st.st_size) < 2 * cells - 1)
      throw refuse("its header announces " + std::to_string(w) + " x " + std::to_string(h) + " cells, more than its " +
                   std::to_string(st.st_size) + " bytes can hold");
  }
  GDALRasterBand* band = ds->GetRasterBand(1);
  int blockW = 0, blockH = 0;
  band->GetBlockSize(&blockW, &blockH);
  // GDAL holds one block of every band of a pixel-interleaved file at once:
  // the bytes of a block count all bands.
  const std::int64_t blockBytes = std::int64_t{std::clamp(blockW, 1, w)} * std::clamp(blockH, 1, h) *
                                  std::max(1, GDALGetDataTypeSizeBytes(band->GetRasterDataType())) *
                                  ds->GetRasterCount();
  if (blockBytes > kMaxBlockBytes)
    throw refuse("its blocks of " + std::to_string(blockW) + " x " + std::to_string(blockH) + " cells" +
                 (ds->GetRasterCount() > 1 ? " in " + std::to_string(ds->GetRasterCount()) + " bands" : "") +
                 " are too large to read; rewrite band 1 tiled (gdal_translate -b 1 -co TILED=YES)");

  double gt[6];
  if (ds->GetGeoTransform(gt) != CE_None)
    throw DemError(what + " has no georeferencing (no geotransform)");
  for (double v : gt)
    if (!std::isfinite(v)) throw refuse("its georeferencing is not finite");

  std::unique_ptr<DemTerrain> dem(new DemTerrain());
  const OGRSpatialReference* srs = ds->GetSpatialRef();
  const auto outline = Outline(gt, w, h);
  if (srs == nullptr || srs->IsEmpty()) {
    // A grid without a coordinate system (a bare .asc, say) is taken as
    // lon/lat when its extent can only be that.
    if (auto why = OffTheEarth(outline, gt); !why.empty())
      throw DemError(what + " has no coordinate system and its extent is not lon/lat: " + why);
  } else if (srs->IsGeographic()) {
    if (auto why = OffTheEarth(outline, gt); !why.empty()) throw refuse("it does not lie on the Earth: " + why);
  } else {
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReference target(*srs);
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // No projection puts a point of the Earth this far out, in any unit.
    for (const auto& [x, y] : outline)
      if (std::fabs(x) > 1e10 || std::fabs(y) > 1e10)
        throw refuse("it does not lie on the Earth: its coordinates reach " + Number(std::max(std::fabs(x), std::fabs(y))));
    dem->transform_ = std::make_unique<Transform>();
    dem->transform_->toRaster.reset(OGRCreateCoordinateTransformation(&wgs84, &target));
    if (!dem->transform_->toRaster)
      throw DemError(what + ": its coordinate system cannot be reached from WGS84" + errors.First());
    dem->projected_ = true;
  }

  // Band 1, decimated to maxSide a side at most.
  maxSide = std::max(maxSide, 1);
  dem->width_ = std::min(w, maxSide);
  dem->height_ = std::min(h, maxSide);
  dem->cells_.resize(static_cast<std::size_t>(dem->width_) * static_cast<std::size_t>(dem->height_));
  if (!ReadDecimated(*band, w, h, dem->width_, dem->height_, dem->cells_)) {
    // GDAL takes a grid's first cell for a header line when it starts with
    // a letter (nan), and then runs one cell short at the end.
    if (driver == "AAIGrid" && errors.First().find("File short") != std::string::npos)
      throw DemError("cannot read " + what + ": its cells end before the ncols x nrows of its header" +
                     " (when the first cell is not a number, such as nan, write it as the" +
                     " NODATA_value)" + errors.First());
    throw DemError("cannot read " + what + errors.First());
  }
  int hasNoData = 0;
  dem->noData_ = band->GetNoDataValue(&hasNoData);
  // Cells were read as float: compare with the nodata value as a float too.
  // One outside float's range cannot occur in the cells at all.
  dem->hasNoData_ = hasNoData != 0 && std::isfinite(dem->noData_) &&
                    std::fabs(dem->noData_) <= std::numeric_limits<float>::max();
  if (dem->hasNoData_) dem->noDataCell_ = static_cast<float>(dem->noData_);

  bool anyHeight = false;
  for (float v : dem->cells_) {
    if (!dem->Valid(v)) continue;
    anyHeight = true;
    dem->maxAbs_ = std::max(dem->maxAbs_, std::fabs(static_cast<double>(v)));
  }
  if (!anyHeight)
    throw refuse(std::string("it has no heights: every cell") +
                 (cells > std::int64_t{dem->width_} * dem->height_ ? " read" : "") + " is no-data");
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
    std::vector<std::pair<double, double>> lonLat;
    for (auto [x, y] : outline)
      if (!toWgs || toWgs->Transform(1, &x, &y)) lonLat.emplace_back(x, y);
    // Some outline points of a projection may fall off its valid area; most
    // must be on the Earth.
    if (lonLat.size() * 2 < outline.size())
      throw refuse("its extent cannot be expressed in lon/lat");
    if (auto why = OffTheEarth(lonLat, gt); !why.empty()) throw refuse("it does not lie on the Earth: " + why);
    c.west = c.south = HUGE_VAL;
    c.east = c.north = -HUGE_VAL;
    for (const auto& [x, y] : lonLat) {
      c.west = std::min(c.west, x);
      c.east = std::max(c.east, x);
      c.south = std::min(c.south, y);
      c.north = std::max(c.north, y);
    }
    if (!(c.west < c.east && c.south < c.north))
      throw refuse("its extent cannot be expressed in lon/lat");
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
