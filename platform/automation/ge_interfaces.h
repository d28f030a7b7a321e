// The globe's automation interfaces (its type library): the globe implements
// them, the add-on calls them. Properties keep the automation names with
// get_/put_ prefixes; every call that fails throws AutomationError.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/win/running_objects.h"
#include "platform/win/win_types.h"

namespace altimar::automation {

// Class id under which the running globe registers its application object.
inline constexpr const char* kApplicationGEClsid = "{8097D7E9-DB9E-4AEF-9B28-61D82A1DF784}";

// A failing automation call.
class AutomationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ICameraInfoGE {
 public:
  virtual ~ICameraInfoGE() = default;
  virtual double get_FocusPointLatitude() const = 0;
  virtual void put_FocusPointLatitude(double v) = 0;
  virtual double get_FocusPointLongitude() const = 0;
  virtual void put_FocusPointLongitude(double v) = 0;
  virtual double get_FocusPointAltitude() const = 0;
  virtual void put_FocusPointAltitude(double v) = 0;
  // 1 relative to ground, 2 absolute.
  virtual int get_FocusPointAltitudeMode() const = 0;
  virtual void put_FocusPointAltitudeMode(int v) = 0;
  virtual double get_Range() const = 0;
  virtual void put_Range(double v) = 0;
  virtual double get_Tilt() const = 0;
  virtual void put_Tilt(double v) = 0;
  virtual double get_Azimuth() const = 0;
  virtual void put_Azimuth(double v) = 0;
};

class IPointOnTerrainGE {
 public:
  virtual ~IPointOnTerrainGE() = default;
  virtual double get_Latitude() const = 0;
  virtual double get_Longitude() const = 0;
  virtual double get_Altitude() const = 0;
};

class IViewExtentsGE {
 public:
  virtual ~IViewExtentsGE() = default;
  virtual double get_North() const = 0;
  virtual double get_South() const = 0;
  virtual double get_East() const = 0;
  virtual double get_West() const = 0;
};

class IFeatureCollectionGE;

class IFeatureGE {
 public:
  virtual ~IFeatureGE() = default;
  virtual std::string get_Name() const = 0;
  virtual int get_Visibility() const = 0;
  virtual void put_Visibility(int v) = 0;
  virtual std::shared_ptr<IFeatureCollectionGE> GetChildren() const = 0;
};

class IFeatureCollectionGE {
 public:
  virtual ~IFeatureCollectionGE() = default;
  virtual int get_Count() const = 0;
  // 1-based; out of range throws AutomationError.
  virtual std::shared_ptr<IFeatureGE> Item(int index) const = 0;
};

class IApplicationGE : public win::IUnknown {
 public:
  virtual std::shared_ptr<ICameraInfoGE> GetCamera(int considerTerrain) = 0;
  virtual void SetCamera(const ICameraInfoGE& camera, double speed) = 0;
  virtual int get_StreamingProgressPercentage() = 0;
  virtual void OpenKmlFile(const std::string& fileName, int suppressMessages) = 0;
  virtual void LoadKmlData(const std::string& kmlData) = 0;
  virtual double get_AutoPilotSpeed() = 0;
  virtual void put_AutoPilotSpeed(double v) = 0;
  virtual std::shared_ptr<IViewExtentsGE> get_ViewExtents() = 0;
  virtual std::shared_ptr<IPointOnTerrainGE> GetPointOnTerrainFromScreenCoords(double x,
                                                                               double y) = 0;
  virtual int IsInitialized() = 0;
  virtual std::shared_ptr<IFeatureGE> GetMyPlaces() = 0;
  virtual std::shared_ptr<IFeatureGE> GetTemporaryPlaces() = 0;
  virtual double get_ElevationExaggeration() = 0;
  virtual void put_ElevationExaggeration(double v) = 0;
  virtual win::HWND GetMainHwnd() = 0;
  virtual win::HWND GetRenderHwnd() = 0;
};

}  // namespace altimar::automation
