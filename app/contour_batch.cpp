#include "app/contour_batch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "contour/contour_command.h"
#include "contour/grid_fill.h"
#include "app/output_paths.h"
#include "app/program.h"
#include "host/mouse_hooks.h"
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

// --window picks a part of the DEM's cells; the camera options and the
// screenshot contour the globe's view instead, where it would be ignored.
std::string CheckWindow(const ContourOptions& o) {
  if (!o.window) return {};
  if (!o.dem) return "--window needs --dem: it picks a part of the DEM's cells";
  if (o.HasCamera() || o.screenshot)
    return "--window cannot go with a camera option or --screenshot, which contour the globe's view";
  return {};
}

// Whether any grid node holds a height.
bool GridHasHeights(contour::Contour& c) {
  for (int j = 0; j < c.GridRows; ++j)
    for (int i = 0; i < c.GridCols; ++i)
      if (c.Heights(i, j) < contour::kNoDataThreshold) return true;
  return false;
}

ContourBatchResult Fail(ContourBatchResult r, std::string message) {
  r.exitCode = 1;
  r.error = std::move(message);
  return r;
}

}  // namespace

namespace {

std::string Summary(const std::string& path, const contour::ContourRunResult& run, bool labels,
                    double seconds) {
  char line[512];
  std::snprintf(line, sizeof line, "%s: %d levels, %llu segments, %llu labels, %llu bytes, %.3f s",
                path.c_str(), run.levels, static_cast<unsigned long long>(run.segments),
                static_cast<unsigned long long>(labels ? run.labels : 0),
                static_cast<unsigned long long>(run.bytes), seconds);
  return line;
}

std::string LastMessage(const win::Desktop& desktop, std::size_t before, const char* otherwise) {
  const auto& log = desktop.MessageBoxLog();
  std::string why = log.size() > before ? log.back().text : otherwise;
  std::replace(why.begin(), why.end(), '\r', ' ');
  why.erase(std::remove(why.begin(), why.end(), '\n'), why.end());
  return why;
}

// Shows progress on the program's bar and on the terminal alike.
class MirroredProgress final : public forms::IProgressBar {
 public:
  MirroredProgress(forms::IProgressBar& bar, forms::IProgressBar* mirror) : bar_(bar), mirror_(mirror) {}
  bool Visible() const override { return bar_.Visible(); }
  void SetVisible(bool v) override {
    bar_.SetVisible(v);
    if (mirror_) mirror_->SetVisible(v);
  }
  double Min() const override { return bar_.Min(); }
  void SetMin(double v) override {
    bar_.SetMin(v);
    if (mirror_) mirror_->SetMin(v);
  }
  double Max() const override { return bar_.Max(); }
  void SetMax(double v) override {
    bar_.SetMax(v);
    if (mirror_) mirror_->SetMax(v);
  }
  double Value() const override { return bar_.Value(); }
  void SetValue(double v) override {
    bar_.SetValue(v);
    if (mirror_) mirror_->SetValue(v);
  }

 private:
  forms::IProgressBar& bar_;
  forms::IProgressBar* mirror_;
};

// The screen centre of a toolbar button, or nullopt when it is not shown.
std::optional<win::POINT> ButtonOnScreen(win::Desktop& d, forms::Toolbar& bar, const std::string& key) {
  win::RECT r, b;
  if (!d.IsWindowVisible(bar.hwnd()) || !d.GetWindowRect(bar.hwnd(), &r) || !bar.ButtonRect(key, b))
    return std::nullopt;
  return win::POINT{r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2};
}

// The contour command over the globe's view, as a user gives it: the
// program starts embedded in the globe, Ctrl+F9 shows its contour toolbar,
// and a click on "Create new Contours" samples the view and writes the file.
ContourBatchResult SampleAndContour(const ContourOptions& o, win::Desktop& desktop,
                                    std::shared_ptr<const earth::TerrainSource> terrain,
                                    contour::ProgressBar* progress) {
  ContourBatchResult r;
  earth::GlobeOptions go;
  go.camera.focusLatitude = o.lat.value_or(kDefaultLat);
  go.camera.focusLongitude = o.lon.value_or(kDefaultLon);
  go.camera.range = o.range.value_or(kDefaultRange);
  go.camera.tilt = o.tilt.value_or(0);
  go.camera.azimuth = o.azimuth.value_or(0);
  r.globe = earth::Globe::Start(desktop, std::move(terrain), go);
  // The globe takes a moment to start.
  for (int k = 0; k < 10000 && r.globe->IsInitialized() == 0; ++k) desktop.Sleep(1);

  const std::size_t before = desktop.MessageBoxLog().size();
  Program program(desktop, o.dir, o.seed.value_or(runtime::Pcg32::FromClock().NextU32()));
  program.Start();
  if (program.ended()) return Fail(r, LastMessage(desktop, before, "the program did not start"));
  workspace::FrmQuarlin& q = program.frmQuarlin;
  MirroredProgress bar(q.ProgressBar1, progress);
  program.contour.set_progress_bar(&bar);

  // The settings, as the contour dialog would take them.
  q.LoadContourDialog();
  contour::Contour& c = program.contour;
  ApplySettings(o, c);
  c.RetraceOnly = false;
  c.GridCols = o.cols.value_or(contour::kContourDefaults.gridCols);
  c.GridRows = o.rows.value_or(contour::kContourDefaults.gridRows);
  c.SamplingMode = static_cast<contour::Integer>(o.sampling);
  r.cols = c.GridCols;
  r.rows = c.GridRows;

  desktop.SetForegroundWindow(r.globe->GetMainHwnd());
  desktop.InjectKey(win::VK_CONTROL, true);
  desktop.InjectKey(win::VK_F9, true);
  desktop.InjectKey(win::VK_F9, false);
  desktop.InjectKey(win::VK_CONTROL, false);
  desktop.DoEvents();
  const auto button = ButtonOnScreen(desktop, q.Toolbar1, "contour");
  if (!button) return Fail(r, "the contour toolbar did not appear in the globe's menu bar");

  const std::string path = (std::filesystem::path(o.dir) / "contour.kml").string();
  const auto start = std::chrono::steady_clock::now();
  desktop.InjectClick(button->x, button->y);
  desktop.DoEvents();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const contour::ContourCommandResult& done = q.lastContour;
  r.run = done.run;
  if (!done.sampled) return Fail(r, LastMessage(desktop, before, "sampling was cancelled"));
  if (!r.run.opened) return Fail(r, LastMessage(desktop, before, "the contour run failed"));
  r.summary = Summary(path, r.run, c.LabelContours, seconds);
  if (o.screenshot) {
    if (auto err = desktop.SaveScreenPng(*o.screenshot); !err.empty())
      return Fail(r, "the screenshot could not be written: " + err);
  }
  return r;
}

}  // namespace

ContourBatchResult RunContourBatch(const ContourOptions& o, win::Desktop& desktop,
                                   contour::ProgressBar* progress) {
  ContourBatchResult r;
  // Every output and option is checked before anything is read or written.
  if (auto err = CheckContourOutputs(o); !err.empty()) return Fail(r, err);
  if (auto err = CheckWindow(o); !err.empty()) return Fail(r, err);
  std::shared_ptr<const earth::TerrainSource> terrain;
  GridPlan plan{kDefaultWindow, o.cols.value_or(contour::kContourDefaults.gridCols),
                o.rows.value_or(contour::kContourDefaults.gridRows)};
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

  if (!o.dem || o.HasCamera() || o.screenshot)
    return SampleAndContour(o, desktop, std::move(terrain), progress);
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
  if (!GridHasHeights(c))
    return Fail(r, "no grid node has a height in " + *o.dem + (o.window ? " inside the window" : "") +
                       ": every node falls on no-data or outside the DEM");

  r.cols = plan.cols;
  r.rows = plan.rows;
  const std::size_t messagesBefore = desktop.MessageBoxLog().size();
  const auto start = std::chrono::steady_clock::now();
  try {
    r.run = c.MakeContourFile(path);
  } catch (const automation::AutomationError& e) {
    return Fail(r, std::string("the globe refused the contour file: ") + e.what());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!r.run.opened) return Fail(r, LastMessage(desktop, messagesBefore, "the contour run failed"));
  r.summary = Summary(path, r.run, c.LabelContours, seconds);
  return r;
}

}  // namespace altimar::app
