// What the selection tools' mouse-hook clients and timers share: positions
// and flags the clients raise, and the current selection (the FIDs whose
// rows stand first in the operation log).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::workspace {

enum CircleStates : std::int16_t {
  kCircleCancelled = -1,
  kCircleWaiting = 0,
  kCircleCentreFixed = 1,
  kCircleComplete = 2,
  kCircleSearchAgain = 3,
};

struct SelectionState {
  // The single pick: where the last click was (client pixels of the 3D
  // view), the left press it started with (screen pixels), and its flags.
  win::POINT HookMousePos{};
  win::POINT PressPos{};
  bool PressDown = false;
  bool ClickDone = false;
  std::int32_t ClickCount = 0;
  // A right press asked for the context menu at MenuPos (screen pixels),
  // kept apart from a click still waiting for its tick; MenuUp while it shows.
  bool ContextMenuWanted = false;
  win::POINT MenuPos{};
  bool MenuUp = false;
  // Esc during a capture: the next tick ends it.
  bool EndCaptureWanted = false;
  // The rectangle: its first corner (client pixels) and the band.
  bool RectDone = false;
  bool RubberBand = false;
  win::POINT RectCorner{};
  // The circle: centre and edge in client pixels, once one was drawn.
  std::int16_t CircleState = kCircleWaiting;
  win::POINT CircleCentre{}, CircleEdge{};
  bool HaveCircle = false;
  // The current selection: its FIDs in log order.
  std::int32_t SelCount = 0;
  std::vector<std::int32_t> SelFids;
  // Whether it came from a single pick (LastGeometry is its shape).
  bool SinglePick = true;
};

}  // namespace altimar::workspace
