// The properties window ("Properties/Description"): the attributes of one
// feature in a list, a web browser page, and a search panel, on three tabs.
// It lives inside the globe's render window while it is loaded; the browser
// shows the program folder's clock face there. frmHTML_ is the small tabbed
// window of the same caption.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "data/attribute_database.h"
#include "host/application_ge.h"
#include "platform/forms/controls.h"
#include "platform/forms/lists.h"
#include "platform/forms/pictures.h"
#include "platform/forms/web_browser.h"

namespace altimar::data {

// What the window reads and switches in other forms; the program wires them.
struct HtmlWindowLinks {
  std::function<int()> floatValue;           // the highlight dialog's "Float" box (0 or 1)
  std::function<void(int)> setFloatValue;    // sets that box
  std::function<void()> clearShow;           // clears its "Show" box
  std::function<std::string()> lastToolKey;  // the workspace's LastToolKey
};

class FrmHtml : public forms::Form {
 public:
  FrmHtml(win::Desktop& desktop, int program, host::ApplicationGE& objGE, AttributeDatabase& rdb,
          std::string programDir, HtmlWindowLinks links);

  forms::Label Label2{*this, "Label2"};
  forms::CheckBox chkFloatingInfo{*this, "chkFloatingInfo"};
  forms::TabStrip TabStrip1{*this, "TabStrip1"};
  forms::ListView ListView1{*this, "ListView1"};
  forms::WebBrowser WebBrowser1{*this, "WebBrowser1"};
  forms::Frame frameFastSearch{*this, "frameFastSearch"};
  forms::Label lblSearchField{*this, "lblSearchField", &frameFastSearch};
  forms::ComboBox cmbSearchField{*this, "cmbSearchField", &frameFastSearch};
  forms::Label lblSearchOperator{*this, "lblSearchOperator", &frameFastSearch};
  forms::ComboBox cmbSearchOperator{*this, "cmbSearchOperator", &frameFastSearch};
  forms::Label lblSearchValue{*this, "lblSearchValue", &frameFastSearch};
  forms::TextBox txtSearchValue{*this, "txtSearchValue", &frameFastSearch};
  forms::CommandButton cmdSearch{*this, "cmdSearch", &frameFastSearch};

  // Shows the attributes of the feature numbered fid: moves the Feature
  // recordset to its row, then lists one row per attribute column ("No.",
  // "Field", "Value") and sets Label2 to "FID: " and the number. The list is
  // cleared first; when no row has that FID (or no database is open) it
  // stays empty, Label2 keeps its text, and the answer is false.
  bool ShowRecordProperties(std::int32_t fid);
  // The browser's buttons: 0 back, 1 forward, 2 stop, 3 refresh; any other
  // index does nothing.
  void BrowserCommand(int index);
  // Whether value is one of the comma-separated items of list, compared
  // whole and with case.
  static bool InList(const std::string& value, const std::string& list);

  void TabStrip1_Click();
  void chkFloatingInfo_Click();
  void WebBrowser1_StatusTextChange(const std::string& text);
  void WebBrowser1_NewWindow2(bool& cancel);
  void WebBrowser1_NavigateError(const std::string& url, bool& cancel);

  // --- fields ---
  win::HWND OldParent = 0;   // the window's parent before it went into the render window
  win::HWND RenderHwnd = 0;  // the globe's render window (0 when there was no globe)
  std::string LinkText;      // the link under the pointer, from the browser's status text
  bool SameWindow = false;   // the status text looks like an address (two dots or more)

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  // Puts the Feature recordset on the row of fid: a seek on the table's FID
  // index, or a walk through a table that has none. False when no row has it.
  bool MoveToFeature(dao::Recordset& features, std::int32_t fid);
  void LayOutSearchPanel();

  host::ApplicationGE& objGE;
  AttributeDatabase& rdb_;
  std::string programDir_;
  HtmlWindowLinks links_;
};

// The small window of the same caption: three tab pages and nothing on them.
// The program shows it modally (Show(true)).
class FrmHTML_ : public forms::Form {
 public:
  FrmHTML_(win::Desktop& desktop, int program);

  forms::TabStrip SSTab1{*this, "SSTab1"};

 protected:
  void Form_Load() override;
};

}  // namespace altimar::data
