// The region model fly-in: open a network-link document, put the camera far
// out in space above a small test region, then bring it down until the view
// spans the region.
#pragma once

#include <string>

#include "host/application_ge.h"

namespace altimar::host {

class RegionModel {
 public:
  explicit RegionModel(win::Desktop& desktop) : objGE(desktop), desktop_(desktop) {}

  // Opens networkLinkKml and flies in. Returns false when the globe is not
  // initialised (nothing happens then). Errors of the globe calls propagate.
  bool ShowRegionModel(const std::string& networkLinkKml);

  struct Box {
    double west, east, south, north;
  };
  static constexpr Box RegionBox{11.5351337296123, 11.5507029210726, 48.151035132807,
                                 48.1620816804994};
  static constexpr double TargetWidth = 0.015569191460301113;
  static constexpr double TargetHeight = 0.011046547692394881;
  // The last view extents read.
  double LastWest = 0, LastEast = 0, LastSouth = 0, LastNorth = 0;
  int FineSteps = 0;  // metres the fine loop moved the camera

  ApplicationGE objGE;

 private:
  void ReadExtents();
  void WaitForView();
  win::Desktop& desktop_;
};

}  // namespace altimar::host
