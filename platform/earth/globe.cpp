#include "platform/earth/globe.h"

#include <algorithm>
#include <cmath>

#include "platform/earth/kml_places.h"

namespace altimar::earth {

Globe::Globe(win::Desktop& desktop, std::shared_ptr<const TerrainSource> terrain)
    : desktop_(desktop), terrain_(std::move(terrain)) {}

Globe::~Globe() = default;

std::shared_ptr<Globe> Globe::Start(win::Desktop& desktop,
                                    std::shared_ptr<const TerrainSource> terrain) {
  std::shared_ptr<Globe> g(new Globe(desktop, std::move(terrain)));
  desktop.RunningObjects().Register(host::kApplicationGEClsid, g);
  g->registered_ = true;
  return g;
}

void Globe::Quit() {
  if (!registered_) return;
  auto running = desktop_.RunningObjects().Get(host::kApplicationGEClsid);
  if (running.get() == static_cast<win::IUnknown*>(this))
    desktop_.RunningObjects().Revoke(host::kApplicationGEClsid);
  registered_ = false;
}

double Globe::GroundHeight(double lon, double lat) const {
  if (!terrainLayer_ || !terrain_) return 0.0;
  const auto h = terrain_->HeightAt(lon, lat);
  return h ? *h * exaggeration_ : 0.0;
}

std::shared_ptr<host::ICameraInfoGE> Globe::GetCamera(int considerTerrain) {
  CameraState s = camera_;
  if (considerTerrain != 0) s.focusAltitude = GroundHeight(s.focusLongitude, s.focusLatitude);
  return std::make_shared<CameraInfo>(s);
}

void Globe::SetCamera(const host::ICameraInfoGE& camera, double speed) {
  if (!(speed > 0)) throw host::AutomationError("SetCamera: the speed must be above 0");
  CameraState s;
  s.focusLatitude = std::clamp(camera.get_FocusPointLatitude(), -90.0, 90.0);
  double lon = std::fmod(camera.get_FocusPointLongitude() + 180.0, 360.0);
  if (lon < 0) lon += 360.0;
  s.focusLongitude = lon - 180.0;
  s.focusAltitude = camera.get_FocusPointAltitude();
  s.altitudeMode = camera.get_FocusPointAltitudeMode();
  s.range = std::max(0.0, camera.get_Range());
  s.tilt = std::clamp(camera.get_Tilt(), 0.0, 90.0);
  s.azimuth = camera.get_Azimuth();
  if (!std::isfinite(s.focusLatitude) || !std::isfinite(s.focusLongitude) ||
      !std::isfinite(s.range) || !std::isfinite(s.tilt) || !std::isfinite(s.azimuth))
    throw host::AutomationError("SetCamera: the camera is not a valid position");
  // Flights are instant until the globe has a view to animate.
  camera_ = s;
}

void Globe::put_AutoPilotSpeed(double v) {
  if (!(v >= 0)) throw host::AutomationError("AutoPilotSpeed must not be negative");
  autoPilotSpeed_ = v;
}

void Globe::put_ElevationExaggeration(double v) {
  if (!(v >= 0 && v <= 3)) throw host::AutomationError("ElevationExaggeration must be 0 to 3");
  exaggeration_ = v;
}

void Globe::OpenKmlFile(const std::string& fileName, int /*suppressMessages*/) {
  openRequests_.push_back(fileName);
  KmlLoadResult r = LoadKmlFile(fileName);
  if (!r.root) throw host::AutomationError("OpenKmlFile: " + fileName + ": " + r.error);
  temporaryPlaces_->ReplaceOrAddBySource(r.root);
}

void Globe::LoadKmlData(const std::string& kmlData) {
  KmlLoadResult r = LoadKmlText(kmlData);
  if (!r.root) throw host::AutomationError("LoadKmlData: " + r.error);
  temporaryPlaces_->AddChild(r.root);
}

std::shared_ptr<host::IViewExtentsGE> Globe::get_ViewExtents() {
  throw host::AutomationError("ViewExtents: this globe has no view yet");
}

std::shared_ptr<host::IPointOnTerrainGE> Globe::GetPointOnTerrainFromScreenCoords(double,
                                                                                  double) {
  throw host::AutomationError("GetPointOnTerrainFromScreenCoords: this globe has no view yet");
}

win::HWND Globe::GetMainHwnd() {
  throw host::AutomationError("GetMainHwnd: this globe has no window yet");
}

win::HWND Globe::GetRenderHwnd() {
  throw host::AutomationError("GetRenderHwnd: this globe has no window yet");
}

}  // namespace altimar::earth
