// The circle tool: a centre and an edge clicked on the globe's view select
// the features within that distance; "Move Circle" searches again with the
// same circle somewhere else; and the flatness test, which lays the drawn
// circle on the terrain beside the circle computed on the sphere and flat.
#include <cmath>

#include "platform/runtime/number_text.h"
#include "platform/shapefile/shape_library.h"
#include "platform/shapefile/spherical_dist.h"
#include "workspace/frm_quarlin.h"
#include "workspace/view_points.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {}  // namespace

void FrmQuarlin::Command36_Click() {
  if (!ReadRenderWindow()) {
    desktop().MessageBoxA(0, "Google Earth's 3D view is not there.", "Altimar", MB_OK);
    m_.FlatTestPending = false;
    return;
  }
  StartCircleClient("CirclePickup");
}

void FrmQuarlin::StartCircleClient(const char* client) {
  // One circle client at a time: starting again starts over.
  const int top = m_.hooks.Top();
  if (top == host::kHookCirclePickup || top == host::kHookSelectedRectOrCircleMove)
    m_.hooks.HookPop();
  m_.selection.CircleState = kCircleWaiting;
  m_.hooks.HookPush(client);
  Timer5CirclePickup.SetInterval(300);
  Timer5CirclePickup.SetEnabled(true);
}

bool FrmQuarlin::CirclePickupClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  SelectionState& s = m_.selection;
  const auto pixel = RenderPixel(e.pt);
  if (!pixel) return false;
  if (message == WM_MOUSEWHEEL) return true;
  if (EscHeld(desktop()) || message == WM_RBUTTONDOWN) {
    m_.hooks.HookPop();
    s.CircleState = kCircleCancelled;
    return message == WM_RBUTTONDOWN;
  }
  s.CircleEdge = *pixel;
  if (s.CircleState == kCircleWaiting) s.CircleCentre = *pixel;
  m_.drawing.DrawRubberCircle(s.CircleCentre, s.CircleEdge, s.CircleState);
  if (message != WM_LBUTTONDOWN) return false;
  if (s.CircleState == kCircleWaiting) {
    s.CircleState = kCircleCentreFixed;
  } else if (s.CircleState == kCircleCentreFixed) {
    if (!WriteViewPoints(s.CircleCentre, s.CircleEdge)) return true;
    m_.hooks.HookPop();
    s.HaveCircle = true;
    s.CircleState = kCircleComplete;
  }
  return true;
}

void FrmQuarlin::Command38_Click() {
  SelectionState& s = m_.selection;
  if (!s.HaveCircle) {
    desktop().MessageBoxA(0, "There is no circle to move: draw one with \"Circle Select\" first.",
                          "Altimar", MB_OK);
    return;
  }
  if (!ReadRenderWindow()) return;
  StartCircleClient("selectedRectOrCircleMove");
}

bool FrmQuarlin::CircleMoveClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  SelectionState& s = m_.selection;
  const auto pixel = RenderPixel(e.pt);
  if (!pixel) return false;
  if (message == WM_MOUSEWHEEL) return true;
  if (EscHeld(desktop()) || message == WM_RBUTTONDOWN) {
    m_.hooks.HookPop();
    s.CircleState = kCircleCancelled;
    return message == WM_RBUTTONDOWN;
  }
  const POINT offset{s.CircleEdge.x - s.CircleCentre.x, s.CircleEdge.y - s.CircleCentre.y};
  m_.drawing.DrawMovedCircle(s.CircleCentre, s.CircleEdge, s.CircleCentre, *pixel);
  if (message != WM_LBUTTONDOWN) return false;
  const POINT edge{pixel->x + offset.x, pixel->y + offset.y};
  if (!WriteViewPoints(*pixel, edge)) return true;
  m_.hooks.HookPop();
  s.CircleCentre = *pixel;
  s.CircleEdge = edge;
  s.CircleState = kCircleSearchAgain;
  return true;
}

void FrmQuarlin::Timer5CirclePickup_Tick() {
  SelectionState& s = m_.selection;
  if (m_.frmFastSelect.Searching()) return;  // the log is the search's until it ends
  const std::int16_t state = s.CircleState;
  if (state == kCircleCancelled) {
    Timer5CirclePickup.SetEnabled(false);
    s.CircleState = kCircleWaiting;
    m_.FlatTestPending = false;
    return;
  }
  if (state != kCircleComplete && state != kCircleSearchAgain) return;
  Timer5CirclePickup.SetEnabled(false);
  s.CircleState = kCircleWaiting;
  const bool flat = state == kCircleComplete && m_.FlatTestPending;
  if (flat) m_.FlatTestPending = false;
  try {
    if (flat)
      FlatnessTest();
    else
      CircleSearch();
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::CircleSearch() {
  double clon = 0, clat = 0;
  if (!TerrainPoint(GEMouseX, GEMouseY, clon, clat) ||
      !TerrainPoint(GEMouseX2, GEMouseY2, EdgeLon, EdgeLat))
    throw automation::AutomationError("no terrain point under the circle");
  PickLon = clon;
  PickLat = clat;
  const double radius = shapefile::SphericalDist(clon, clat, EdgeLon, EdgeLat);
  const std::string outline = CircleOutline(clon, clat, radius, 30, false);
  std::string fids;
  CurrentFID = m_.shapes.SW_MultiSearchFeatureByCircle(clon, clat, EdgeLon, EdgeLat, fids, outline,
                                                       m_.documents.SelectedPath().string());
  ShowMultipleResult(CurrentFID, fids, true);
}

void FrmQuarlin::FlatnessTest() {
  SelectionState& s = m_.selection;
  if (!ReadRenderWindow()) return;
  double clon = 0, clat = 0;
  if (!TerrainPoint(GEMouseX, GEMouseY, clon, clat) ||
      !TerrainPoint(GEMouseX2, GEMouseY2, EdgeLon, EdgeLat))
    throw automation::AutomationError("no terrain point under the circle");
  PickLon = clon;
  PickLat = clat;
  const double radius = shapefile::SphericalDist(clon, clat, EdgeLon, EdgeLat);
  const double r = std::hypot(s.CircleEdge.y - s.CircleCentre.y, s.CircleEdge.x - s.CircleCentre.x);
  const RECT& view = m_.ge.GERenderRect;
  const double w = view.width(), h = view.height();
  // The circle as drawn on the screen, point by point on the terrain: all
  // 31 points inside the view, or no document.
  std::string t3, first;
  for (int a = 0; a <= 360; a += 12) {
    const double rad = a * 3.14159265359 / 180;
    const double px = s.CircleCentre.x + r * std::cos(rad),
                 py = s.CircleCentre.y + r * std::sin(rad);
    if (px <= 0 || py <= 0 || px > w || py > h) return;
    if (a == 360) {
      t3 += ' ' + first;  // the ring closes on its first point exactly
      break;
    }
    const auto p = objGE->GetPointOnTerrainFromScreenCoords(2 * px / w - 1, 1 - 2 * py / h);
    const std::string tuple = runtime::General15(p->get_Longitude()) + "," +
                              runtime::General15(p->get_Latitude()) + ",.5";
    if (a == 0) first = tuple;
    t3 += (a == 0 ? "" : " ") + tuple;
  }
  const std::string t1 = CircleOutline(clon, clat, radius, 30, false);
  const std::string t2 = CircleOutline(clon, clat, radius, 30, true);
  m_.documents.ShowComparison(t1, t2, t3);
  SelectionShown = true;
}

}  // namespace altimar::workspace
