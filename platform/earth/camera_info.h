// A camera snapshot: what GetCamera returns and SetCamera reads.
#pragma once

#include "platform/automation/ge_interfaces.h"

namespace altimar::earth {

struct CameraState {
  double focusLatitude = 47.3;
  double focusLongitude = 11.4;
  double focusAltitude = 0;
  int altitudeMode = 1;  // 1 relative to ground, 2 absolute
  double range = 30000;
  double tilt = 0;
  double azimuth = 0;
};

class CameraInfo final : public automation::ICameraInfoGE {
 public:
  explicit CameraInfo(const CameraState& s) : s_(s) {}
  const CameraState& state() const { return s_; }

  double get_FocusPointLatitude() const override { return s_.focusLatitude; }
  void put_FocusPointLatitude(double v) override { s_.focusLatitude = v; }
  double get_FocusPointLongitude() const override { return s_.focusLongitude; }
  void put_FocusPointLongitude(double v) override { s_.focusLongitude = v; }
  double get_FocusPointAltitude() const override { return s_.focusAltitude; }
  void put_FocusPointAltitude(double v) override { s_.focusAltitude = v; }
  int get_FocusPointAltitudeMode() const override { return s_.altitudeMode; }
  void put_FocusPointAltitudeMode(int v) override { s_.altitudeMode = v; }
  double get_Range() const override { return s_.range; }
  void put_Range(double v) override { s_.range = v; }
  double get_Tilt() const override { return s_.tilt; }
  void put_Tilt(double v) override { s_.tilt = v; }
  double get_Azimuth() const override { return s_.azimuth; }
  void put_Azimuth(double v) override { s_.azimuth = v; }

 private:
  CameraState s_;
};

}  // namespace altimar::earth
