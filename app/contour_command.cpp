#include "app/contour_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "contour/grid_fill.h"
#include "platform/earth/dem_terrain.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::app {
namespace {

// Nodes spanned by a window over cells of the given spacing, kept to 2..999.
int NodesAcross(double span, double cell) {
  if (!(cell > 0)) return contour::kMinGridSide;
  const double n = std::floor(span / cell + 0.5) + 1;
  return static_cast<int>(std::clamp(n, 2.0, static_cast<double>(contour::kMaxGridSide)));
}

struct GridPlan {
  contour::GridWindow window;
  int cols, rows;
};

// Where the grid goes: the DEM's own cell centres unless told otherwise.
std::string PlanDemGrid(const ContourOptions& o, const earth::DemTerrain& dem, GridPlan& plan) {
  const earth::CellCentreGrid c = dem.CellCentres();
  if (!o.window && (c.cols < 2 || c.rows < 2))
    return "the DEM has " + std::to_string(c.cols) + " x " + std::to_string(c.rows) +
           " cells; contours need at least 2 x 2";
  const double cellW = c.cols > 1 ? (c.east - c.west) / (c.cols - 1) : 0;
  const double cellH = c.rows > 1 ? (c.north - c.south) / (c.rows - 1) : 0;
  if (o.window) {
    plan.window = *o.window;
    plan.cols = o.cols.value_or(NodesAcross(plan.window.east - plan.window.west, cellW));
    plan.rows = o.rows.value_or(NodesAcross(plan.window.north - plan.window.south, cellH));
  } else {
    plan.window = {c.west, c.south, c.east, c.north};
    plan.cols = o.cols.value_or(std::min(c.cols, contour::kMaxGridSide));
    plan.rows = o.rows.value_or(std::min(c.rows, contour::kMaxGridSide));
  }
  return {};
}

void ApplySettings(const ContourOptions& o, contour::Contour& c) {
  // A first run uses what the contour dialog sets when it loads.
  c.SetStartupDefaults();
  c.SetDialogDefaults();
  if (o.levels) {
    c.LevelMode = static_cast<contour::Integer>(o.levels->mode);
    c.NumLevels = static_cast<contour::Integer>(o.levels->count);
    c.LevelInterval = static_cast<contour::Integer>(o.levels->interval);
    if (o.levels->mode == contour::kLevelsFromList) c.LevelList = o.levels->list;
  }
  c.LabelContours = o.labels;
  if (o.width) c.LineWidth = *o.width;
  if (o.opacity) c.LineOpacity = static_cast<contour::Integer>(*o.opacity);
  if (o.lowColor) c.LowColor = *o.lowColor;
  if (o.highColor) c.HighColor = *o.highColor;
  // No sampling comes first: the run owns the whole progress bar.
  c.RetraceOnly = true;
}

ContourCommandResult Fail(ContourCommandResult r, std::string message) {
  r.exitCode = 1;
  r.error = std::move(message);
  return r;
}

}  // namespace

ContourCommandResult RunContourCommand(const ContourOptions& o, win::Desktop& desktop,
                                       contour::ProgressBar* progress) {
  ContourCommandResult r;
  std::shared_ptr<const earth::TerrainSource> terrain;
  GridPlan plan{kDefaultWindow, o.cols.value_or(20), o.rows.value_or(20)};
  if (o.window) plan.window = *o.window;
  if (o.dem) {
    try {
      auto dem = earth::DemTerrain::Open(*o.dem);
      if (auto err = PlanDemGrid(o, *dem, plan); !err.empty()) return Fail(r, *o.dem + ": " + err);
      terrain = std::move(dem);
    } catch (const earth::DemError& e) {
      return Fail(r, e.what());
    }
  } else {
    terrain = std::make_shared<earth::ProceduralTerrain>();
  }

  std::error_code ec;
  if (!std::filesystem::is_directory(o.dir, ec))
    return Fail(r, "the folder '" + o.dir + "' does not exist");
  const std::string path = (std::filesystem::path(o.dir) / "contour.kml").string();

  r.globe = earth::Globe::Start(desktop, terrain);
  runtime::Pcg32 random = o.seed ? runtime::Pcg32(*o.seed) : runtime::Pcg32::FromClock();
  contour::Contour c(desktop, random);
  if (progress) {
    c.set_progress_bar(progress);
    progress->SetMin(0);
    progress->SetMax(100);
    progress->SetValue(0);
  }
  ApplySettings(o, c);
  const auto* source = terrain.get();
  if (auto err = contour::FillGrid(c, plan.window, plan.cols, plan.rows,
                                   [source](double lon, double lat) {
                                     return source->HeightAt(lon, lat);
                                   });
      !err.empty())
    return Fail(r, err);

  r.cols = plan.cols;
  r.rows = plan.rows;
  const std::size_t messagesBefore = desktop.MessageBoxLog().size();
  const auto start = std::chrono::steady_clock::now();
  try {
    r.run = c.MakeContourFile(path);
  } catch (const host::AutomationError& e) {
    return Fail(r, std::string("the globe refused the contour file: ") + e.what());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!r.run.opened) {
    const auto& log = desktop.MessageBoxLog();
    std::string why = log.size() > messagesBefore ? log.back().text : "the contour run failed";
    std::replace(why.begin(), why.end(), '\r', ' ');
    why.erase(std::remove(why.begin(), why.end(), '\n'), why.end());
    return Fail(r, why);
  }

  char line[512];
  std::snprintf(line, sizeof line, "%s: %d levels, %llu segments, %llu labels, %llu bytes, %.3f s",
                path.c_str(), r.run.levels, static_cast<unsigned long long>(r.run.segments),
                static_cast<unsigned long long>(c.LabelContours ? r.run.labels : 0),
                static_cast<unsigned long long>(r.run.bytes), seconds);
  r.summary = line;
  return r;
}

}  // namespace altimar::app
