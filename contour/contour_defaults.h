// The first values of the contour settings, each written once. The program
// sets them at start and the contour dialog sets them again each time it
// loads; the two differ on purpose in the level mode, the interval and the
// progress box, so those come in a start-up and a dialog flavour.
#pragma once

#include "platform/runtime/numeric.h"

namespace altimar::contour {

using runtime::Integer;
using runtime::Long;

enum LevelModes : Integer { kLevelsByCount = 0, kLevelsByInterval = 1, kLevelsFromList = 2 };

struct ContourDefaults {
  Long gridCols = 20;
  Long gridRows = 20;
  Integer numLevels = 5;
  Integer startupLevelMode = kLevelsByInterval;
  Integer dialogLevelMode = kLevelsByCount;
  // The start-up interval and progress box are what a Contour is made with;
  // SetStartupDefaults leaves both as they are.
  Integer startupLevelInterval = 0;
  Integer dialogLevelInterval = 10;
  const char* levelList = "500,550,600,650,700,750,800,850,900,950,1000,1100,1200,1300,1400,1500";
  bool labelContours = false;
  float lineWidth = 1.0f;
  Integer lineOpacity = 100;
  Long lowColor = 255;  // pure red
  Long highColor = 255;
  Integer samplingMode = 0;  // screen grid
  Long sampleDelayMs = 0;
  bool startupShowProgress = false;
  bool dialogShowProgress = true;
  Integer geSettleMs = 0;
};

inline constexpr ContourDefaults kContourDefaults{};

}  // namespace altimar::contour
