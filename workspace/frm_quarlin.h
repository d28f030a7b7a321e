// The workspace form: the program's start-up form. It carries the toolbar
// that goes into the globe's menu bar (contour or workspace button set) with
// its dispatcher, the connection modes that attach the program to the globe,
// the timer that ends the program with the globe, and the frames of buttons
// of the GIS workspace.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "contour/contour.h"
#include "contour/contour_command.h"
#include "contour/contour_dialog.h"
#include "data/attribute_database.h"
#include "data/fast_select.h"
#include "data/html_window.h"
#include "data/operation_document.h"
#include "host/application_ge.h"
#include "host/ge_windows.h"
#include "host/hotkeys.h"
#include "host/menu_bar_form.h"
#include "host/mouse_hooks.h"
#include "host/window_utils.h"
#include "platform/forms/common_dialog.h"
#include "platform/forms/controls.h"
#include "platform/forms/menu.h"
#include "platform/forms/pictures.h"
#include "platform/forms/toolbar.h"
#include "ui/screen_drawing.h"
#include "ui/small_windows.h"
#include "ui/style_forms.h"
#include "ui/style_settings.h"
#include "workspace/open_forms.h"
#include "workspace/open_source.h"
#include "workspace/selection_kml.h"
#include "workspace/selection_state.h"

namespace altimar::shapefile {
class ShapeLibrary;
}

namespace altimar::workspace {

enum ConnectModes { kNormal = 0, kDock = 1, kEmbed = 2, kMdiChild = 3, kMdiParent = 4, kMenu = 5 };

// The program's modules the form works with; the program owns them.
struct WorkspaceModules {
  host::GEWindows& ge;
  host::MouseHooks& hooks;
  host::Hotkeys& hotkeys;
  host::AttachedWindows& attached;
  ui::StyleSettings& style;
  contour::Contour& contour;
  host::FrmGEMenu& menuBar;
  ui::FrmMove& frmMove;
  ui::FrmFloatingInfo& floatingInfo;
  ui::StyleForms& styles;
  contour::FrmContour& frmContour;
  ui::ScreenDrawing& drawing;
  shapefile::ShapeLibrary& shapes;
  data::AttributeDatabase& rdb;
  OpenSource& source;
  SelectionState& selection;
  bool& FlatTestPending;  // the next circle is for the flatness test
  FrmOpenOptions& frmOpenOptions;
  FrmOpenResource& frmOpenResource;
  SelectionDocuments& documents;
  data::OperationDocument& operations;
  data::FrmFastSelect& frmFastSelect;
  data::FrmHtml& frmHtml;
  std::string programDir;
  std::function<void()> endProgram;  // ends the program (forms, hooks, hot keys)
};

class FrmQuarlin : public forms::Form {
 public:
  FrmQuarlin(win::Desktop& desktop, int program, WorkspaceModules modules);

  // --- start-up, connection modes and shutdown ---
  void optStart_Click(int index);
  void AttachToGEMenuBar(forms::Control& control);
  void ParentToGEMenuBar(win::HWND hwnd);
  void Command34_Click();
  // Where the progress bar goes in the menu bar while a command runs.
  void PlaceProgressBar();

  // --- toolbar ---
  void BuildWorkspaceToolbar();
  void BuildContourToolbar();
  // The workspace set on the form's own toolbar (the modes that show the form).
  void ShowWorkspaceToolbar();
  void EnableAllButtons() { SetAllButtons(true); }
  void DisableAllButtons() { SetAllButtons(false); }
  void EnableButtons(const std::vector<std::string>& keys) { SetButtons(keys, true); }
  void DisableButtons(const std::vector<std::string>& keys) { SetButtons(keys, false); }
  void Toolbar1_ButtonClick(forms::ToolbarButton& button);
  void Toolbar1_MouseDown(int button, int shift, double x, double y);
  void chkFloatingInfo_Click();
  // The contour command, as the toolbar runs it.
  contour::ContourCommandResult RunContour();
  // Loads the contour dialog, which sets its settings (the first contour
  // command does it too); after it, settings changed in the contour state stay.
  void LoadContourDialog() { m_.frmContour.Load(); }
  // What the last contour command gave (for front ends and tests).
  contour::ContourCommandResult lastContour;

  // --- opening data (open_command.cpp) ---
  // The open command: true when a data source is open after it.
  bool OpenCommand();
  // "To KML": the open shapefile written as KML beside the program.
  void Command8_Click();
  void Command20_Click();

  // --- selection documents and the comparison tool (comparison_tool.cpp) ---
  void Command37_Click();
  void Timer4Compare_Tick();
  void Command17_Click();
  void Command19_Click();

  // --- picking by click and rectangle (pick_tool.cpp) ---
  // Command2: capture on ("Stop Capturing") or off ("Start Capturing").
  void CaptureToggle();
  void optSelectType_Click(int index);
  void Timer1_Tick();
  // The feature nearest to (PickLon, PickLat); fly: the globe flies to it.
  void SinglePick(bool fly);
  void RectangleSearch();
  // The rectangle search over two opposite corners (longitude, latitude).
  void RectangleSearchAt(double lon1, double lat1, double lon2, double lat2);
  // Ends every tool: hooks, timers, states, the capture caption.
  void EndAllTools();
  void Form_MouseDown(int button, int shift, double x, double y);

  // --- the circle and the flatness test (circle_tool.cpp) ---
  void Command36_Click();
  // "Move Circle": the last circle moved to a new place.
  void Command38_Click();
  void SelectedShiftCommand() { Command38_Click(); }
  void Timer5CirclePickup_Tick();
  void CircleSearch();
  void FlatnessTest();

  // --- editing (edit_tools.cpp) ---
  void Command18_Click();
  // "Delete": the selection shown as deleted.
  void Command4_Click();
  // The shift tool.
  void ShiftCommand();
  void Timer3_Tick();
  void RecordShift(double dx, double dy, double dz);
  // The features of the selection (the first SelCount rows of the log) in
  // one document: the deleted document (grey, moved by the offsets) or the
  // selected one; a box around the last with "Display BBox".
  enum OperationDocumentKind { kSelectedDocument = 1, kDeletedDocument = 3 };
  void ShowOperationDocument(int kind, const std::string& colour, double speed, bool box,
                             std::array<double, 3> offsets);

  // --- browsing and the coordinate search (navigation.cpp) ---
  void txtFID_KeyPress(int& key);
  void Command21_Click();
  void Command22_Click();
  // Reads PickedFID and shows it (the selection is that feature).
  void ShowFeatureByFid();
  // The tour of the first features.
  void Command5_Click();
  // The coordinate search: the feature nearest to txtLon1, txtLat1.
  void Command1_Click();
  void Command26_Click();
  void imgProperties_Click();
  void VScroll1_Change();
  // Whether the globe's view stays within `tolerance` over `pauseMs`.
  bool IsViewSettled(int pauseMs, double tolerance);
  void timerNav_Tick();
  void Command43_Click();

  // The fast-select window (refused without an attribute database).
  void FastSearchCommand();
  // The HTML window inside the globe's view, with the picked feature's row.
  void HtmlCommand();
  // The selection a search outside the workspace found (its FIDs in log order).
  void TakeSelection(const std::vector<std::int32_t>& fids);
  // The style dialog of a toolbar key (tbbox, thighlight, tcursor).
  void StyleDialog(const std::string& key);
  // The contour dialog, shown modally inside the globe's main window.
  void ContourDialog();

  // --- fields ---
  host::ApplicationGE objGE;
  std::int32_t ConnectMode = -1;
  bool Docked = false;
  win::HWND AttachedHwnd = 0;
  win::HWND AttachedOldParent = 0;
  std::int16_t MenuBarLeft = 4500;
  std::string LastToolKey;
  bool SelectionShown = false, DeletedShown = false;  // selection documents shown in the globe
  // The chosen file, its extension and title, and where its KML export goes.
  std::string OpenFileName, OpenFileExt, OpenFileTitle, ExportKmlPath;
  std::string ImportSeconds;  // how long the last attribute import took, as text
  // The comparison tool: 0 waiting for the first corner, 1 first corner
  // fixed, 2 rectangle complete, 3 cancelled. Its own, apart from the
  // shift tool's state, so that neither tool takes the other's rectangle.
  std::uint8_t CompareState = 0;
  // The selection tools' form-level state.
  bool MultiMode = false;
  double PickLon = 0, PickLat = 0, EdgeLon = 0, EdgeLat = 0;
  std::int32_t CurrentFID = -1, PickedFID = -1;
  std::string LastGeometry;
  // The shift tool: 0 waiting for the start, 1 start fixed, 2 complete, 3 cancelled.
  std::uint8_t ShiftState = 0;
  struct Delta {
    double deltaX = 0, deltaY = 0, deltaZ = 0;
  } ShiftDelta;
  win::POINT ShiftStart{}, ShiftEnd{};      // client pixels of the render window
  bool PropertiesOpen = true;               // the properties frame shows its text
  win::POINT CompareStart{}, CompareEnd{};  // client pixels of the render window

  // --- controls ---
  forms::Toolbar Toolbar1{*this, "Toolbar1"};
  forms::ImageList ImageList4GEToolbar;
  forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  forms::CommandButton Command34{*this, "Command34"};
  forms::Frame frameStart{*this, "frameStart"};
  forms::OptionButton optStart[6] = {
      {*this, "optStart", 0, &frameStart}, {*this, "optStart", 1, &frameStart},
      {*this, "optStart", 2, &frameStart}, {*this, "optStart", 3, &frameStart},
      {*this, "optStart", 4, &frameStart}, {*this, "optStart", 5, &frameStart}};

  forms::Frame Frame1{*this, "Frame1"};
  forms::OptionButton optOpenResource[2] = {{*this, "optOpenResource", 0, &Frame1},
                                            {*this, "optOpenResource", 1, &Frame1}};
  forms::Label lblResource{*this, "lblResource", &Frame1};
  forms::TextBox txtOpenFile{*this, "txtOpenFile", &Frame1};
  forms::CommandButton Command6{*this, "Command6", &Frame1};
  forms::CommandButton Command20{*this, "Command20", &Frame1};

  forms::Frame framePickUp{*this, "framePickUp"};
  forms::Image imgPickUp{*this, "imgPickUp", &framePickUp};
  forms::CommandButton Command2{*this, "Command2", &framePickUp};
  forms::CommandButton Command36{*this, "Command36", &framePickUp};
  forms::Frame Frame5{*this, "Frame5", &framePickUp};
  forms::OptionButton optSelectType[2] = {{*this, "optSelectType", 0, &Frame5},
                                          {*this, "optSelectType", 1, &Frame5}};
  forms::CheckBox chkFloatingInfo{*this, "chkFloatingInfo", &framePickUp};
  forms::CommandButton cmdOptionHighlight{*this, "cmdOptionHighlight", &framePickUp};
  forms::CommandButton cmdOptionCursor{*this, "cmdOptionCursor", &framePickUp};

  forms::Frame frameSearchOnCoords{*this, "frameSearchOnCoords"};
  forms::OptionButton Option1{*this, "Option1", -1, &frameSearchOnCoords};
  forms::OptionButton Option4{*this, "Option4", -1, &frameSearchOnCoords};
  forms::Label lblLon{*this, "lblLon", &frameSearchOnCoords};
  forms::Label lblLat{*this, "lblLat", &frameSearchOnCoords};
  forms::TextBox txtLon1{*this, "txtLon1", &frameSearchOnCoords};
  forms::TextBox txtLat1{*this, "txtLat1", &frameSearchOnCoords};
  forms::TextBox txtLon2{*this, "txtLon2", &frameSearchOnCoords};
  forms::TextBox txtLat2{*this, "txtLat2", &frameSearchOnCoords};
  forms::CommandButton Command1{*this, "Command1", &frameSearchOnCoords};

  forms::Frame frameBrowser{*this, "frameBrowser"};
  forms::Label lblFID{*this, "lblFID", &frameBrowser};
  forms::TextBox txtFID{*this, "txtFID", &frameBrowser};
  forms::CommandButton Command21{*this, "Command21", &frameBrowser};
  forms::CommandButton Command22{*this, "Command22", &frameBrowser};
  forms::CommandButton Command5{*this, "Command5", &frameBrowser};
  forms::CheckBox chkShowBBox{*this, "chkShowBBox", &frameBrowser};
  forms::CommandButton cmdOptionBBox{*this, "cmdOptionBBox", &frameBrowser};

  forms::Frame frameEdit{*this, "frameEdit"};
  forms::Image imgEdit{*this, "imgEdit", &frameEdit};
  forms::CommandButton Command18{*this, "Command18", &frameEdit};
  forms::CommandButton Command7{*this, "Command7", &frameEdit};
  forms::CommandButton Command4{*this, "Command4", &frameEdit};
  forms::CommandButton Command11{*this, "Command11", &frameEdit};
  forms::CommandButton Command12{*this, "Command12", &frameEdit};

  forms::Frame frameExport{*this, "frameExport"};
  forms::CommandButton Command8{*this, "Command8", &frameExport};
  forms::CommandButton Command9{*this, "Command9", &frameExport};
  forms::CommandButton Command10{*this, "Command10", &frameExport};
  forms::CheckBox Check1{*this, "Check1", &frameExport};
  forms::CommandButton Command13{*this, "Command13", &frameExport};

  forms::Frame Frame2{*this, "Frame2"};
  forms::OptionButton Option2{*this, "Option2", -1, &Frame2};
  forms::OptionButton Option3{*this, "Option3", -1, &Frame2};
  forms::TextBox Text4{*this, "Text4", &Frame2};

  forms::Frame Frame3{*this, "Frame3"};
  forms::CommandButton Command16{*this, "Command16", &Frame3};
  forms::CommandButton Command15{*this, "Command15", &Frame3};

  forms::Frame frameProperties{*this, "frameProperties"};
  forms::Image imgProperties{*this, "imgProperties", &frameProperties};
  forms::TextBox Text1{*this, "Text1", &frameProperties};
  forms::CommandButton Command26{*this, "Command26", &frameProperties};

  forms::TextBox GEMouseX{*this, "GEMouseX"};
  forms::TextBox GEMouseY{*this, "GEMouseY"};
  forms::TextBox GEMouseX2{*this, "GEMouseX2"};
  forms::TextBox GEMouseY2{*this, "GEMouseY2"};

  forms::CommandButton Command3{*this, "Command3", &frameEdit};
  forms::CommandButton Command38{*this, "Command38", &framePickUp};
  forms::TextBox Text2{*this, "Text2"};
  forms::Menu mnufile{"mnufile", ""};
  forms::CommandButton Command43{*this, "Command43"};
  forms::Label lblNav{*this, "lblNav"};
  forms::VScrollBar VScroll1{*this, "VScroll1"};
  forms::Timer timerNav{*this, "timerNav"};
  forms::CommandButton Command37{*this, "Command37"};
  forms::CommandButton Command17{*this, "Command17"};
  forms::CommandButton Command19{*this, "Command19"};
  forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

  forms::Timer Timer1{*this, "Timer1"};
  forms::Timer Timer2{*this, "Timer2"};
  forms::Timer Timer3{*this, "Timer3"};
  forms::Timer Timer4Compare{*this, "Timer4Compare"};
  forms::Timer Timer5CirclePickup{*this, "Timer5CirclePickup"};
  forms::Timer Timer6GEStatus{*this, "Timer6GEStatus"};

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  void LayOut();
  void WireHandlers();
  void SetAllButtons(bool enabled);
  void SetButtons(const std::vector<std::string>& keys, bool enabled);
  bool DockClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool ReadGEMainRect();
  // Opening steps (open_command.cpp).
  struct OpenSnapshot;
  OpenSnapshot TakeSnapshot();
  void Restore(const OpenSnapshot& before);
  bool OpenShapefile(const OpenSnapshot& before);
  bool OpenKml(const OpenSnapshot& before);
  void OpenGml();
  void SetChosenFile(const std::string& path);
  bool ChooseFile(std::string& path);
  int ExportToKml();
  void ClearGEPlaces();
  void OpenFailed(const OpenSnapshot& before, const std::string& message);
  void ForgetSelection();
  void PopToolClients();
  bool CompareClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool PickupClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool MultiPickupClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool CirclePickupClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool CircleMoveClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  bool ShiftClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  // Two clicks on the view (the shift and comparison tools): 0 waiting, 1
  // first point fixed, 2 both written to the GEMouse boxes, 3 cancelled.
  bool TwoClickClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event, std::uint8_t& state,
                      win::POINT& start, win::POINT& end);
  // The view coordinates of two client pixels into GEMouseX, Y and X2, Y2.
  bool WriteViewPoints(win::POINT first, win::POINT second);
  void StartCircleClient(const char* client);
  // The render window and its rectangle, read from the globe as a tool starts.
  bool ReadRenderWindow();
  // The client pixel of a screen point over the render window (read again),
  // or nullopt when the point is over another window or the view has no size.
  std::optional<win::POINT> RenderPixel(win::POINT screen);
  // Turns a view point given in two text boxes into a terrain point.
  bool TerrainPoint(forms::TextBox& x, forms::TextBox& y, double& lon, double& lat);
  // Shows the selection's result of a multiple search (count -1: none).
  void ShowMultipleResult(int count, const std::string& fidList, bool straightDown);
  void ClearSelection();
  void BuildContextMenu();
  void ReportGlobeFailure(const std::exception& e);
  void WireSelectionTools();
  bool busy_ = false;     // an open or export runs
  bool touring_ = false;  // the tour runs
  bool HaveShapesToBrowse();
  static constexpr double kPropertiesOpenHeight = 2100, kPropertiesClosedHeight = 600;
  // The frames the scroll bar moves, with their tops when not scrolled.
  std::vector<std::pair<forms::Frame*, double>> panelTops_;
  win::POINT lastDockPoint_{-1, -1};
  WorkspaceModules m_;
};

}  // namespace altimar::workspace
