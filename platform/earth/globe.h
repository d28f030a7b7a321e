// The globe application: a program of its own on the desktop with a main
// window (class "QWidget", titled "Google Earth"), a "menubar" child and a
// render window below it; a spherical Earth with a camera that flies over
// clock time, terrain from a TerrainSource, places, and KML loaded from
// files or text. It is also its own automation object, registered on the
// desktop while it runs. Closing its main window ends it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/automation/ge_interfaces.h"
#include "platform/earth/camera_info.h"
#include "platform/earth/features.h"
#include "platform/earth/geometry.h"
#include "platform/earth/terrain_source.h"
#include "platform/win/desktop.h"

namespace altimar::earth {

struct GlobeOptions {
  std::string title = "Google Earth";  // or "Google Earth Plus", "Google Earth Pro"
  win::RECT placement{0, 0, 1024, 768};
  CameraState camera;
};

class Globe final : public automation::IApplicationGE {
 public:
  // Starts a globe over terrain: its windows, and it becomes the running one.
  static std::shared_ptr<Globe> Start(win::Desktop& desktop,
                                      std::shared_ptr<const TerrainSource> terrain,
                                      GlobeOptions options = {});
  // Ends it: windows gone, no longer the running globe (references still
  // held keep the object, as with an automation server that has gone).
  void Quit();
  bool running() const { return registered_; }
  ~Globe() override;

  // --- automation interface ---
  std::shared_ptr<automation::ICameraInfoGE> GetCamera(int considerTerrain) override;
  void SetCamera(const automation::ICameraInfoGE& camera, double speed) override;
  int get_StreamingProgressPercentage() override;
  void OpenKmlFile(const std::string& fileName, int suppressMessages) override;
  void LoadKmlData(const std::string& kmlData) override;
  double get_AutoPilotSpeed() override { return autoPilotSpeed_; }
  void put_AutoPilotSpeed(double v) override;
  std::shared_ptr<automation::IViewExtentsGE> get_ViewExtents() override;
  std::shared_ptr<automation::IPointOnTerrainGE> GetPointOnTerrainFromScreenCoords(
      double x, double y) override;
  int IsInitialized() override;
  std::shared_ptr<automation::IFeatureGE> GetMyPlaces() override { return myPlaces_; }
  std::shared_ptr<automation::IFeatureGE> GetTemporaryPlaces() override {
    return temporaryPlaces_;
  }
  double get_ElevationExaggeration() override { return exaggeration_; }
  void put_ElevationExaggeration(double v) override;
  win::HWND GetMainHwnd() override;
  win::HWND GetRenderHwnd() override;

  // --- the application's own side (front ends and tests) ---
  // The camera now (during a flight, where the flight has got to).
  CameraState camera() const;
  bool flying() const;
  void SetTerrainLayer(bool on) {
    terrainLayer_ = on;
    Invalidate();
  }
  // Ground height the globe shows at a point: terrain times exaggeration, 0
  // with the terrain layer off or where the source has no data.
  double GroundHeight(double lon, double lat) const;
  const std::shared_ptr<Feature>& temporaryPlaces() const { return temporaryPlaces_; }
  // Every file path OpenKmlFile was asked to open, in order, failed or not.
  const std::vector<std::string>& openRequests() const { return openRequests_; }
  // A slow globe, for tests: each terrain query takes this long on the clock.
  void SetQueryDelayMs(std::uint32_t ms) { queryDelayMs_ = ms; }
  // How many terrain points the automation interface has been asked for.
  std::uint64_t terrainQueries() const { return terrainQueries_; }
  win::HWND menubar() const { return menubar_; }
  ViewFrame Frame() const;
  // Paints the render window now (the desktop asks for it before composing).
  void Paint();

  static constexpr std::uint64_t kStartUpMs = 300;

 private:
  Globe(win::Desktop& desktop, std::shared_ptr<const TerrainSource> terrain);
  void CreateWindows(const GlobeOptions& o);
  void Layout();
  win::HWND RequireWindow(win::HWND h, const char* what) const;
  double Aspect() const;
  void CameraMoved(const CameraState& from, const CameraState& to);

  win::Desktop& desktop_;
  std::shared_ptr<const TerrainSource> terrain_;
  int program_ = 0;
  win::HWND main_ = 0, menubar_ = 0, render_ = 0;
  std::uint64_t startMs_ = 0;
  std::uint64_t terrainQueries_ = 0;
  // The camera: where a flight started, where it goes, and when.
  CameraState from_, to_;
  std::uint64_t flightStartMs_ = 0, flightMs_ = 0;
  std::uint64_t streamMs_ = 0;  // how long streaming takes after the camera stops
  std::uint32_t queryDelayMs_ = 0;
  double lastAltitude_ = 0;  // where the last terrain query found the ground
  std::unique_ptr<class Renderer> renderer_;
  void Invalidate();
  // Navigation by the mouse over the render window.
  win::LRESULT RenderProc(win::UINT msg, win::WPARAM wp, win::LPARAM lp);
  struct Drag {
    bool active = false, turning = false;
    win::POINT start;
    CameraState camera;
    std::uint64_t lastDownMs = 0;
    win::POINT lastDown{-100, -100};
  } drag_;
  double autoPilotSpeed_ = 1.0;
  double exaggeration_ = 1.0;
  bool terrainLayer_ = true;
  bool registered_ = false;
  std::shared_ptr<Feature> myPlaces_ = std::make_shared<Feature>("My Places");
  std::shared_ptr<Feature> temporaryPlaces_ = std::make_shared<Feature>("Temporary Places");
  std::vector<std::string> openRequests_;
};

}  // namespace altimar::earth
