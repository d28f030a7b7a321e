// Terrain sampling through the globe: the height grid from the terrain
// points under a grid over the view, or from flights over its extents.
#include <algorithm>
#include <cmath>

#include "contour/contour.h"

namespace altimar::contour {

using automation::AutomationError;

namespace {
constexpr double kRangeLimit = 50000;
constexpr const char* kTooHigh[2] = {"Too high.", "Set it a bit lower and try again."};
constexpr const char* kTerrain[2] = {"Check Terrain in the Layers panel.", "Set it on and try again."};
constexpr const char* kProtect[2] = {"Google Earth is starting the protect mechanism.",
                                     "You need to restart Google Earth."};

// Pops the lock client however screen sampling ends.
class LockGuard {
 public:
  explicit LockGuard(host::MouseHooks* h) : h_(h) {}
  ~LockGuard() {
    if (h_) h_->HookPop();
  }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  host::MouseHooks* h_;
};
}  // namespace

// The pause that lets the globe settle after a camera move.
void Contour::SettleWait() { desktop_.Sleep(static_cast<std::uint32_t>(std::max<Integer>(GESettleMs, 0))); }

void Contour::ShowSamplingMessage(const char* first, const char* second) {
  ShowMessage(std::string(first) + "\r\n" + second);
}

void Contour::ShowTooHighMessage() { ShowSamplingMessage(kTooHigh[0], kTooHigh[1]); }

void Contour::PutCameraBack(automation::ICameraInfoGE& camera) {
  if (camera.get_Tilt() < 0) camera.put_Tilt(0);
  objGE->SetCamera(camera, 5.0);
}

void Contour::LookStraightDown() {
  auto camera = objGE->GetCamera(1);
  camera->put_Azimuth(0);
  camera->put_Tilt(0);
  if (camera->get_Tilt() < 0) camera->put_Tilt(0);
  try {
    desktop_.Sleep(10);
    objGE->SetCamera(*camera, 5.0);
  } catch (const AutomationError&) {
  }
}

bool Contour::RangeWithin(double limit) {
  auto camera = objGE->GetCamera(1);
  SettleWait();
  return camera->get_Range() <= limit;
}

double Contour::CentreAltitude() {
  if (objGE->IsInitialized() == 0) return 0;
  objGE->put_ElevationExaggeration(1.0);
  return objGE->GetPointOnTerrainFromScreenCoords(0, 0)->get_Altitude();
}

double Contour::PickTestSpot(double& lat, double& lon) {
  auto camera = objGE->GetCamera(1);
  desktop_.Sleep(20);
  const double focusLat = camera->get_FocusPointLatitude();
  const double focusLon = camera->get_FocusPointLongitude();
  const double altitude = camera->get_FocusPointAltitude();
  if (altitude > 0) {
    lat = focusLat;
    lon = focusLon;
  } else if (focusLat >= 0 && focusLon >= 0 && focusLon <= 60) {
    lat = 48.0;
    lon = 11.0;
  } else if (focusLat >= 0 && focusLon > 60 && focusLon <= 140) {
    lat = 48.0;
    lon = 105.0;
  } else if (focusLat >= 0 && focusLon >= -125 && focusLon <= -70) {
    lat = 20.52;
    lon = -100.0;
  } else {
    lat = 48.0;
    lon = 11.0;
  }
  return altitude;
}

void Contour::FlyToPoint(double lat, double lon) {
  auto camera = objGE->GetCamera(1);
  camera->put_FocusPointLatitude(lat);
  camera->put_FocusPointLongitude(lon);
  if (camera->get_Tilt() < 0) camera->put_Tilt(0);
  try {
    desktop_.Sleep(10);
    objGE->SetCamera(*camera, 5.0);
  } catch (const AutomationError&) {
  }
}

void Contour::FlyToPointTopDown(double lat, double lon, double range) {
  auto camera = objGE->GetCamera(1);
  camera->put_FocusPointLatitude(lat);
  camera->put_FocusPointLongitude(lon);
  camera->put_Range(range);
  camera->put_Azimuth(0);
  camera->put_Tilt(0);
  if (camera->get_Tilt() < 0) camera->put_Tilt(0);
  try {
    if (SampleDelayMs > 0) desktop_.Sleep(static_cast<std::uint32_t>(SampleDelayMs));
    objGE->SetCamera(*camera, 5.0);
  } catch (const AutomationError&) {
  }
}

double Contour::FlyAndSample(double lat, double lon, double range) {
  if (objGE->IsInitialized() == 0) return 0;
  FlyToPointTopDown(lat, lon, range);
  // Until streaming reads exactly 100: at first without pause, then a
  // millisecond between reads; after kStreamingWaitMs of clock time the node
  // takes the height the globe shows by then.
  const std::uint64_t start = desktop_.clock().NowMs();
  for (int polls = 0; objGE->get_StreamingProgressPercentage() != 100; ++polls) {
    if (desktop_.clock().NowMs() - start >= kStreamingWaitMs) break;
    if (polls >= 1000) desktop_.Sleep(1);
  }
  if (SampleDelayMs > 0) desktop_.Sleep(static_cast<std::uint32_t>(SampleDelayMs));
  objGE->put_ElevationExaggeration(1.0);
  return objGE->GetPointOnTerrainFromScreenCoords(0, 0)->get_Altitude();
}

bool Contour::TerrainPoint(double x, double y, TerrainPointResult& point) {
  // The time of day in tenths of a second, as the original measured it.
  const double t0 = runtime::RoundHalfEven(desktop_.clock().SecondsSinceMidnight() * 10);
  auto p = objGE->GetPointOnTerrainFromScreenCoords(x, y);
  point.lon = p->get_Longitude();
  point.lat = p->get_Latitude();
  point.alt = p->get_Altitude();
  const double elapsed = desktop_.clock().SecondsSinceMidnight() * 10 - t0;
  return elapsed < 5.0;
}

void Contour::CaptureViewExtents() {
  auto e = objGE->get_ViewExtents();
  ViewWest = e->get_West();
  ViewEast = e->get_East();
  ViewSouth = e->get_South();
  ViewNorth = e->get_North();
}

bool Contour::TerrainLayerOn() {
  if (CentreAltitude() > 0) return true;
  auto remembered = objGE->GetCamera(1);
  double lat = 0, lon = 0;
  PickTestSpot(lat, lon);
  FlyToPoint(lat, lon);
  SettleWait();
  for (int k = 0; k < 2; ++k) {
    if (CentreAltitude() <= 0) {
      SettleWait();
      FlyToPoint(lat, lon);
    }
  }
  const bool result = CentreAltitude() > 0;
  SettleWait();
  PutCameraBack(*remembered);
  return result;
}

bool Contour::SampleScreenGrid() {
  if (hooks_) {
    hooks_->LockWindow = objGE->GetMainHwnd();
    hooks_->LockClassName = "QWidget";
    hooks_->HookPush("CallMouseHookProc9_Lock");
  }
  LockGuard lock(hooks_);
  GESettleMs = 20;
  auto remembered = objGE->GetCamera(1);
  LookStraightDown();
  if (!RangeWithin(kRangeLimit)) {
    ShowSamplingMessage(kTooHigh[0], kTooHigh[1]);
    return false;
  }
  if (!TerrainLayerOn()) {
    ShowSamplingMessage(kTerrain[0], kTerrain[1]);
    return false;
  }
  for (Long j = 0; j < GridRows; ++j) {
    for (Long i = 0; i < GridCols; ++i) {
      const double x = 2.0 * i / GridCols - 1, y = 2.0 * j / GridRows - 1;
      TerrainPointResult point;
      if (!TerrainPoint(x, y, point)) {
        ShowSamplingMessage(kProtect[0], kProtect[1]);
        return false;
      }
      if (j == 0) LonAxis[static_cast<std::size_t>(i)] = point.lon;
      if (i == 0) LatAxis[static_cast<std::size_t>(j)] = point.lat;
      Heights(i, j) = point.alt;
      if (SampleDelayMs > 0) desktop_.Sleep(static_cast<std::uint32_t>(SampleDelayMs));
      desktop_.DoEvents();
    }
    if (ShowProgress) {
      SetProgressValue(*progressBar_, std::floor((j + 1.0) / GridRows * 100 * 0.5) + 1);
      desktop_.DoEvents();
    }
  }
  GridReady = true;
  SettleWait();
  PutCameraBack(*remembered);
  return true;
}

bool Contour::SampleByFlying() {
  auto remembered = objGE->GetCamera(1);
  LookStraightDown();
  CaptureViewExtents();
  FlyRange = 1000.0;
  if (!RangeWithin(kRangeLimit)) {
    ShowSamplingMessage(kTooHigh[0], kTooHigh[1]);
    return false;
  }
  if (!TerrainLayerOn()) {
    ShowSamplingMessage(kTerrain[0], kTerrain[1]);
    PutCameraBack(*remembered);
    return false;
  }
  CancelSampling = false;
  bool result = true;
  // A grid one node wide would divide by zero: its single node sits on the
  // west (south) edge.
  const double rowSteps = std::max<Long>(GridRows - 1, 1), colSteps = std::max<Long>(GridCols - 1, 1);
  for (Long j = 0; j < GridRows && result; ++j) {
    const double lat = ViewSouth + (ViewNorth - ViewSouth) * j / rowSteps;
    for (Long i = 0; i < GridCols; ++i) {
      const double lon = ViewWest + (ViewEast - ViewWest) * i / colSteps;
      if (j == 0 && i == 0) {
        FlyToPointTopDown(lat, lon, FlyRange);
        desktop_.Sleep(1500);
      }
      const double h = std::floor(FlyAndSample(lat, lon, FlyRange));
      if (h < 0) {
        ShowSamplingMessage(kTerrain[0], kTerrain[1]);
        PutCameraBack(*remembered);
        return false;
      }
      if (j == 0) LonAxis[static_cast<std::size_t>(i)] = lon;
      if (i == 0) LatAxis[static_cast<std::size_t>(j)] = lat;
      Heights(i, j) = h;
      desktop_.DoEvents();
      if (CancelSampling) {
        result = false;
        break;
      }
    }
    if (result && ShowProgress) {
      SetProgressValue(*progressBar_, std::floor((j + 1.0) / GridRows * 100 * 0.95) + 1);
      desktop_.DoEvents();
    }
  }
  PutCameraBack(*remembered);
  GridReady = true;
  return result;
}

}  // namespace altimar::contour
