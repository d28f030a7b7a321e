// Reaching features by number and by coordinates: the browser frame (a FID
// typed or stepped), the automatic tour of the first features, the
// coordinate search; the properties frame and the panel's scroll bar; and
// the test whether the globe's view has come to rest.
#include <cmath>

#include "platform/runtime/number_text.h"
#include "platform/shapefile/shape_library.h"
#include "platform/win/gdi.h"
#include "workspace/file_names.h"
#include "workspace/frm_quarlin.h"
#include "workspace/toolbar_images.h"
#include "workspace/typed_numbers.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr int kTourLastFid = 29;  // the tour shows at most FIDs 0 to 29
constexpr int kTourPauseMs = 100;
}  // namespace

bool FrmQuarlin::HaveShapesToBrowse() {
  if (m_.frmFastSelect.Searching()) return false;  // the log is the search's until it ends
  if (m_.source.OpenFileType == kShapefile) return true;
  desktop().MessageBoxA(0, "There is nothing to browse: open a shapefile first.", "Altimar", MB_OK);
  return false;
}

void FrmQuarlin::txtFID_KeyPress(int& key) {
  if (key != 13) return;
  key = 0;
  if (!HaveShapesToBrowse()) return;
  const auto fid = TypedWholeNumber(txtFID.Text());
  if (!fid) {
    desktop().MessageBoxA(0,
                          "'" + txtFID.Text() + "' is not a FID: type a whole number from 0 to " +
                              std::to_string(m_.source.RecordCount - 1) + ".",
                          "Altimar", MB_OK);
    return;
  }
  PickedFID = *fid;
  ShowFeatureByFid();
}

void FrmQuarlin::Command21_Click() {
  txtFID.SetFocus();
  if (!HaveShapesToBrowse()) return;
  if (PickedFID > 0) {
    --PickedFID;
    ShowFeatureByFid();
  }
}

void FrmQuarlin::Command22_Click() {
  txtFID.SetFocus();
  if (!HaveShapesToBrowse()) return;
  if (PickedFID < m_.source.RecordCount - 1) {
    ++PickedFID;
    ShowFeatureByFid();
  }
}

void FrmQuarlin::ShowFeatureByFid() {
  SelectionState& s = m_.selection;
  txtFID.SetText(std::to_string(PickedFID));
  std::string coords, attrs, box;
  CurrentFID = m_.shapes.SW_ReadFeature(PickedFID, 1, coords, attrs, box);
  lblFID.Caption = "FID: " + std::to_string(CurrentFID);
  lblFID.Refresh();
  try {
    if (CurrentFID != -1) {
      LastGeometry = CutAtNul(coords);
      Text1.SetText(CutAtNul(attrs));
      // The feature read is the selection, as a pick's is.
      s.SelCount = 1;
      s.SelFids.assign(1, CurrentFID);
      s.SinglePick = true;
      if (m_.rdb.OperationRs) m_.rdb.LogOperation(1, CurrentFID, 1);
      m_.documents.FlyToSelectedKml(LastGeometry, m_.source.ShapeTypeName, 1.0, CutAtNul(box));
    } else {
      s.SelCount = 0;
      s.SelFids.clear();
      LastGeometry.clear();
      Text1.SetText("");
      m_.documents.FlyToSelectedKml("", m_.source.ShapeTypeName, 1.0, "");
    }
    SelectionShown = true;
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::Command5_Click() {
  // One tour at a time; it ends with the program or the globe.
  if (touring_ || !HaveShapesToBrowse()) return;
  touring_ = true;
  struct EndTour {
    bool& touring;
    ~EndTour() { touring = false; }
  } end{touring_};
  try {
    objGE->GetCamera(1);
    for (int fid = 0;;) {
      std::string coords, attrs, box;
      CurrentFID = m_.shapes.SW_ReadFeature(fid, 0, coords, attrs, box);
      lblFID.Caption = "FID: " + std::to_string(CurrentFID);
      lblFID.Refresh();
      if (CurrentFID == -1) break;
      if (++fid > kTourLastFid + 1) break;
      m_.documents.FlyToSelectedKml(CutAtNul(coords), m_.source.ShapeTypeName, 5.0, "");
      SelectionShown = true;
      desktop().DoEvents();
      desktop().Sleep(kTourPauseMs);
      if (!loaded() || m_.source.OpenFileType != kShapefile) break;
    }
  } catch (const automation::AutomationError& e) {
    if (loaded()) ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    if (loaded()) desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::Command1_Click() {
  const auto lon = TypedDecimal(txtLon1.Text()), lat = TypedDecimal(txtLat1.Text());
  if (!lon || !lat || *lon < -180 || *lon > 180 || *lat < -90 || *lat > 90) {
    desktop().MessageBoxA(0,
                          "Type the point as decimal degrees with a \".\": longitude from -180 to "
                          "180 in lon:, latitude from -90 to 90 in lat:.",
                          "Altimar", MB_OK);
    return;
  }
  if (!HaveShapesToBrowse()) return;
  PickLon = *lon;
  PickLat = *lat;
  try {
    SinglePick(true);
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::imgProperties_Click() {
  PropertiesOpen = !PropertiesOpen;
  const char* key = PropertiesOpen ? "openframe" : "closeframe";
  if (!ImageList4GEToolbar.Find(key))
    ImageList4GEToolbar.Add(key, ToolbarImage(key, desktop().gdi().fonts()));
  imgProperties.SetPicture(*ImageList4GEToolbar.Find(key));
  Text1.SetVisible(PropertiesOpen && chkFloatingInfo.Value != 1);
  Command26.SetVisible(PropertiesOpen);
  frameProperties.Move(frameProperties.Left(), frameProperties.Top(), frameProperties.Width(),
                       PropertiesOpen ? kPropertiesOpenHeight : kPropertiesClosedHeight);
}

// "go back": the properties window's browser returns to its previous page;
// with the window not open there is no page to go back to.
void FrmQuarlin::Command26_Click() {
  if (m_.frmHtml.loaded()) m_.frmHtml.BrowserCommand(0);
}

void FrmQuarlin::VScroll1_Change() {
  const double offset = -300.0 * VScroll1.Value();
  for (const auto& [frame, top] : panelTops_) frame->Move(frame->Left(), top + offset);
}

void FrmQuarlin::FastSearchCommand() {
  if (!m_.frmFastSelect.Open()) Toolbar1.SetValue("fastsearch", tbrUnpressed);
}

void FrmQuarlin::HtmlCommand() {
  m_.frmHtml.Show();
  if (PickedFID >= 0) m_.frmHtml.ShowRecordProperties(PickedFID);
}

void FrmQuarlin::TakeSelection(const std::vector<std::int32_t>& fids) {
  SelectionState& s = m_.selection;
  s.SelFids = fids;
  s.SelCount = static_cast<std::int32_t>(fids.size());
  s.SinglePick = false;
  SelectionShown = true;
}

bool FrmQuarlin::IsViewSettled(int pauseMs, double tolerance) {
  const auto a = objGE->GetCamera(1);
  desktop().Sleep(static_cast<std::uint32_t>(pauseMs));
  const auto b = objGE->GetCamera(1);
  const double differences[] = {a->get_FocusPointLatitude() - b->get_FocusPointLatitude(),
                                a->get_FocusPointLongitude() - b->get_FocusPointLongitude(),
                                a->get_FocusPointAltitude() - b->get_FocusPointAltitude(),
                                a->get_Range() - b->get_Range(),
                                a->get_Tilt() - b->get_Tilt(),
                                a->get_Azimuth() - b->get_Azimuth()};
  for (double d : differences)
    if (!(std::abs(d) < tolerance)) return false;
  return true;
}

void FrmQuarlin::timerNav_Tick() {
  try {
    // Its own label: the open source's path stays in txtOpenFile.
    lblNav.Caption = IsViewSettled(10, 0.00001) ? "True" : "False";
  } catch (const automation::AutomationError&) {
    timerNav.SetEnabled(false);
    lblNav.Caption.clear();
  }
  lblNav.Refresh();
}

void FrmQuarlin::Command43_Click() {
  if (timerNav.Enabled()) {
    timerNav.SetEnabled(false);
    return;
  }
  timerNav.SetInterval(100);
  timerNav.SetEnabled(true);
}

}  // namespace altimar::workspace
