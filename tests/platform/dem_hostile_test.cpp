// DEM files made to hurt: network sources, VRTs over files that are not
// rasters, sizes that would cost minutes, georeferencing off the Earth,
// grids without heights. Each is refused with a message that says why, no
// GDAL line reaches the terminal, and a DEM opened earlier still answers.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <ogr_spatialref.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/earth/dem_terrain.h"
#include "test_folder.h"

namespace altimar::testing {
namespace {

namespace fs = std::filesystem;
using earth::DemError;
using earth::DemTerrain;

// A GeoTIFF in lon/lat whose cell (col, row) holds base + col + 100 * row.
void WriteTile(const fs::path& p, double west, double north, int w, int h, float base,
               double cell = 0.01) {
  GDALAllRegister();
  auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* ds = drv->Create(p.c_str(), w, h, 1, GDT_Float32, nullptr);
  ASSERT_NE(ds, nullptr);
  double gt[6] = {west, cell, 0, north, 0, -cell};
  ds->SetGeoTransform(gt);
  OGRSpatialReference srs;
  srs.SetWellKnownGeogCS("WGS84");
  ds->SetSpatialRef(&srs);
  std::vector<float> v(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) v[static_cast<std::size_t>(r * w + c)] = base + c + 100.0f * r;
  ASSERT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, w, h, v.data(), w, h, GDT_Float32, 0, 0,
                                           nullptr),
            CE_None);
  GDALClose(ds);
}

void WriteText(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// A VRT of w x h cells with one simple source per (file, x offset).
std::string Vrt(int w, int h, const std::vector<std::pair<std::string, int>>& sources,
                const std::string& band = "") {
  std::string s = "<VRTDataset rasterXSize=\"" + std::to_string(w) + "\" rasterYSize=\"" +
                  std::to_string(h) +
                  "\"><SRS>EPSG:4326</SRS><GeoTransform>6.0, 0.01, 0, 50.0, 0, -0.01</GeoTransform>";
  s += band.empty() ? "<VRTRasterBand dataType=\"Float32\" band=\"1\">" : band;
  for (const auto& [file, x] : sources)
    s += "<SimpleSource><SourceFilename relativeToVRT=\"1\">" + file +
         "</SourceFilename><SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"10\" "
         "ySize=\"10\"/><DstRect xOff=\"" + std::to_string(x) + "\" yOff=\"0\" xSize=\"10\" ySize=\"10\"/></SimpleSource>";
  return s + "</VRTRasterBand></VRTDataset>";
}

// A TCP port on 127.0.0.1 that records whether anything connected.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd_, 8);
    socklen_t n = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &n);
    port_ = ntohs(a.sin_port);
  }
  ~Listener() { ::close(fd_); }
  std::string Url(const std::string& file) const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/" + file;
  }
  bool Contacted() const {
    const int c = ::accept(fd_, nullptr, nullptr);
    if (c >= 0) ::close(c);
    return c >= 0;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

class DemHostileTest : public ::testing::Test {
 protected:
  DemHostileTest() {
    dir = FreshTestFolder("altimar_hostile");
    WriteTile(dir / "a.tif", 6.0, 50.0, 10, 10, 1000);
    WriteTile(dir / "b.tif", 6.1, 50.0, 10, 10, 2000);
    earlier = DemTerrain::Open((dir / "a.tif").string());
  }
  ~DemHostileTest() override { fs::remove_all(dir); }

  // Opens `path` expecting a refusal whose message holds `words`; nothing
  // may be printed, and the DEM opened first must still answer.
  void ExpectRefused(const std::string& path, const std::string& words) {
    ::testing::internal::CaptureStderr();
    try {
      DemTerrain::Open(path);
      ADD_FAILURE() << path << " was opened; expected: " << words;
    } catch (const DemError& e) {
      EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << "names the file: " << e.what();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << path;
    ASSERT_TRUE(earlier->HeightAt(6.005, 49.995));
    EXPECT_FLOAT_EQ(static_cast<float>(*earlier->HeightAt(6.005, 49.995)), 1000.0f);
  }

  fs::path dir;
  std::unique_ptr<DemTerrain> earlier;
};

TEST_F(DemHostileTest, NetworkPathsAndSourcesAreRefusedWithoutAnyRequest) {
  Listener server;
  ExpectRefused(server.Url("dem.tif"), "network");
  ExpectRefused("/vsicurl/" + server.Url("dem.tif"), "network");
  ExpectRefused("/vsis3/bucket/dem.tif", "network");
  ExpectRefused("/vsizip//vsicurl/" + server.Url("dem.zip") + "/dem.tif", "network");
  ExpectRefused("/vsizip/" + (dir / "dem.zip").string() + "/dem.tif", "virtual file systems");

  WriteText(dir / "url.vrt", Vrt(10, 10, {{server.Url("a.tif"), 0}}));
  ExpectRefused((dir / "url.vrt").string(), "network");
  WriteText(dir / "vsicurl.vrt", Vrt(10, 10, {{"/vsicurl/" + server.Url("a.tif"), 0}}));
  ExpectRefused((dir / "vsicurl.vrt").string(), "on the network");
  // A tile service description on disk names a server too.
  WriteText(dir / "tiles.xml",
            "<GDAL_WMS><Service name=\"TMS\"><ServerUrl>" + server.Url("${z}/${x}/${y}.png") +
                "</ServerUrl></Service><DataWindow><UpperLeftX>-180</UpperLeftX><UpperLeftY>90"
                "</UpperLeftY><LowerRightX>180</LowerRightX><LowerRightY>-90</LowerRightY>"
                "<TileLevel>2</TileLevel><TileCountX>1</TileCountX><TileCountY>1</TileCountY>"
                "</DataWindow></GDAL_WMS>");
  ExpectRefused((dir / "tiles.xml").string(), "not a DEM format");
  WriteText(dir / "wms.vrt", Vrt(10, 10, {{"tiles.xml", 0}}));
  ExpectRefused((dir / "wms.vrt").string(), "not a DEM format");
  EXPECT_FALSE(server.Contacted()) << "a request reached the network";
}

TEST_F(DemHostileTest, AVrtMosaicOfLocalTilesIsReadAndNothingElse) {
  WriteText(dir / "mosaic.vrt", Vrt(20, 10, {{"a.tif", 0}, {"b.tif", 10}}));
  auto dem = DemTerrain::Open((dir / "mosaic.vrt").string());
  EXPECT_EQ(dem->width(), 20);
  EXPECT_FLOAT_EQ(static_cast<float>(*dem->HeightAt(6.005, 49.995)), 1000.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(*dem->HeightAt(6.195, 49.905)), 2000.0f + 9 + 900);

  // Raw cells over a text file.
  WriteText(dir / "passwd", "root:x:0:0:root:/root:/bin/bash\n");
  WriteText(dir / "raw.vrt",
            "<VRTDataset rasterXSize=\"4\" rasterYSize=\"4\"><GeoTransform>6, 0.1, 0, 50, 0, -0.1"
            "</GeoTransform><VRTRasterBand dataType=\"Byte\" band=\"1\" subClass=\"VRTRawRasterBand\">"
            "<SourceFilename relativeToVRT=\"1\">passwd</SourceFilename><ImageOffset>0</ImageOffset>"
            "<PixelOffset>1</PixelOffset><LineOffset>4</LineOffset></VRTRasterBand></VRTDataset>");
  ExpectRefused((dir / "raw.vrt").string(), "raw cells");
  // A simple source that is no raster, a device, a pipe, a folder.
  WriteText(dir / "text.vrt", Vrt(10, 10, {{"passwd", 0}}));
  ExpectRefused((dir / "text.vrt").string(), "not a raster");
  WriteText(dir / "device.vrt", Vrt(10, 10, {{"/dev/zero", 0}}));
  ExpectRefused((dir / "device.vrt").string(), "not a regular file");
  ASSERT_EQ(::mkfifo((dir / "pipe.tif").c_str(), 0600), 0);
  WriteText(dir / "fifo_source.vrt", Vrt(10, 10, {{"pipe.tif", 0}}));
  ExpectRefused((dir / "fifo_source.vrt").string(), "not a regular file");
  ExpectRefused((dir / "pipe.tif").string(), "not a regular file");
  ExpectRefused(dir.string(), "not a regular file");
  WriteText(dir / "kernel.vrt", Vrt(10, 10, {{"/proc/self/status", 0}}));
  ExpectRefused((dir / "kernel.vrt").string(), "a file of the kernel");
  // GDAL reads files named like a tile beside it: one that is a pipe would hang.
  ASSERT_EQ(::mkfifo((dir / "b.tif.aux.xml").c_str(), 0600), 0);
  ExpectRefused((dir / "mosaic.vrt").string(), "b.tif.aux.xml' beside it is a pipe");
  ExpectRefused((dir / "b.tif").string(), "is a pipe or a device");
  fs::remove(dir / "b.tif.aux.xml");
  fs::create_symlink("/dev/zero", dir / "b.prj");
  ExpectRefused((dir / "b.tif").string(), "b.prj' beside it is a pipe or a device");
  fs::remove(dir / "b.prj");
  // A VRT that names itself, and Python.
  WriteText(dir / "loop.vrt", Vrt(10, 10, {{"loop.vrt", 0}}));
  ExpectRefused((dir / "loop.vrt").string(), "nested more than");
  WriteText(dir / "python.vrt",
            Vrt(10, 10, {{"a.tif", 0}},
                "<VRTRasterBand dataType=\"Float32\" band=\"1\" subClass=\"VRTDerivedRasterBand\">"
                "<PixelFunctionLanguage>Python</PixelFunctionLanguage><PixelFunctionType>f"
                "</PixelFunctionType>"));
  ExpectRefused((dir / "python.vrt").string(), "Python");

  // A tile's overview file that is a VRT over the text file.
  fs::copy_file(dir / "raw.vrt", dir / "b.tif.ovr");
  ExpectRefused((dir / "mosaic.vrt").string(), "is not a GeoTIFF");
  ExpectRefused((dir / "b.tif").string(), "is not a GeoTIFF");
  fs::remove(dir / "b.tif.ovr");
  WriteText(dir / "b.aux", "EHFA_HEADER_TAG");
  ExpectRefused((dir / "mosaic.vrt").string(), ".aux");
}

TEST_F(DemHostileTest, RastersTooLargeToReadAreRefusedBeforeAnyCellIsRead) {
  // 500000 x 500000 cells in a few hundred kilobytes: every tile is empty.
  auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
  const char* opts[] = {"TILED=YES", "BLOCKXSIZE=4096", "BLOCKYSIZE=4096", "SPARSE_OK=TRUE", nullptr};
  GDALDataset* ds = drv->Create((dir / "huge.tif").c_str(), 500000, 500000, 1, GDT_Float32,
                                const_cast<char**>(opts));
  ASSERT_NE(ds, nullptr);
  double gt[6] = {6, 1e-6, 0, 50, 0, -1e-6};
  ds->SetGeoTransform(gt);
  GDALClose(ds);
  ExpectRefused((dir / "huge.tif").string(), "it has 500000 x 500000 cells, more than the 268435456");
  // A VRT of 500000 x 500000 over one small tile, and a small VRT over the huge file.
  WriteText(dir / "wide.vrt", Vrt(500000, 500000, {{"a.tif", 0}}));
  ExpectRefused((dir / "wide.vrt").string(), "more than the 268435456");
  WriteText(dir / "small.vrt", Vrt(10, 10, {{"huge.tif", 0}, {"huge.tif", 0}}));
  ExpectRefused((dir / "small.vrt").string(), "over sources of 500000000000 cells");

  // Few cells, but one strip of 300 pixel-interleaved bands: GDAL would
  // hold 4.8 GB for the first block (compressed, so it cannot read it a
  // line at a time).
  const char* strip[] = {"INTERLEAVE=PIXEL", "BLOCKYSIZE=2000", "COMPRESS=LZW", "SPARSE_OK=TRUE", nullptr};
  ds = drv->Create((dir / "bands.tif").c_str(), 2000, 2000, 300, GDT_Float32, const_cast<char**>(strip));
  ASSERT_NE(ds, nullptr);
  ds->SetGeoTransform(gt);
  GDALClose(ds);
  ExpectRefused((dir / "bands.tif").string(), "blocks of 2000 x 2000 cells in 300 bands are too large");
}

TEST_F(DemHostileTest, LargeRastersAreKeptDecimatedToTheNearestCell) {
  WriteTile(dir / "big.tif", 6.0, 50.0, 300, 200, 0);
  auto dem = DemTerrain::Open((dir / "big.tif").string(), 100);
  ASSERT_EQ(dem->width(), 100);
  ASSERT_EQ(dem->height(), 100);
  EXPECT_EQ(dem->CellCentres().cols, 300) << "the DEM's own cells are still told";
  // Buffer cell (i, j) holds source cell (3i + 1, 2j + 1) and sits at its centre.
  for (int j : {0, 37, 99})
    for (int i : {0, 50, 99}) {
      const double lon = 6.0 + (3 * i + 1.5) * 0.01, lat = 50.0 - (2 * j + 1.0) * 0.01;
      ASSERT_TRUE(dem->HeightAt(lon, lat)) << i << "," << j;
      EXPECT_FLOAT_EQ(static_cast<float>(*dem->HeightAt(lon, lat)), (3 * i + 1) + 100.0f * (2 * j + 1))
          << i << "," << j;
    }
}

TEST_F(DemHostileTest, GeoreferencingOffTheEarthIsRefused) {
  auto make = [&](const std::string& name, double west, double north, double cell, int epsg) {
    auto* drv = GetGDALDriverManager()->GetDriverByName("GTiff");
    GDALDataset* ds = drv->Create((dir / name).c_str(), 4, 4, 1, GDT_Float32, nullptr);
    double gt[6] = {west, cell, 0, north, 0, -cell};
    ds->SetGeoTransform(gt);
    if (epsg != 0) {
      OGRSpatialReference srs;
      srs.importFromEPSG(epsg);
      ds->SetSpatialRef(&srs);
    }
    float v[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(ds->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 4, 4, v, 4, 4, GDT_Float32, 0, 0, nullptr), CE_None);
    GDALClose(ds);
    return (dir / name).string();
  };
  ExpectRefused(make("pole.tif", 10, 95, 0.5, 4326), "past the poles");
  ExpectRefused(make("cell.tif", 10, 45, 1e30, 4326), "does not lie on the Earth");
  ExpectRefused(make("bare_pole.tif", 10, 95, 0.5, 0), "no coordinate system");
  ExpectRefused(make("bare_cell.tif", 10, 45, 1e30, 0), "no coordinate system");
  ExpectRefused(make("utm_cell.tif", 600000, 5200000, 1e30, 32632), "does not lie on the Earth");
  ExpectRefused(make("lon.tif", 400, 45, 0.5, 4326), "longitude");
  // A grid registered on cell centres may reach half a cell past a pole.
  EXPECT_NO_THROW(DemTerrain::Open(make("edge.tif", 10, 90.25, 0.5, 4326)));
}

TEST_F(DemHostileTest, AsciiGridsWithNanCellsOrNoHeights) {
  // Whole numbers and nan: nan is no data, the rest keep their heights.
  WriteText(dir / "nan.asc",
            "ncols 3\nnrows 2\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
            "1 nan 3\n4 -9999 NaN\n");
  auto dem = DemTerrain::Open((dir / "nan.asc").string());
  EXPECT_DOUBLE_EQ(*dem->HeightAt(10.25, 45.75), 1);
  EXPECT_DOUBLE_EQ(*dem->HeightAt(11.25, 45.75), 3);
  EXPECT_DOUBLE_EQ(*dem->HeightAt(10.25, 45.25), 4);
  EXPECT_FALSE(dem->HeightAt(11.25, 45.25)) << "nan is no data, not 0";
  EXPECT_FALSE(dem->HeightAt(10.75, 45.75).has_value() && *dem->HeightAt(10.75, 45.75) == 0);

  WriteText(dir / "empty.asc",
            "ncols 2\nnrows 2\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
            "-9999 -9999\nnan -9999\n");
  ExpectRefused((dir / "empty.asc").string(), "has no heights: every cell is no-data");
  WriteText(dir / "short.asc",
            "ncols 3\nnrows 3\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
            "1 2 3\n4 5\n");
  ExpectRefused((dir / "short.asc").string(), "its cells end before the ncols x nrows of its header");
  // A header announcing far more rows than the file holds: GDAL would
  // search for each missing row from the first again.
  WriteText(dir / "lying.asc", "ncols 3\nnrows 100000\nxllcorner 10\nyllcorner 45\ncellsize 0.001\n1 2 3\n");
  ExpectRefused((dir / "lying.asc").string(), "announces 3 x 100000 cells, more than its");
  // GDAL reads a first cell of nan as a header line.
  WriteText(dir / "nan_first.asc",
            "ncols 2\nnrows 2\nxllcorner 10\nyllcorner 45\ncellsize 0.5\nNODATA_value -9999\n"
            "nan 2\n3 4\n");
  ExpectRefused((dir / "nan_first.asc").string(), "when the first cell is not a number, such as nan");
}

}  // namespace
}  // namespace altimar::testing
