// The style dialogs, the RGB dialog and the screen pick together, opened
// from the workspace with the rules of each dialog before and after it shows.
#pragma once

#include "host/mouse_hooks.h"
#include "ui/screen_pick.h"
#include "ui/set_rgb.h"
#include "ui/style_dialogs.h"
#include "ui/style_settings.h"

namespace altimar::ui {

class StyleForms {
 public:
  StyleForms(win::Desktop& desktop, int program, StyleSettings& style, host::MouseHooks& hooks);

  // Opening from the workspace: set the target and working colour, show the
  // dialog modally, then take what it chose.
  void OpenBBoxStyle();
  void OpenHighlightStyle();
  void OpenCursorStyle();
  // The dialog of a target (1 BBox, 2 Highlight, 3 Cursor), or nullptr.
  StyleDialog* DialogOf(int target);

  StyleSettings& style;
  host::MouseHooks& hooks;
  FrmBBoxStyle frmBBoxStyle;
  FrmHighlightStyle frmHighlightStyle;
  FrmCursorStyle frmCursorStyle;
  FrmSetRGB frmSetRGB;
  ScreenPick pick;
};

}  // namespace altimar::ui
