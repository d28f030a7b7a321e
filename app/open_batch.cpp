#include "app/open_batch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/output_paths.h"
#include "app/program.h"
#include "platform/earth/procedural_terrain.h"
#include "platform/shapefile/shp_reader.h"

namespace altimar::app {
namespace {

namespace fs = std::filesystem;

OpenBatchResult Fail(OpenBatchResult r, std::string message) {
  r.exitCode = 1;
  r.error = std::move(message);
  std::replace(r.error.begin(), r.error.end(), '\r', ' ');
  r.error.erase(std::remove(r.error.begin(), r.error.end(), '\n'), r.error.end());
  return r;
}

win::POINT CentreOf(win::Desktop& d, win::HWND hwnd) {
  win::RECT r{};
  d.GetWindowRect(hwnd, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Click(win::Desktop& d, win::POINT p) {
  d.InjectClick(p.x, p.y);
  d.DoEvents();
}

// The camera over the open shapefile's features, so that a screenshot shows them.
void LookAtShapes(const shapefile::ShapeSet& shapes, earth::Globe& globe) {
  double west = 180, south = 90, east = -180, north = -90;
  for (int fid = 0; fid < shapes.size(); ++fid) {
    const shapefile::ShapeRecord& r = shapes.record(fid);
    if (r.partCount == 0) continue;
    west = std::min(west, r.extent.xmin);
    south = std::min(south, r.extent.ymin);
    east = std::max(east, r.extent.xmax);
    north = std::max(north, r.extent.ymax);
  }
  if (!(west <= east && south <= north)) return;
  auto camera = globe.GetCamera(0);
  const double lat = std::clamp((south + north) / 2, -89.0, 89.0);
  camera->put_FocusPointLatitude(lat);
  camera->put_FocusPointLongitude((west + east) / 2);
  const double metres = std::max(
      {(north - south) * 111320.0, (east - west) * 111320.0 * std::cos(lat * M_PI / 180), 2000.0});
  camera->put_Range(std::min(metres * 1.6, 2.0e7));
  camera->put_Tilt(0);
  camera->put_Azimuth(0);
  globe.SetCamera(*camera, 5.0);
}

}  // namespace

OpenBatchResult RunOpenBatch(const OpenOptions& o, win::Desktop& desktop) {
  OpenBatchResult r;
  if (auto err = CheckWritableFolder(o.dir, "the folder"); !err.empty()) return Fail(r, err);
  if (o.screenshot) {
    const fs::path shot = fs::absolute(*o.screenshot);
    if (auto err = CheckWritableFolder(shot.parent_path().string(), "the screenshot's folder");
        !err.empty())
      return Fail(r, err);
  }
  std::error_code ec;
  if (!fs::is_regular_file(o.file, ec)) return Fail(r, o.file + ": no such file");

  // The globe on the left, the workspace docked on its right.
  earth::GlobeOptions go;
  go.placement = {0, 0, 700, 800};
  r.globe = earth::Globe::Start(desktop, std::make_shared<earth::ProceduralTerrain>(), go);
  for (int k = 0; k < 10000 && r.globe->IsInitialized() == 0; ++k) desktop.Sleep(1);

  const std::size_t before = desktop.MessageBoxLog().size();
  auto lastMessage = [&](const char* otherwise) {
    const auto& log = desktop.MessageBoxLog();
    return log.size() > before ? log.back().text : std::string(otherwise);
  };
  Program program(desktop, o.dir, 1);
  program.Start();
  if (program.ended()) return Fail(r, lastMessage("the program did not start"));
  workspace::FrmQuarlin& q = program.frmQuarlin;
  q.Move(forms::ToTwips(700), 0);
  Click(desktop, CentreOf(desktop, q.optStart[workspace::kDock].hwnd()));
  win::RECT button{}, bar{};
  if (!q.Toolbar1.ButtonRect("open", button) || !desktop.GetWindowRect(q.Toolbar1.hwnd(), &bar))
    return Fail(r, "the workspace toolbar did not show");

  desktop.QueueDialogAnswer(fs::absolute(o.file).string());
  const auto start = std::chrono::steady_clock::now();
  Click(desktop,
        {bar.left + (button.left + button.right) / 2, bar.top + (button.top + button.bottom) / 2});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (desktop.MessageBoxLog().size() > before) return Fail(r, lastMessage(""));
  const workspace::OpenSource& source = program.source;
  if (source.OpenFileType == workspace::kNoSource ||
      q.OpenFileName != fs::absolute(o.file).string())
    return Fail(r, o.file + " was not opened: only .shp, .kml and .gml files are");

  char line[1024];
  const std::string db = program.rdb.AttrDb ? program.rdb.DatabasePath() : "no attribute database";
  if (source.OpenFileType == workspace::kShapefile) {
    const std::string& text = q.Text1.Text();
    const std::size_t at = text.rfind("\r\n");
    const std::string exported =
        at != std::string::npos && text.find(" records processed.", at) != std::string::npos
            ? text.substr(at + 2, text.find(' ', at + 2) - at - 2)
            : "no";
    std::snprintf(
        line, sizeof line, "%s: %s, %d records, %d fields, %s records exported to %s, %s, %.3f s",
        o.file.c_str(), source.ShapeTypeName.c_str(), source.RecordCount, program.rdb.AttrCount,
        exported.c_str(), q.ExportKmlPath.c_str(), db.c_str(), seconds);
    LookAtShapes(program.shapes.shapes(), *r.globe);
  } else {
    const long long rows = program.rdb.FeatureRs ? program.rdb.FeatureRs->RecordCount() : 0;
    std::snprintf(line, sizeof line, "%s: KML, %lld records, %d fields, %s, %.3f s", o.file.c_str(),
                  rows, program.rdb.AttrCount, db.c_str(), seconds);
  }
  r.summary = line;
  if (o.screenshot) {
    desktop.DoEvents();
    if (auto err = desktop.SaveScreenPng(*o.screenshot); !err.empty())
      return Fail(r, "the screenshot could not be written: " + err);
  }
  return r;
}

}  // namespace altimar::app
