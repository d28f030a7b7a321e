// The program as one object: its modules (hook clients, hot keys, attached
// windows, styles, contour state, screen drawing) and its forms, wired
// together. Start loads the start-up form, which attaches the program to
// the running globe; the program ends when its forms say so (Exit, the globe
// going away, a second start) and then holds no hooks, hot keys or windows.
#pragma once

#include <memory>
#include <string>

#include "contour/contour.h"
#include "contour/contour_dialog.h"
#include "data/attribute_database.h"
#include "data/fast_select.h"
#include "data/html_window.h"
#include "data/operation_document.h"
#include "host/ge_windows.h"
#include "host/hotkeys.h"
#include "host/menu_bar_form.h"
#include "host/mouse_hooks.h"
#include "host/window_utils.h"
#include "platform/runtime/random.h"
#include "platform/shapefile/shape_library.h"
#include "ui/screen_drawing.h"
#include "ui/small_windows.h"
#include "ui/style_forms.h"
#include "ui/style_settings.h"
#include "workspace/frm_quarlin.h"
#include "workspace/open_forms.h"
#include "workspace/open_source.h"
#include "workspace/selection_kml.h"
#include "workspace/selection_state.h"

namespace altimar::app {

class Program {
 public:
  // programDir: where the program's documents go (contour.kml, Altimar.bmp).
  Program(win::Desktop& desktop, std::string programDir, std::uint64_t seed);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Loads the workspace form: single instance, Embed mode, defaults.
  void Start();
  bool ended() const { return ended_; }
  // Ends the program: forms unloaded, hooks and hot keys released.
  void End();

  win::Desktop& desktop;
  const int id;
  const std::string programDir;
  runtime::Pcg32 random;
  host::GEWindows ge;
  host::MouseHooks hooks;
  host::Hotkeys hotkeys;
  host::AttachedWindows attached;
  ui::StyleSettings style;
  bool flatEarth = false;
  contour::Contour contour;
  ui::ScreenDrawing drawing;
  ui::FrmMove frmMove;
  ui::FrmFloatingInfo frmFloatingInfo;
  ui::StyleForms styles;
  contour::FrmContour frmContour;
  host::FrmGEMenu frmGEMenu;
  // The open data source: the shapefile library's files, the attribute
  // database, the open's state, its dialogs and the selection documents.
  shapefile::ShapeLibrary shapes;
  data::AttributeDatabase rdb;
  workspace::OpenSource source;
  workspace::SelectionState selection;
  workspace::FrmOpenOptions frmOpenOptions;
  workspace::FrmOpenResource frmOpenResource;
  host::ApplicationGE documentsGE;
  workspace::SelectionDocuments documents;
  data::OperationDocument operations;
  data::FrmFastSelect frmFastSelect;
  data::FrmHtml frmHtml;
  data::FrmHTML_ frmHTML_;
  workspace::FrmQuarlin frmQuarlin;

 private:
  bool ended_ = false;
  bool ending_ = false;
};

}  // namespace altimar::app
