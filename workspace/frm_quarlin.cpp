// Start-up, the connection modes, docking beside the globe, and shutdown.
#include "workspace/frm_quarlin.h"

#include "host/window_search.h"
#include "platform/win/gdi.h"
#include "workspace/toolbar_images.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

FrmQuarlin::FrmQuarlin(Desktop& desktop, int program, WorkspaceModules modules)
    : Form(desktop, program, "frmQuarlin"), objGE(desktop), m_(std::move(modules)) {
  initialCaption_ = "Altimar";
  LayOut();
}

void FrmQuarlin::WireHandlers() {
  Toolbar1.ButtonClick = [this](ToolbarButton& b) { Toolbar1_ButtonClick(b); };
  Toolbar1.MouseDown = [this](int button, int shift, double x, double y) {
    Toolbar1_MouseDown(button, shift, x, y);
  };
  for (auto& o : optStart) o.ClickIndex = [this](int index) { optStart_Click(index); };
  Command34.Click = [this] { Command34_Click(); };
  chkFloatingInfo.Click = [this] { chkFloatingInfo_Click(); };
  Command36.Click = [this] { Command36_Click(); };
  cmdOptionBBox.Click = [this] { StyleDialog("tbbox"); };
  cmdOptionHighlight.Click = [this] { StyleDialog("thighlight"); };
  cmdOptionCursor.Click = [this] { StyleDialog("tcursor"); };
  Command6.Click = [this] {
    if (OpenCommand()) EnableAllButtons();
  };
  Command8.Click = [this] { Command8_Click(); };
  Command20.Click = [this] { Command20_Click(); };
  Command37.Click = [this] { Command37_Click(); };
  Command17.Click = [this] { Command17_Click(); };
  Command19.Click = [this] { Command19_Click(); };
  Timer4Compare.Tick = [this] { Timer4Compare_Tick(); };
  WireSelectionTools();

  // While a KML export runs, the screen colour under the pointer is previewed.
  Timer2.SetInterval(10);
  Timer2.Tick = [this] { m_.styles.pick.PreviewScreenColor(); };
  Timer6GEStatus.Tick = [this] {
    if (!host::IsGERunning(desktop())) Unload();
  };
  m_.hooks.SetClientHandler(
      host::kHookDock, [this](WPARAM msg, const MSLLHOOKSTRUCT& e) { return DockClient(msg, e); });
}

void FrmQuarlin::WireSelectionTools() {
  Command2.Click = [this] { CaptureToggle(); };
  for (auto& o : optSelectType) o.ClickIndex = [this](int index) { optSelectType_Click(index); };
  Command38.Click = [this] { Command38_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command18.Click = [this] { Command18_Click(); };
  Command3.Click = [this] { ShiftCommand(); };
  MouseDown = [this](int button, int shift, double x, double y) {
    Form_MouseDown(button, shift, x, y);
  };
  Timer1.Tick = [this] { Timer1_Tick(); };
  Timer3.Tick = [this] { Timer3_Tick(); };
  Timer5CirclePickup.Tick = [this] { Timer5CirclePickup_Tick(); };
  txtFID.KeyPress = [this](int& key) { txtFID_KeyPress(key); };
  Command21.Click = [this] { Command21_Click(); };
  Command22.Click = [this] { Command22_Click(); };
  Command5.Click = [this] { Command5_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  imgProperties.Click = [this] { imgProperties_Click(); };
  Command26.Click = [this] { Command26_Click(); };
  VScroll1.Change = [this] { VScroll1_Change(); };
  timerNav.Tick = [this] { timerNav_Tick(); };
  Command43.Click = [this] { Command43_Click(); };
  Command16.Click = [this] { FastSearchCommand(); };
  using host::MouseHooks;
  const std::pair<int, bool (FrmQuarlin::*)(WPARAM, const MSLLHOOKSTRUCT&)> clients[] = {
      {host::kHookPickup, &FrmQuarlin::PickupClient},
      {host::kHookMultiPickup, &FrmQuarlin::MultiPickupClient},
      {host::kHookCirclePickup, &FrmQuarlin::CirclePickupClient},
      {host::kHookSelectedRectOrCircleMove, &FrmQuarlin::CircleMoveClient},
      {host::kHookShift, &FrmQuarlin::ShiftClient},
      {host::kHookCompare, &FrmQuarlin::CompareClient}};
  for (const auto& entry : clients) {
    const auto client = entry.second;
    m_.hooks.SetClientHandler(entry.first, [this, client](WPARAM msg, const MSLLHOOKSTRUCT& e) {
      return (this->*client)(msg, e);
    });
  }
  BuildContextMenu();
}

void FrmQuarlin::Form_Load() {
  Timer1.SetEnabled(false);
  Timer2.SetEnabled(false);
  for (Timer* t : {&Timer3, &Timer4Compare, &Timer5CirclePickup, &timerNav}) t->SetEnabled(false);
  Timer6GEStatus.SetEnabled(false);
  WireHandlers();
  // 1. One copy only.
  const int first = desktop().FindProgram("altimar");
  if ((first != 0 && first != desktop().ProgramOf(hwnd())) ||
      desktop().FindWindowA(nullptr, "Tessmor") != 0) {
    desktop().MessageBoxA(0, "It is started.", "Altimar", MB_OK | MB_SYSTEMMODAL);
    m_.endProgram();
    return;
  }
  // 2. What a later start looks for.
  SetCaption("Tessmor");
  MenuBarLeft = 4500;
  // 3, 4. Hook clients and styles.
  m_.hooks.FillClientTable();
  m_.style.SetStyleDefaults();
  // 5. Top right of the screen.
  Move(desktop().width() * 15.0 - Width() - 540, 0);
  // 6. Workspace texts, the properties picture, the contour button set.
  for (TextBox* t : {&txtOpenFile, &txtLon1, &txtLat1, &txtLon2, &txtLat2, &txtFID, &Text1, &Text4})
    t->SetText("");
  if (!ImageList4GEToolbar.Find("openframe"))
    ImageList4GEToolbar.Add("openframe", ToolbarImage("openframe", desktop().gdi().fonts()));
  imgProperties.SetPicture(*ImageList4GEToolbar.Find("openframe"));
  Command18.Caption = "Start Editing";
  BuildContourToolbar();
  // 7. Embed.
  optStart_Click(kEmbed);
  if (!loaded()) return;  // the globe was not there: the program has ended
  // 8. Contouring defaults.
  m_.contour.SetStartupDefaults();
}

bool FrmQuarlin::ReadGEMainRect() {
  RECT r;
  if (!desktop().GetWindowRect(m_.ge.GEMainHwnd, &r)) return false;
  m_.ge.GEMainRect = r;
  return true;
}

void FrmQuarlin::optStart_Click(int index) {
  if (!host::IsGERunning(desktop())) {
    desktop().MessageBoxA(0, "Google Earth is not running.\r\n\r\nYou should start it first.",
                          "Altimar", MB_OK | MB_ICONQUESTION);
    m_.endProgram();
    return;
  }
  Timer6GEStatus.SetInterval(1000);
  Timer6GEStatus.SetEnabled(true);
  // Leave the mode before: the dock hook goes, a re-parented form goes back.
  if (ConnectMode == kDock) {
    m_.hooks.HookPop();
    Docked = false;
  } else if (ConnectMode == kMdiChild) {
    desktop().SetParent(AttachedHwnd, AttachedOldParent);
  }
  switch (index) {
    case kNormal:
      m_.hooks.HookPop();
      ConnectMode = kNormal;
      break;
    case kDock:
      if (!Docked) {
        m_.ge.GEMainHwnd = objGE->GetMainHwnd();
        if (ReadGEMainRect()) {
          const RECT& r = m_.ge.GEMainRect;
          host::SetWindowAlpha(desktop(), hwnd(), 0);
          Move(r.right * 15.0, r.top * 15.0, Width(), (r.bottom - r.top) * 15.0);
          Show();
          host::FadeInWindow(desktop(), hwnd(), true);
          m_.hooks.HookPush("Dock");
          Docked = true;
        }
      }
      ConnectMode = kDock;
      break;
    case kEmbed:
      ConnectMode = kEmbed;
      BuildContourToolbar();
      Move(60000, Top());
      Toolbar1.SetVisible(true);
      chkFloatingInfo.SetValue(1);
      AttachToGEMenuBar(Toolbar1);
      Command34_Click();
      AttachToGEMenuBar(ProgressBar1);
      ProgressBar1.Move(ProgressBar1.Left(), 60);
      m_.hotkeys.HotkeyInstall(hwnd());
      break;
    case kMdiChild:
      ConnectMode = kMdiChild;
      m_.ge.GEMainHwnd = objGE->GetMainHwnd();
      if (ReadGEMainRect()) {
        AttachedHwnd = hwnd();
        AttachedOldParent = desktop().SetParent(hwnd(), objGE->GetMainHwnd());
        Move(0, 0);
      }
      break;
    case kMdiParent:
      ConnectMode = kMdiParent;
      break;
    case kMenu:
      ConnectMode = kMenu;
      break;
    default:
      break;
  }
  // Where the whole form shows, its toolbar carries the workspace set;
  // embedded, the contour set in the globe's menu bar.
  if (ConnectMode == kNormal || ConnectMode == kDock || ConnectMode == kMdiChild)
    ShowWorkspaceToolbar();
}

void FrmQuarlin::ShowWorkspaceToolbar() {
  if (desktop().GetParent(Toolbar1.hwnd()) != hwnd()) desktop().SetParent(Toolbar1.hwnd(), hwnd());
  Toolbar1.Move(0, 0, 9000, 390);
  BuildWorkspaceToolbar();
  if (m_.source.OpenFileType != kNoSource) EnableAllButtons();
  Toolbar1.SetVisible(true);
}

void FrmQuarlin::AttachToGEMenuBar(Control& control) {
  AttachedHwnd = control.hwnd();
  const HWND menubar = host::WindowSearch(desktop()).FindGEChildWindow("menubar");
  if (menubar == 0) return;
  m_.ge.GEMainHwnd = objGE->GetMainHwnd();
  ReadGEMainRect();
  RECT r;
  if (desktop().GetWindowRect(objGE->GetRenderHwnd(), &r)) m_.ge.GERenderRect = r;
  AttachedOldParent = desktop().SetParent(AttachedHwnd, menubar);
  control.Move(6000, -15);
}

void FrmQuarlin::ParentToGEMenuBar(HWND h) {
  const HWND menubar = host::WindowSearch(desktop()).FindGEChildWindow("menubar");
  if (menubar == 0) return;
  m_.ge.GEMainHwnd = objGE->GetMainHwnd();
  AttachedOldParent = desktop().SetParent(h, menubar);
}

void FrmQuarlin::Command34_Click() {
  Toolbar1.SetVisible(false);
  m_.menuBar.bexo.Visible = false;
  ParentToGEMenuBar(m_.menuBar.Frame1.hwnd());
  m_.menuBar.Frame1.Move(MenuBarLeft, m_.menuBar.Frame1.Top());
}

// Keeps the workspace beside the globe's main window as the globe moves,
// hides it while the globe is minimised and keeps it on top while the globe
// is maximised. Never swallows the event.
bool FrmQuarlin::DockClient(WPARAM, const MSLLHOOKSTRUCT& e) {
  if (e.pt.x == lastDockPoint_.x && e.pt.y == lastDockPoint_.y) return false;
  if (desktop().WindowFromPoint(e.pt) != m_.ge.GEMainHwnd) return false;
  lastDockPoint_ = e.pt;
  if (!ReadGEMainRect()) return false;
  const bool maximised = desktop().IsZoomed(m_.ge.GEMainHwnd);
  const bool minimised = desktop().IsIconic(m_.ge.GEMainHwnd);
  // On top while the globe is maximised. (Checked on every event: checked
  // only while the globe is maximised or minimised, a restored globe would
  // leave the workspace on top for good.)
  if (maximised && !m_.ge.GEWasMaximized) {
    desktop().SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_.ge.GEWasMaximized = true;
  } else if (!maximised && m_.ge.GEWasMaximized) {
    desktop().SetWindowPos(hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    m_.ge.GEWasMaximized = false;
  }
  if (maximised || minimised) {
    if (minimised) {
      if (!m_.ge.GEWasMinimized) Hide();
      m_.ge.GEWasMinimized = true;
    } else if (m_.ge.GEWasMinimized) {
      Show();
      m_.ge.GEWasMinimized = false;
    }
    return false;
  }
  if (!Visible()) Show();
  const RECT& r = m_.ge.GEMainRect;
  const double left = r.right * 15.0 + Width() / 2 < desktop().width() * 15.0
                          ? r.right * 15.0
                          : r.left * 15.0 - Width();
  Move(left, r.top * 15.0, Width(), (r.bottom - r.top) * 15.0);
  return false;
}

void FrmQuarlin::chkFloatingInfo_Click() {
  PictureBox& picture = m_.floatingInfo.Picture1;
  if (chkFloatingInfo.Value == 1) {
    m_.floatingInfo.Hide();
    picture.SetVisible(false);
    m_.attached.AttachWindow(picture.hwnd(), objGE->GetRenderHwnd());
    Text1.SetVisible(false);
  } else {
    m_.attached.DetachWindow(picture.hwnd());
    picture.SetVisible(false);
    Text1.SetVisible(true);
  }
}

void FrmQuarlin::Form_Unload(bool& cancel) {
  (void)cancel;
  m_.hooks.HookPop();
  // The selection documents shown in the globe are emptied (a globe that
  // has gone away needs nothing; a folder that cannot be written keeps them).
  if (SelectionShown || DeletedShown) {
    try {
      m_.documents.ClearDocuments();
    } catch (const DocumentWriteError&) {
    }
  }
  SelectionShown = DeletedShown = false;
  for (Timer* t : {&Timer1, &Timer2, &Timer3, &Timer4Compare, &Timer5CirclePickup, &timerNav})
    t->SetEnabled(false);
  Timer6GEStatus.SetEnabled(false);
  m_.frmMove.Unload();
  m_.endProgram();
}

}  // namespace altimar::workspace
