// The contour module: one height grid with its longitude and latitude axes,
// the settings that decide the levels and their look, and the contour run
// that turns the grid into contour.kml and has the globe open it.
//
// The state is public, as module variables are: the samplers fill the grid,
// the contour dialog edits the settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "contour/contour_defaults.h"
#include "contour/progress_bar.h"
#include "host/application_ge.h"
#include "host/mouse_hooks.h"
#include "platform/runtime/numeric.h"
#include "platform/runtime/random.h"
#include "platform/win/desktop.h"

namespace altimar::contour {

// Sizes of the fixed arrays: indices 0..1000.
inline constexpr int kMaxIndex = 1000;
inline constexpr int kArraySize = kMaxIndex + 1;
// Grid values at or above this are no data: their cells are never traced.
inline constexpr double kNoDataThreshold = 1e37;
// What grid fillers store where the terrain has no data.
inline constexpr double kNoDataHeight = 1e38;

// What a contour run produced.
struct ContourRunResult {
  bool written = false;     // the file was written completely
  bool opened = false;      // and the globe was asked to open it
  int levels = 0;           // NumLevels of the run
  std::uint64_t segments = 0;
  std::uint64_t labels = 0;  // labels drawn by the tracer (written only with LabelContours)
  std::uint64_t bytes = 0;   // size of the file
};

class Contour {
 public:
  Contour(win::Desktop& desktop, runtime::Random& random);

  // --- height grid and axes ---
  // Heights(i, j): column i (west to east), row j (south to north).
  double& Heights(int i, int j) { return heights_[Index(i, j)]; }
  double Heights(int i, int j) const { return heights_[Index(i, j)]; }
  const double* HeightData() const { return heights_.data(); }
  static constexpr std::size_t kRowStride = kArraySize;
  std::array<double, kArraySize> LonAxis{};
  std::array<double, kArraySize> LatAxis{};
  Long GridCols = kContourDefaults.gridCols;
  Long GridRows = kContourDefaults.gridRows;
  bool GridReady = false;

  // --- levels ---
  Integer LevelMode = kContourDefaults.startupLevelMode;
  Integer NumLevels = kContourDefaults.numLevels;
  Integer LevelInterval = kContourDefaults.startupLevelInterval;
  std::string LevelList;  // empty until the start-up defaults
  std::array<double, kArraySize> Levels{};

  // --- appearance and behaviour ---
  bool LabelContours = kContourDefaults.labelContours;
  float LineWidth = kContourDefaults.lineWidth;
  Integer LineOpacity = kContourDefaults.lineOpacity;
  Long LowColor = kContourDefaults.lowColor;
  Long HighColor = kContourDefaults.highColor;
  Integer SamplingMode = kContourDefaults.samplingMode;
  Long SampleDelayMs = kContourDefaults.sampleDelayMs;
  bool ShowProgress = kContourDefaults.startupShowProgress;
  bool RetraceOnly = false;
  bool CancelSampling = false;
  double ViewWest = 0, ViewEast = 0, ViewSouth = 0, ViewNorth = 0;
  double FlyRange = 1000.0;
  Integer GESettleMs = kContourDefaults.geSettleMs;

  // The defaults set at program start, and those the contour dialog sets
  // each time it loads (both from kContourDefaults). Each leaves the
  // settings it does not name as they are.
  void SetStartupDefaults();
  void SetDialogDefaults();

  // --- level modes; each returns false (and leaves Levels and NumLevels as
  // they were) when the levels would not fit in the 1001 entries ---
  bool LevelsByCount();
  bool LevelsByInterval();
  bool LevelsFromList();
  // Calls the mode's builder; any other mode leaves the levels as they are.
  // On refusal shows the program's message and returns false.
  bool BuildLevels();

  // The contour run: levels, tracing, contour.kml at path, then the globe
  // opens it. Shows a message and writes nothing when the levels or the file
  // fail. Errors of the globe calls propagate as automation::AutomationError.
  ContourRunResult MakeContourFile(const std::string& path);
  // The same run without asking the globe to open the file.
  ContourRunResult WriteContourFile(const std::string& path);
  // Has the globe load the file and puts the camera back where it was.
  void OpenInGoogleEarth(const std::string& path);

  // --- terrain sampling through the globe (true on success) ---
  bool SampleScreenGrid();
  bool SampleByFlying();
  void LookStraightDown();
  bool RangeWithin(double limit);
  bool TerrainLayerOn();
  double PickTestSpot(double& lat, double& lon);
  void FlyToPoint(double lat, double lon);
  void FlyToPointTopDown(double lat, double lon, double range);
  double CentreAltitude();
  double FlyAndSample(double lat, double lon, double range);
  struct TerrainPointResult {
    double lon = 0, lat = 0, alt = 0;
  };
  // The point under a view position; false when the query took half a second or more.
  bool TerrainPoint(double x, double y, TerrainPointResult& point);
  void CaptureViewExtents();
  // The message that the camera is too high to sample.
  void ShowTooHighMessage();
  // The streaming wait of FlyAndSample gives up after this much clock time.
  static constexpr std::uint64_t kStreamingWaitMs = 10000;

  // The mouse-hook module (for the lock client while sampling); none: no lock.
  void set_mouse_hooks(host::MouseHooks* hooks) { hooks_ = hooks; }

  // ProgressBar1 of the workspace form; progress goes nowhere without one.
  void set_progress_bar(ProgressBar* bar) { progressBar_ = bar; }
  ProgressBar* progress_bar() { return progressBar_; }

  host::ApplicationGE objGE;

 private:
  void SetSharedDefaults();
  static std::size_t Index(int i, int j) {
    return static_cast<std::size_t>(j) * kRowStride + static_cast<std::size_t>(i);
  }
  // The height range scan: lo and hi as 16-bit Integers.
  void ScanHeightRange(Integer& lo, Integer& hi);
  void ShowMessage(const std::string& text);

  win::Desktop& desktop_;
  runtime::Random& random_;
  ProgressBar* progressBar_ = nullptr;
  PlainProgressBar detachedBar_;
  host::MouseHooks* hooks_ = nullptr;
  void PutCameraBack(automation::ICameraInfoGE& camera);
  void SettleWait();
  void ShowSamplingMessage(const char* first, const char* second);
  std::vector<double> heights_;
};

}  // namespace altimar::contour
