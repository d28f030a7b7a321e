// The globe application as the add-on sees it: a spherical Earth with a
// camera, a terrain source, places, and KML loaded from files or text. It is
// also its own automation object, registered on the desktop while it runs.
//
// This first globe has no windows yet: the view-dependent calls (view
// extents, terrain under a view position, window handles) fail with an
// AutomationError until the globe gets its render view.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/ge_interfaces.h"
#include "platform/earth/camera_info.h"
#include "platform/earth/features.h"
#include "platform/earth/terrain_source.h"
#include "platform/win/desktop.h"

namespace altimar::earth {

class Globe final : public host::IApplicationGE {
 public:
  // Starts a globe over terrain and registers it as the running one.
  static std::shared_ptr<Globe> Start(win::Desktop& desktop,
                                      std::shared_ptr<const TerrainSource> terrain);
  // Ends it: it is no longer the running globe (references still held keep
  // the object, as with an automation server that has gone).
  void Quit();
  ~Globe() override;

  // --- automation interface ---
  std::shared_ptr<host::ICameraInfoGE> GetCamera(int considerTerrain) override;
  void SetCamera(const host::ICameraInfoGE& camera, double speed) override;
  int get_StreamingProgressPercentage() override { return 100; }
  void OpenKmlFile(const std::string& fileName, int suppressMessages) override;
  void LoadKmlData(const std::string& kmlData) override;
  double get_AutoPilotSpeed() override { return autoPilotSpeed_; }
  void put_AutoPilotSpeed(double v) override;
  std::shared_ptr<host::IViewExtentsGE> get_ViewExtents() override;
  std::shared_ptr<host::IPointOnTerrainGE> GetPointOnTerrainFromScreenCoords(double x,
                                                                             double y) override;
  int IsInitialized() override { return 1; }
  std::shared_ptr<host::IFeatureGE> GetMyPlaces() override { return myPlaces_; }
  std::shared_ptr<host::IFeatureGE> GetTemporaryPlaces() override { return temporaryPlaces_; }
  double get_ElevationExaggeration() override { return exaggeration_; }
  void put_ElevationExaggeration(double v) override;
  win::HWND GetMainHwnd() override;
  win::HWND GetRenderHwnd() override;

  // --- the application's own side (front ends and tests) ---
  const CameraState& camera() const { return camera_; }
  void SetTerrainLayer(bool on) { terrainLayer_ = on; }
  // Ground height the globe shows at a point: terrain times exaggeration, 0
  // with the terrain layer off or where the source has no data.
  double GroundHeight(double lon, double lat) const;
  const std::shared_ptr<Feature>& temporaryPlaces() const { return temporaryPlaces_; }
  // Every file path OpenKmlFile was asked to open, in order, failed or not.
  const std::vector<std::string>& openRequests() const { return openRequests_; }

 private:
  Globe(win::Desktop& desktop, std::shared_ptr<const TerrainSource> terrain);

  win::Desktop& desktop_;
  std::shared_ptr<const TerrainSource> terrain_;
  CameraState camera_;
  double autoPilotSpeed_ = 1.0;
  double exaggeration_ = 1.0;
  bool terrainLayer_ = true;
  bool registered_ = false;
  std::shared_ptr<Feature> myPlaces_ = std::make_shared<Feature>("My Places");
  std::shared_ptr<Feature> temporaryPlaces_ = std::make_shared<Feature>("Temporary Places");
  std::vector<std::string> openRequests_;
};

}  // namespace altimar::earth
