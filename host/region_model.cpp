#include "host/region_model.h"

#include <cmath>

namespace altimar::host {

namespace {
// The fine loop moves the camera a metre at a time; it ends once both spans
// are within one such step of their targets, and never runs longer than this.
constexpr int kMaxFineSteps = 5000;
// Waits for a flight to end and the view to stream, at most this long.
constexpr int kMaxViewWaitMs = 60000;
}  // namespace

void RegionModel::ReadExtents() {
  auto e = objGE->get_ViewExtents();
  LastWest = e->get_West();
  LastEast = e->get_East();
  LastSouth = e->get_South();
  LastNorth = e->get_North();
}

// The extents describe the view as it is: a camera still flying has not got
// there yet, so the loop waits until the globe reports the view complete.
void RegionModel::WaitForView() {
  for (int ms = 0; ms < kMaxViewWaitMs && objGE->get_StreamingProgressPercentage() != 100; ms += 10) {
    desktop_.Sleep(10);
    desktop_.DoEvents();
  }
}

bool RegionModel::ShowRegionModel(const std::string& networkLinkKml) {
  if (objGE->IsInitialized() != 1) return false;
  objGE->OpenKmlFile(networkLinkKml, 1);
  if (objGE->IsInitialized() != 1) return false;

  auto camera = objGE->GetCamera(1);
  camera->put_FocusPointLatitude(48.144);
  camera->put_FocusPointLongitude(11.527);
  camera->put_Range(63283733.1874384);
  camera->put_FocusPointAltitudeMode(1);
  camera->put_Tilt(0);
  camera->put_Azimuth(0);
  camera->put_FocusPointAltitude(0);
  objGE->SetCamera(*camera, 1.0);
  desktop_.Sleep(500);

  camera = objGE->GetCamera(1);
  camera->put_FocusPointLatitude((RegionBox.south + RegionBox.north) / 2);
  camera->put_FocusPointLongitude((RegionBox.west + RegionBox.east) / 2);
  camera->put_Azimuth(0);
  camera->put_Tilt(0);
  WaitForView();
  ReadExtents();
  // The view scales with the range.
  camera->put_Range(camera->get_Range() / (LastEast - LastWest) * TargetWidth);
  objGE->SetCamera(*camera, 0.2);

  FineSteps = 0;
  for (int step = 0; step < kMaxFineSteps; ++step) {
    WaitForView();
    ReadExtents();
    const double width = LastEast - LastWest, height = LastNorth - LastSouth;
    if (width == TargetWidth || height == TargetHeight) break;
    // One metre of range changes the spans by this much.
    const double perMetre = width / camera->get_Range();
    const double heightPerMetre = height / camera->get_Range();
    if (std::fabs(width - TargetWidth) <= perMetre && std::fabs(height - TargetHeight) <= heightPerMetre)
      break;
    if (width < TargetWidth && height < TargetHeight) {
      camera->put_Range(camera->get_Range() + 1);
    } else if (width > TargetWidth && height > TargetHeight) {
      camera->put_Range(camera->get_Range() - 1);
    } else {
      break;  // one span above and one below: as close as the view's shape allows
    }
    ++FineSteps;
    objGE->SetCamera(*camera, 1.0);
    desktop_.DoEvents();
  }
  return true;
}

}  // namespace altimar::host
