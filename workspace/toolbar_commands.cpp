// The toolbar's two button sets and the dispatcher of its clicks.
#include <algorithm>

#include "platform/win/gdi.h"
#include "workspace/frm_quarlin.h"
#include "workspace/toolbar_images.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
struct ButtonDef {
  const char* key;
  int style;
  const char* tip;
};

constexpr ButtonDef kWorkspaceSet[] = {
    {"", tbrSeparator, ""},
    {"open", tbrButtonGroup, "open a local file"},
    {"wfs", tbrButtonGroup, "connect to a wfs server"},
    {"", tbrSeparator, ""},
    {"leaf", tbrDefault, "browser the fatures"},
    {"", tbrSeparator, ""},
    {"pan", tbrButtonGroup, "pan"},
    {"select", tbrButtonGroup, "select a fature"},
    {"multiselect", tbrButtonGroup, "select by defining a rect"},
    {"circleselect", tbrButtonGroup, "select by defining a circle"},
    {"selectedshift", tbrButtonGroup, "shift the selected rectangle or circle"},
    {"fastsearch", tbrButtonGroup, "fast search by a attribute"},
    {"sql", tbrButtonGroup, "SQL-Query by attributes"},
    {"html", tbrDefault, "kml extension"},
    {"", tbrSeparator, ""},
    {"add", tbrDefault, "add a new feature"},
    {"delete", tbrDefault, "delete (a) feature(s)"},
    {"shift", tbrDefault, "shift (a) feature(s)"},
    {"export", tbrDefault, "export into other formats"},
    {"", tbrSeparator, ""},
    {"topen", tbrDefault, "options for opening files"},
    {"thighlight", tbrButtonGroup, "options for feature highlight"},
    {"tbbox", tbrButtonGroup, "options for bounding box"},
    {"tcursor", tbrButtonGroup, "select a cursor for spatial query"},
    {"tkml", tbrButtonGroup, "options for kml export"},
    {"", tbrSeparator, ""},
};

constexpr ButtonDef kContourSet[] = {
    {"", tbrSeparator, ""}, {"contour", tbrButtonGroup, "Create new Contours"},
    {"", tbrSeparator, ""}, {"tcontour", tbrButtonGroup, "Options for creating Contours"},
    {"", tbrSeparator, ""},
};

template <std::size_t N>
void Build(Toolbar& bar, ImageList& images, FontEngine& fonts, const ButtonDef (&set)[N]) {
  bar.Clear();
  bar.images = &images;
  for (const ButtonDef& d : set) {
    if (d.style != tbrSeparator && !images.Find(d.key))
      images.Add(d.key, ToolbarImage(d.key, fonts));
    ToolbarButton& b = bar.Add(d.key, d.style, d.style == tbrSeparator ? "" : d.key);
    b.ToolTipText = b.Description = d.tip;
  }
  bar.Move(bar.Left(), bar.Top(), 9000);
}
}  // namespace

void FrmQuarlin::BuildWorkspaceToolbar() {
  Build(Toolbar1, ImageList4GEToolbar, desktop().gdi().fonts(), kWorkspaceSet);
  DisableAllButtons();
  EnableButtons({"open", "wfs", "topen", "thighlight", "tbbox", "tcursor", "tkml"});
}

void FrmQuarlin::BuildContourToolbar() {
  Build(Toolbar1, ImageList4GEToolbar, desktop().gdi().fonts(), kContourSet);
}

void FrmQuarlin::SetAllButtons(bool enabled) {
  for (ToolbarButton& b : Toolbar1.Buttons()) b.Enabled = enabled;
  Toolbar1.Refresh();
}

void FrmQuarlin::SetButtons(const std::vector<std::string>& keys, bool enabled) {
  for (ToolbarButton& b : Toolbar1.Buttons())
    if (std::find(keys.begin(), keys.end(), b.Key) != keys.end()) b.Enabled = enabled;
  Toolbar1.Refresh();
}

void FrmQuarlin::Toolbar1_ButtonClick(ToolbarButton& button) {
  const std::string key = button.Key;  // the button set may change under it
  LastToolKey = key;
  if (key == "open") {
    const bool chosen = OpenCommand();
    Toolbar1.SetValue("open", tbrUnpressed);
    Toolbar1.SetValue("pan", tbrPressed);
    if (chosen) EnableAllButtons();
  } else if (key == "leaf") {
    m_.attached.AttachWindow(frameBrowser.hwnd(), objGE->GetMainHwnd());
    frameBrowser.SetVisible(true);
  } else if (key == "pan") {
    // Every capture ends: hooks, timers and the tools' states.
    EndAllTools();
    chkFloatingInfo.SetValue(0);
  } else if (key == "select") {
    optSelectType[0].SetValue(true);
    CaptureToggle();
  } else if (key == "multiselect") {
    optSelectType[1].SetValue(true);
    CaptureToggle();
  } else if (key == "circleselect") {
    optSelectType[1].SetValue(true);
    Command36_Click();
  } else if (key == "selectedshift") {
    SelectedShiftCommand();
  } else if (key == "fastsearch") {
    FastSearchCommand();
  } else if (key == "shift") {
    ShiftCommand();
  } else if (key == "html") {
    HtmlCommand();
  } else if (key == "export") {
    // Keys without a command of their own reach the frames' commands:
    // the export writes the open shapefile as KML, topen shows the options.
    Command8_Click();
  } else if (key == "topen") {
    Command20_Click();
  } else if (key == "tbbox" || key == "thighlight" || key == "tcursor") {
    StyleDialog(key);
    Toolbar1.SetValue(key, tbrUnpressed);
  } else if (key == "contour") {
    RunContour();
  } else if (key == "tcontour") {
    ContourDialog();
    Toolbar1.SetValue(key, tbrUnpressed);
  }
}

void FrmQuarlin::Toolbar1_MouseDown(int button, int, double x, double) {
  if (x < 210 || button == vbRightButton) {
    desktop().ReleaseCapture();
    desktop().SendMessageA(Toolbar1.hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
}

contour::ContourCommandResult FrmQuarlin::RunContour() {
  contour::ContourCommandUi ui;
  ui.enableToolbar = [this](bool on) { Toolbar1.SetEnabled(on); };
  ui.pressContourButton = [this](bool pressed) {
    Toolbar1.SetValue("contour", pressed ? tbrPressed : tbrUnpressed);
  };
  ui.placeProgressBar = [this] { PlaceProgressBar(); };
  // The command reads the contour dialog's progress box, which loads the
  // dialog and with it the dialog's settings; until that dialog is built,
  // its settings are put in place the same way, once.
  ui.showProgress = [this] { return m_.frmContour.ProgressChecked(); };
  try {
    lastContour = contour::RunContourCommand(m_.contour, m_.programDir, ui);
  } catch (const automation::AutomationError& e) {
    // A failing globe call ends the command; the user hears why.
    lastContour = {};
    ReportGlobeFailure(e);
  }
  return lastContour;
}

void FrmQuarlin::StyleDialog(const std::string& key) {
  if (key == "tbbox")
    m_.styles.OpenBBoxStyle();
  else if (key == "thighlight")
    m_.styles.OpenHighlightStyle();
  else if (key == "tcursor")
    m_.styles.OpenCursorStyle();
}

void FrmQuarlin::ContourDialog() {
  Toolbar1.SetEnabled(false);
  Toolbar1.SetValue("tcontour", tbrPressed);
  struct Release {
    FrmQuarlin& q;
    ~Release() {
      q.Toolbar1.SetValue("tcontour", tbrUnpressed);
      q.Toolbar1.SetEnabled(true);
    }
  } release{*this};
  contour::FrmContour& dialog = m_.frmContour;
  dialog.Command3.SetEnabled(m_.contour.GridReady);
  try {
    m_.attached.SetFormParentToGE(dialog.hwnd(), objGE->GetMainHwnd());
  } catch (const automation::AutomationError&) {
    // Without the globe's window the dialog shows on its own.
  }
  dialog.Show(true);
}

void FrmQuarlin::PlaceProgressBar() {
  win::RECT main{}, bar{};
  if (desktop().GetWindowRect(m_.ge.GEMainHwnd, &main)) m_.ge.GEMainRect = main;
  desktop().GetWindowRect(desktop().GetParent(ProgressBar1.hwnd()), &bar);
  const double width = std::max(300.0, m_.ge.GEMainRect.width() * 15.0 - MenuBarLeft - 3600);
  ProgressBar1.Move(bar.width() * 15.0 - width - 300, ProgressBar1.Top(), width);
}

}  // namespace altimar::workspace
