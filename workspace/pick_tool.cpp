// Picking features on the globe's view: capture on and off (Command2 and
// the toolbar's select keys), the "Pickup" and "MultiPickup" clients that
// only record clicks, Timer1 that turns them into searches, the single pick
// and the rectangle search, and the context menu of the pick.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/runtime/number_text.h"
#include "platform/shapefile/shape_library.h"
#include "workspace/file_names.h"
#include "workspace/frm_quarlin.h"
#include "workspace/view_points.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr const char* kCaptureOff = "Start Capturing";
constexpr const char* kCaptureOn = "Stop Capturing";
// A press and release this close (screen pixels, each way) make a click.
constexpr int kClickSlop = 2;
// The globe's navigation controls: clicks there are not picks.
constexpr int kNavigationSquare = 196;

// Whether a release at `release` after a press at `press` is a click on the
// view: the pointer stayed still, and not over the navigation controls.
bool IsViewClick(POINT press, POINT release, const RECT& view) {
  const bool still =
      std::abs(release.x - press.x) <= kClickSlop && std::abs(release.y - press.y) <= kClickSlop;
  const bool navigation =
      release.x > view.right - kNavigationSquare && release.y < view.top + kNavigationSquare;
  return still && !navigation;
}

}  // namespace

void FrmQuarlin::ReportGlobeFailure(const std::exception& e) {
  desktop().MessageBoxA(0, std::string("Google Earth failed: ") + e.what(), "Altimar", MB_OK);
}

bool FrmQuarlin::ReadRenderWindow() {
  try {
    m_.ge.GEMainHwnd = objGE->GetMainHwnd();
    m_.drawing.GERenderHwnd = objGE->GetRenderHwnd();
  } catch (const automation::AutomationError&) {
    return false;
  }
  RECT r{};
  if (!desktop().GetWindowRect(m_.drawing.GERenderHwnd, &r) || r.width() <= 0 || r.height() <= 0)
    return false;
  m_.ge.GERenderRect = r;
  return true;
}

std::optional<POINT> FrmQuarlin::RenderPixel(POINT screen) {
  const HWND render = m_.drawing.GERenderHwnd;
  RECT r{};
  if (render == 0 || !desktop().GetWindowRect(render, &r) || r.width() <= 0 || r.height() <= 0)
    return std::nullopt;
  m_.ge.GERenderRect = r;
  // Over the view itself: not over a window inside it (the HTML window,
  // the floating picture) nor outside it.
  if (desktop().WindowFromPoint(screen) != render) return std::nullopt;
  return POINT{screen.x - r.left, screen.y - r.top};
}

bool FrmQuarlin::TerrainPoint(TextBox& xBox, TextBox& yBox, double& lon, double& lat) {
  const auto x = ViewValue(xBox.Text()), y = ViewValue(yBox.Text());
  if (!x || !y) return false;
  const auto p = objGE->GetPointOnTerrainFromScreenCoords(*x, *y);
  lon = p->get_Longitude();
  lat = p->get_Latitude();
  return std::isfinite(lon) && std::isfinite(lat);
}

// --- capture on and off ---

void FrmQuarlin::PopToolClients() {
  // The tools' clients, not the docking client under them.
  for (;;) {
    const int top = m_.hooks.Top();
    if (top == host::kHookPickup || top == host::kHookMultiPickup || top == host::kHookShift ||
        top == host::kHookCirclePickup || top == host::kHookCompare ||
        top == host::kHookSelectedRectOrCircleMove)
      m_.hooks.HookPop();
    else
      break;
  }
}

void FrmQuarlin::CaptureToggle() {
  SelectionState& s = m_.selection;
  PopToolClients();
  if (Command2.Caption != kCaptureOff) {
    Command2.Caption = kCaptureOff;
    Command2.Refresh();
    Timer1.SetEnabled(false);
    m_.frmMove.Hide();
    s.RubberBand = false;
    return;
  }
  if (!ReadRenderWindow()) return;
  Command2.Caption = kCaptureOn;
  Command2.Refresh();
  Timer1.SetInterval(100);
  Timer1.SetEnabled(true);
  s.ClickCount = 0;
  s.RectDone = false;
  s.ClickDone = false;  // a click of an earlier capture is not this one's
  s.ContextMenuWanted = false;
  s.EndCaptureWanted = false;
  s.PressDown = false;
  if (optSelectType[0].Value() || !optSelectType[1].Value()) {
    MultiMode = false;
    m_.hooks.HookPush("Pickup");
  } else {
    MultiMode = true;
    m_.frmMove.Load();
    desktop().ShowWindow(m_.frmMove.hwnd(), SW_SHOWNOACTIVATE);
    desktop().SetWindowPos(m_.frmMove.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    s.RubberBand = false;
    m_.hooks.HookPush("MultiPickup");
  }
}

void FrmQuarlin::optSelectType_Click(int index) {
  // A running capture stops first.
  if (Command2.Caption != kCaptureOff) CaptureToggle();
  if (index == 0) {
    chkFloatingInfo.SetEnabled(true);
  } else {
    chkFloatingInfo.SetValue(0);
    chkFloatingInfo.SetEnabled(false);
  }
}

void FrmQuarlin::EndAllTools() {
  PopToolClients();
  for (Timer* t : {&Timer1, &Timer3, &Timer4Compare, &Timer5CirclePickup}) t->SetEnabled(false);
  SelectionState& s = m_.selection;
  s.ClickDone = s.RectDone = s.ContextMenuWanted = s.EndCaptureWanted = false;
  s.RubberBand = false;
  s.CircleState = kCircleWaiting;
  ShiftState = 0;
  CompareState = 0;
  m_.FlatTestPending = false;
  Command2.Caption = kCaptureOff;
  Command2.Refresh();
  if (m_.frmMove.loaded()) m_.frmMove.Hide();
}

// --- the clients: they record, Timer1 works ---

bool FrmQuarlin::PickupClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  SelectionState& s = m_.selection;
  const auto pixel = RenderPixel(e.pt);
  if (!pixel) return false;
  if (EscHeld(desktop())) {
    s.EndCaptureWanted = true;
    return false;
  }
  m_.drawing.DrawCursor(pixel->x, pixel->y, 10);
  if (message == WM_LBUTTONDOWN) {
    if (s.MenuUp) {
      // The click outside closes the menu; it picks nothing.
      s.MenuUp = false;
      s.PressDown = false;
      return false;
    }
    s.PressPos = e.pt;
    s.PressDown = true;
  } else if (message == WM_LBUTTONUP && s.PressDown) {
    s.PressDown = false;
    const auto v = ToViewPoint(*pixel, m_.ge.GERenderRect);
    if (IsViewClick(s.PressPos, e.pt, m_.ge.GERenderRect) && v) {
      s.HookMousePos = *pixel;
      GEMouseX.SetText(ViewText(v->x));
      GEMouseY.SetText(ViewText(v->y));
      s.ClickDone = true;
      ++s.ClickCount;
    }
  } else if (message == WM_RBUTTONDOWN && !s.MenuUp) {
    s.MenuPos = e.pt;
    s.ContextMenuWanted = true;
  }
  return false;
}

bool FrmQuarlin::MultiPickupClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  SelectionState& s = m_.selection;
  const auto pixel = RenderPixel(e.pt);
  if (!pixel) return false;
  if (EscHeld(desktop())) {
    s.EndCaptureWanted = true;
    return false;
  }
  if (m_.frmMove.loaded())
    m_.frmMove.Move(forms::ToTwips(e.pt.x + 12), forms::ToTwips(e.pt.y + 12));
  if (s.RubberBand)
    m_.drawing.DrawMovedRect({s.RectCorner.x, s.RectCorner.y, pixel->x, pixel->y}, *pixel, *pixel);
  if (message == WM_LBUTTONDOWN) {
    s.PressPos = e.pt;
    s.PressDown = true;
    return false;
  }
  if (message != WM_LBUTTONUP || !s.PressDown) return false;
  s.PressDown = false;
  if (!IsViewClick(s.PressPos, e.pt, m_.ge.GERenderRect)) return false;
  ++s.ClickCount;
  if (!s.RubberBand) {
    s.RectCorner = *pixel;
    s.RectDone = false;
    s.RubberBand = true;
    return false;
  }
  const auto a = ToViewPoint(s.RectCorner, m_.ge.GERenderRect);
  const auto b = ToViewPoint(*pixel, m_.ge.GERenderRect);
  if (!a || !b) return false;
  m_.frmMove.Hide();
  GEMouseX.SetText(ViewText(a->x));
  GEMouseY.SetText(ViewText(a->y));
  GEMouseX2.SetText(ViewText(b->x));
  GEMouseY2.SetText(ViewText(b->y));
  s.RectDone = true;
  s.RubberBand = false;
  return false;
}

void FrmQuarlin::Timer1_Tick() {
  SelectionState& s = m_.selection;
  if (m_.frmFastSelect.Searching()) return;  // the log is the search's until it ends
  if (s.EndCaptureWanted) {
    s.EndCaptureWanted = false;
    if (Command2.Caption != kCaptureOff) CaptureToggle();
    Toolbar1.SetValue("select", tbrUnpressed);
    Toolbar1.SetValue("multiselect", tbrUnpressed);
    return;
  }
  if (s.ContextMenuWanted) {
    // The menu is modal: the timer stops and the flag clears before it opens.
    s.ContextMenuWanted = false;
    Timer1.SetEnabled(false);
    s.MenuUp = true;
    PopupMenu(*this, mnufile, vbPopupMenuLeftButton, s.MenuPos.x * 15.0 - Left() - 90,
              s.MenuPos.y * 15.0 - Top() - 600);
    s.MenuUp = false;
    if (loaded() && Command2.Caption == kCaptureOn) Timer1.SetEnabled(true);
    return;
  }
  if (MultiMode && s.RectDone) {
    Toolbar1.SetValue("multiselect", tbrUnpressed);
    m_.hooks.HookPop();
    Timer1.SetEnabled(false);
    s.RectDone = false;
    CaptureToggle();  // capture ends with the rectangle
    try {
      RectangleSearch();
    } catch (const automation::AutomationError& e) {
      ReportGlobeFailure(e);
    } catch (const std::runtime_error& e) {
      desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
    }
    return;
  }
  if (!s.ClickDone) return;
  const auto x = ViewValue(GEMouseX.Text()), y = ViewValue(GEMouseY.Text());
  if (!x || !y) {
    s.ClickDone = false;  // no point in the view: the click is dropped
    return;
  }
  Timer1.SetEnabled(false);
  m_.hooks.HookPop();
  s.ClickDone = false;
  try {
    objGE->put_ElevationExaggeration(1.0);
    if (!TerrainPoint(GEMouseX, GEMouseY, PickLon, PickLat))
      throw automation::AutomationError("no terrain point under the click");
    txtLon1.SetText(runtime::General15(PickLon));
    txtLat1.SetText(runtime::General15(PickLat));
    SinglePick(false);
  } catch (const automation::AutomationError& e) {
    // Caption, hooks and timer agree again: the capture ends.
    ReportGlobeFailure(e);
    EndAllTools();
    return;
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
  if (!loaded() || Command2.Caption != kCaptureOn) return;
  m_.hooks.HookPush("Pickup");
  Timer1.SetEnabled(true);
}

// --- the searches ---

void FrmQuarlin::ClearSelection() {
  SelectionState& s = m_.selection;
  s.SelCount = 0;
  s.SelFids.clear();
  const FeatureStyle style = FeatureStyle::From(m_.style, false);
  WriteDocument(m_.documents.SelectedPath(), FeatureKmlText({{}, {}, kSelectedColor, {}}, style));
  objGE->OpenKmlFile(m_.documents.SelectedPath().string(), 5);
  SelectionShown = true;
}

void FrmQuarlin::SinglePick(bool fly) {
  SelectionState& s = m_.selection;
  std::string coords, attrs;
  CurrentFID = m_.shapes.SW_FindNearest(PickLon, PickLat, coords, attrs);
  lblFID.Caption = "FID: " + std::to_string(CurrentFID);
  lblFID.Refresh();
  coords = CutAtNul(coords);
  s.SinglePick = true;
  if (CurrentFID > -1) {
    PickedFID = CurrentFID;
    s.SelCount = 1;
    s.SelFids.assign(1, CurrentFID);
    if (m_.rdb.OperationRs) m_.rdb.LogOperation(1, CurrentFID, 1);
    txtFID.SetText(std::to_string(CurrentFID));
    Text1.SetText(CutAtNul(attrs));
    if (fly)
      m_.documents.FlyToSelectedKml(coords, m_.source.ShapeTypeName, 1.0, "");
    else
      m_.documents.ShowSelectedKml(coords, m_.source.ShapeTypeName);
    SelectionShown = true;
    // The highlight template asks for the HTML window: at the click when it
    // follows the mouse, else at the view's corner.
    auto& highlight = m_.styles.frmHighlightStyle;
    if (highlight.Check1.Value == 1) {
      data::FrmHtml& html = m_.frmHtml;
      html.Show();
      if (highlight.Check2.Value == 1)
        html.Move(s.HookMousePos.x * 15.0, s.HookMousePos.y * 15.0);
      else
        html.Move(0, 0);
      html.ShowRecordProperties(CurrentFID);
      html.Refresh();
    } else if (m_.floatingInfo.loaded()) {
      m_.floatingInfo.Hide();
    }
    Text2.SetText(Text1.Text());
  } else {
    // Nothing there: the selection is empty, so nothing later acts on an old one.
    s.SelCount = 0;
    s.SelFids.clear();
    Text1.SetText("");
    m_.documents.ShowSelectedKml("", m_.source.ShapeTypeName);
    SelectionShown = true;
    if (m_.floatingInfo.loaded()) m_.floatingInfo.Hide();
  }
  LastGeometry = coords;
}

void FrmQuarlin::ShowMultipleResult(int count, const std::string& fidList, bool straightDown) {
  SelectionState& s = m_.selection;
  lblFID.Caption = "FID: " + std::to_string(count);
  lblFID.Refresh();
  s.SinglePick = false;
  if (count <= -1) {
    Text1.SetText("");
    ClearSelection();
    return;
  }
  const std::string list = CutAtNul(fidList);
  Text1.SetText(list);
  std::vector<std::int32_t> fids = ParseFidList(list);
  // The selection is the first SelCount rows of the log, written in one go
  // before the selection takes them.
  s.SelCount = 0;
  s.SelFids.clear();
  if (m_.rdb.OperationRs) {
    dao::Database& db = *m_.rdb.AttrDb;
    db.BeginTrans();
    try {
      for (std::size_t i = 0; i < fids.size(); ++i)
        m_.rdb.LogOperation(static_cast<std::int64_t>(i) + 1, fids[i], 1);
      db.CommitTrans();
    } catch (...) {
      db.Rollback();
      throw;
    }
  }
  s.SelFids = std::move(fids);
  s.SelCount = static_cast<std::int32_t>(s.SelFids.size());
  const std::string path = m_.documents.SelectedPath().string();
  if (straightDown) {
    objGE->put_AutoPilotSpeed(0.1);
    const auto camera = objGE->GetCamera(1);
    if (camera->get_Tilt() != 0) camera->put_Tilt(0);
    objGE->OpenKmlFile(path, 5);
    objGE->SetCamera(*camera, 1.0);
  } else {
    objGE->OpenKmlFile(path, 5);
  }
  SelectionShown = true;
}

void FrmQuarlin::RectangleSearch() {
  double lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
  if (!TerrainPoint(GEMouseX, GEMouseY, lon1, lat1) ||
      !TerrainPoint(GEMouseX2, GEMouseY2, lon2, lat2))
    throw automation::AutomationError("no terrain point under a corner of the rectangle");
  RectangleSearchAt(lon1, lat1, lon2, lat2);
}

void FrmQuarlin::RectangleSearchAt(double lon1, double lat1, double lon2, double lat2) {
  std::string fids;
  CurrentFID = m_.shapes.SW_MultiSearchShpFile(std::min(lon1, lon2), std::min(lat1, lat2),
                                               std::max(lon1, lon2), std::max(lat1, lat2), fids,
                                               m_.documents.SelectedPath().string());
  ShowMultipleResult(CurrentFID, fids, false);
}

// --- the context menu ---

void FrmQuarlin::BuildContextMenu() {
  if (!mnufile.items().empty()) return;
  mnufile.Add("ExitContextMenu", "Exit Menu").Click = [this] { m_.selection.MenuUp = false; };
  mnufile.Add("AddNewFeature", "Add a new Feature");
  mnufile.Add("DeleteSelectedFeature", "Delete the selected Feature").Click = [this] {
    Command4_Click();
  };
  mnufile.Add("ViewAttribute", "View the Attribute");
  mnufile.Add("EditAttribute", "Edit the Attribute");
  mnufile.Add("CalculateLength", "Calculate the Length");
  mnufile.Add("CalculateArea", "Calculate the Area");
  mnufile.Add("ExportFeature", "Export");
  mnufile.Add("ViewLonLat", "View Lon/Lat");
}

void FrmQuarlin::Form_MouseDown(int button, int, double x, double y) {
  if (button != vbRightButton) return;
  PopupMenu(*this, mnufile, vbPopupMenuRightButton, x, y);
}

}  // namespace altimar::workspace
