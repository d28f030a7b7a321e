#include "app/program.h"

namespace altimar::app {

using namespace altimar::win;

namespace {
host::MenuBarLinks MenuLinks(Program& p) {
  host::MenuBarLinks l;
  l.setWorkspaceToolbarVisible = [&p](bool v) { p.frmQuarlin.Toolbar1.SetVisible(v); };
  l.startCircleTool = [&p] { p.frmQuarlin.Command36_Click(); };
  l.unloadWorkspace = [&p] { p.frmQuarlin.Unload(); };
  l.workspaceHwnd = [&p] { return p.frmQuarlin.loaded() ? p.frmQuarlin.hwnd() : 0; };
  l.initScreenDrawing = [&p] { p.drawing.InitScreenDrawing(); };
  l.drawScreenText = [&p](const std::string& t, std::int32_t c, int f, int o) {
    p.drawing.DrawScreenText(t, c, f, o);
  };
  l.renderHwnd = [&p] { return p.drawing.GERenderHwnd; };
  // (Read when used: the workspace form is built after the menu bar form.)
  l.progressBar = [&p] { return &p.frmQuarlin.ProgressBar1; };
  l.menuBarLeft = [&p] { return static_cast<int>(p.frmQuarlin.MenuBarLeft); };
  l.placeProgressBar = [&p] { p.frmQuarlin.PlaceProgressBar(); };
  l.flatEarth = &p.flatEarth;
  return l;
}

ui::FloatingInfoLinks FloatingLinks(Program& p) {
  ui::FloatingInfoLinks l;
  l.toggleFloat = [&p] {
    auto& box = p.styles.frmHighlightStyle.Check2;
    box.SetValue(box.Value == 1 ? 0 : 1);
  };
  l.clearShow = [&p] { p.styles.frmHighlightStyle.Check1.SetValue(0); };
  l.clearWorkspaceBox = [&p] {
    if (p.frmQuarlin.loaded()) p.frmQuarlin.chkFloatingInfo.SetValue(0);
  };
  return l;
}
data::FastSelectLinks FastSelectLinks(Program& p) {
  data::FastSelectLinks l;
  l.shapeTypeName = [&p] { return p.source.ShapeTypeName; };
  l.setSelection = [&p](const std::vector<std::int32_t>& fids) {
    p.frmQuarlin.TakeSelection(fids);
  };
  l.releaseButton = [&p] {
    if (p.frmQuarlin.loaded()) p.frmQuarlin.Toolbar1.SetValue("fastsearch", forms::tbrUnpressed);
  };
  return l;
}

data::HtmlWindowLinks HtmlLinks(Program& p) {
  data::HtmlWindowLinks l;
  l.floatValue = [&p] { return p.styles.frmHighlightStyle.Check2.Value; };
  l.setFloatValue = [&p](int v) { p.styles.frmHighlightStyle.Check2.SetValue(v); };
  l.clearShow = [&p] { p.styles.frmHighlightStyle.Check1.SetValue(0); };
  l.lastToolKey = [&p] { return p.frmQuarlin.LastToolKey; };
  return l;
}
}  // namespace

Program::Program(Desktop& d, std::string dir, std::uint64_t seed)
    : desktop(d),
      id(d.StartProgram("altimar")),
      programDir(std::move(dir)),
      random(seed),
      hooks(d, id),
      hotkeys(d),
      attached(d),
      contour(d, random),
      drawing(d, random, style, hooks.LastHookPoint, ge.GERenderRect),
      frmMove(d, id),
      frmFloatingInfo(d, id, FloatingLinks(*this)),
      styles(d, id, style, hooks),
      frmContour(d, id, contour, ge, styles.frmSetRGB, programDir),
      frmGEMenu(d, id, ge, hotkeys, programDir, MenuLinks(*this)),
      rdb(d, shapes, programDir),
      frmOpenOptions(d, id),
      frmOpenResource(d, id),
      documentsGE(d),
      documents(documentsGE, programDir, style,
                [this] { return frmQuarlin.chkShowBBox.Value == 1; }),
      operations(documentsGE, rdb, shapes, programDir, style,
                 [this] { return frmQuarlin.chkShowBBox.Value == 1; }),
      frmFastSelect(d, id, rdb, operations, style, FastSelectLinks(*this)),
      frmHtml(d, id, documentsGE, rdb, programDir, HtmlLinks(*this)),
      frmHTML_(d, id),
      frmQuarlin(d, id,
                 workspace::WorkspaceModules{ge,
                                             hooks,
                                             hotkeys,
                                             attached,
                                             style,
                                             contour,
                                             frmGEMenu,
                                             frmMove,
                                             frmFloatingInfo,
                                             styles,
                                             frmContour,
                                             drawing,
                                             shapes,
                                             rdb,
                                             source,
                                             selection,
                                             flatEarth,
                                             frmOpenOptions,
                                             frmOpenResource,
                                             documents,
                                             operations,
                                             frmFastSelect,
                                             frmHtml,
                                             programDir,
                                             [this] { End(); }}) {
  data::ImportView view;
  view.progress = &frmQuarlin.ProgressBar1;
  view.setMousePointer = [this](int shape) { frmQuarlin.SetMousePointer(shape); };
  view.appendLog = [this](const std::string& t) {
    frmQuarlin.Text1.SetText(frmQuarlin.Text1.Text() + t);
  };
  view.reportSeconds = [this](const std::string& t) { frmQuarlin.ImportSeconds = t; };
  rdb.SetView(std::move(view));
  contour.set_mouse_hooks(&hooks);
  contour.set_progress_bar(&frmQuarlin.ProgressBar1);
  host::HotkeyActions& a = hotkeys.actions;
  a.contourBarClick = [this] { frmGEMenu.contourBar_Click(); };
  a.cancelSampling = [this] { contour.CancelSampling = true; };
  a.cameraClick = [this] { frmGEMenu.bexoCamera_Click(); };
  a.geMainWindow = [this] { return ge.GEMainHwnd; };
  a.contourDialog = [this] { return frmContour.loaded() ? frmContour.hwnd() : HWND{0}; };
}

Program::~Program() {
  End();
}

void Program::Start() {
  // The start-up form shows once it has loaded (in Embed mode it stands off the screen).
  frmQuarlin.Load();
  if (!ended_) frmQuarlin.Show();
}

void Program::End() {
  if (ending_ || ended_) return;
  ending_ = true;
  hooks.HookPopAll();
  if (frmQuarlin.loaded() && hotkeys.SavedWndProc != 0) hotkeys.HotkeyRemove(frmQuarlin.hwnd());
  frmGEMenu.Unload();
  frmContour.Unload();
  styles.frmSetRGB.Unload();
  styles.frmBBoxStyle.Unload();
  styles.frmHighlightStyle.Unload();
  styles.frmCursorStyle.Unload();
  frmFloatingInfo.Unload();
  frmMove.Unload();
  frmOpenOptions.Unload();
  frmOpenResource.Unload();
  frmFastSelect.Unload();
  frmHtml.Unload();
  frmHTML_.Unload();
  frmQuarlin.Unload();
  desktop.EndProgram(id);
  ending_ = false;
  ended_ = true;
}

}  // namespace altimar::app
