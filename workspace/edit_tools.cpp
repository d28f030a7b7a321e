// Editing the selection: deleting shows it grey, shifting records a
// displacement in the attribute database. The shapefile is never changed.
#include "platform/runtime/number_text.h"
#include "workspace/frm_quarlin.h"
#include "workspace/view_points.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
constexpr std::uint8_t kShiftWaiting = 0, kShiftStartFixed = 1, kShiftComplete = 2,
                       kShiftCancelled = 3;
constexpr std::uint8_t kShiftOperation = 3;
}  // namespace

void FrmQuarlin::Command18_Click() {
  Command18.Caption = Command18.Caption == "Start Editing" ? "Stop Editing" : "Start Editing";
  Command18.Refresh();
}

void FrmQuarlin::Command4_Click() {
  const SelectionState& s = m_.selection;
  try {
    if (s.SinglePick || s.SelCount == 0) {
      m_.documents.ShowDeletedKml(s.SinglePick ? LastGeometry : "", m_.source.ShapeTypeName);
    } else {
      // A rectangle or circle selection: what was selected goes grey.
      m_.documents.ShowSelectedKml("", "");
      ShowOperationDocument(kDeletedDocument, std::string(kDeletedColor), 1.0, false, {});
    }
    SelectionShown = true;
    DeletedShown = true;
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
  m_.selection.MenuUp = false;  // the context menu may open again
}

void FrmQuarlin::ShiftCommand() {
  // Shifts are recorded beside a shapefile's attributes; a KML source's
  // table has no place for them.
  if (m_.source.OpenFileType != kShapefile || !m_.rdb.FeatureRs ||
      m_.rdb.FeatureRs->FieldIndex("deltaX") < 0) {
    Toolbar1.SetValue("shift", tbrUnpressed);
    desktop().MessageBoxA(0, "Only the features of a shapefile with its table can be shifted.",
                          "Altimar", MB_OK);
    return;
  }
  if (!ReadRenderWindow()) return;
  m_.hooks.HookRemove(host::kHookShift);
  ShiftState = kShiftWaiting;
  m_.hooks.HookPush("Shift");
  Timer3.SetInterval(300);
  Timer3.SetEnabled(true);
}

bool FrmQuarlin::ShiftClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  return TwoClickClient(message, e, ShiftState, ShiftStart, ShiftEnd);
}

bool FrmQuarlin::TwoClickClient(WPARAM message, const MSLLHOOKSTRUCT& e, std::uint8_t& state,
                                POINT& start, POINT& end) {
  const auto pixel = RenderPixel(e.pt);
  if (!pixel) return false;
  if (message == WM_MOUSEWHEEL) return true;
  if (EscHeld(desktop()) || message == WM_RBUTTONDOWN) {
    m_.hooks.HookPop();
    state = kShiftCancelled;
    return message == WM_RBUTTONDOWN;
  }
  end = *pixel;
  if (state == kShiftWaiting) start = *pixel;
  m_.drawing.DrawRubberMark(start, true);
  m_.drawing.DrawRubberMark(end, false);
  if (message != WM_LBUTTONDOWN) return false;
  if (state == kShiftWaiting) {
    state = kShiftStartFixed;
  } else if (state == kShiftStartFixed && WriteViewPoints(start, end)) {
    m_.hooks.HookPop();
    state = kShiftComplete;
  }
  return true;
}

bool FrmQuarlin::WriteViewPoints(POINT first, POINT second) {
  const auto a = ToViewPoint(first, m_.ge.GERenderRect);
  const auto b = ToViewPoint(second, m_.ge.GERenderRect);
  if (!a || !b) return false;
  GEMouseX.SetText(ViewText(a->x));
  GEMouseY.SetText(ViewText(a->y));
  GEMouseX2.SetText(ViewText(b->x));
  GEMouseY2.SetText(ViewText(b->y));
  return true;
}

void FrmQuarlin::Timer3_Tick() {
  if (m_.frmFastSelect.Searching()) return;  // the log is the search's until it ends
  if (ShiftState == kShiftCancelled) {
    Timer3.SetEnabled(false);
    ShiftState = kShiftWaiting;
    Toolbar1.SetValue("shift", tbrUnpressed);
    return;
  }
  if (ShiftState != kShiftComplete) return;
  Timer3.SetEnabled(false);
  ShiftState = kShiftWaiting;
  Toolbar1.SetValue("shift", tbrUnpressed);
  try {
    double lon1 = 0, lat1 = 0, lon2 = 0, lat2 = 0;
    if (!TerrainPoint(GEMouseX, GEMouseY, lon1, lat1) ||
        !TerrainPoint(GEMouseX2, GEMouseY2, lon2, lat2))
      throw automation::AutomationError("no terrain point under the shift");
    ShiftDelta = {lon2 - lon1, lat2 - lat1, 0};
    Text1.SetText(runtime::General15(ShiftDelta.deltaX) + "\r\n" +
                  runtime::General15(ShiftDelta.deltaY));
    RecordShift(ShiftDelta.deltaX, ShiftDelta.deltaY, ShiftDelta.deltaZ);
    ShowOperationDocument(kDeletedDocument, std::string(kDeletedColor), 1.0, false,
                          {ShiftDelta.deltaX, ShiftDelta.deltaY, ShiftDelta.deltaZ});
    DeletedShown = true;
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const std::runtime_error& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::RecordShift(double dx, double dy, double dz) {
  data::AttributeDatabase& rdb = m_.rdb;
  if (!rdb.FeatureRs || !rdb.OperationRs) return;
  dao::Recordset& features = *rdb.FeatureRs;
  dao::Recordset& log = *rdb.OperationRs;
  const std::int32_t count = m_.selection.SelCount;
  if (count <= 0 || log.RecordCount() == 0) return;
  // The selection's rows of the log and their features, found by FID
  // value, all in one transaction; values replace earlier ones.
  features.SetIndex("FID");
  dao::Database& db = *rdb.AttrDb;
  db.BeginTrans();
  try {
    log.MoveFirst();
    for (std::int32_t k = 0; k < count && !log.EOF_(); ++k, log.MoveNext()) {
      const dao::Value fid = log.Get("FID");
      features.Seek(dao::Comparison::Equal, fid);
      if (!features.NoMatch()) {
        features.Edit();
        features.Set("Operation", std::int64_t{kShiftOperation});
        features.Set("deltaX", dx);
        features.Set("deltaY", dy);
        features.Update();
      }
      log.Edit();
      log.Set("Operation", std::int64_t{kShiftOperation});
      log.Set("deltaX", dx);
      log.Set("deltaY", dy);
      log.Set("deltaZ", dz);
      log.Update();
    }
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
}

void FrmQuarlin::ShowOperationDocument(int kind, const std::string& colour, double speed, bool box,
                                       std::array<double, 3> offsets) {
  data::OperationRequest request;
  request.selCount = m_.selection.SelCount;
  request.shapeType = m_.source.ShapeTypeName;
  request.shift = offsets;
  request.withBox = box;
  if (m_.operations.SendKmlToGE4Operation(kind, colour, speed, request)) SelectionShown = true;
}

}  // namespace altimar::workspace
