#include "data/html_window.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "data/clock_face.h"

namespace altimar::data {

using namespace altimar::forms;
using namespace altimar::win;

namespace {

constexpr const char* kCaption = "Properties/Description";
// The toolbar keys whose tools can float the information window.
constexpr const char* kFloatingTools = "leaf,select";
// The end of a status text that describes a link rather than naming it, and
// how many characters of such a text follow the link.
constexpr std::string_view kDescribedLinkEnd = "\xE6\x96\xB9\xE5\xBC\x8F";  // "方式"
constexpr std::size_t kLinkDescriptionCharacters = 7;

bool ContinuesCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The UTF-8 text without its last n characters: empty when it has no more,
// and never cut inside a character.
std::string_view DropLastCharacters(std::string_view text, std::size_t n) {
  std::size_t end = text.size();
  for (; n > 0 && end > 0; --n) {
    --end;
    while (end > 0 && ContinuesCharacter(text[end])) --end;
  }
  return text.substr(0, end);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return a == std::tolower(static_cast<unsigned char>(b));
         });
}

// Whether the text is an http, https or file address: the scheme, "//", then
// at least a host or a path, and no blank or control character anywhere.
bool IsLinkAddress(std::string_view text) {
  if (std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= 0x20 || b == 0x7F;
      }))
    return false;
  for (std::string_view scheme : {"http://", "https://"})
    if (StartsWithNoCase(text, scheme))
      return text.size() > scheme.size() && text[scheme.size()] != '/';
  return StartsWithNoCase(text, "file://") && text.size() > 7;
}

}  // namespace

// --- frmHtml ---

FrmHtml::FrmHtml(Desktop& desktop, int program, host::ApplicationGE& objGE, AttributeDatabase& rdb,
                 std::string programDir, HtmlWindowLinks links)
    : Form(desktop, program, "frmHtml"),
      objGE(objGE),
      rdb_(rdb),
      programDir_(std::move(programDir)),
      links_(std::move(links)) {
  initialCaption_ = kCaption;
  initialWidth_ = 5640;
  initialHeight_ = 5520;
  Label2.Move(120, 90, 2520, 255);
  chkFloatingInfo.Move(2760, 60, 2640, 300);
  TabStrip1.Move(60, 420, 5400, 4500);
  TabStrip1.Add("Search", "Search");
  TabStrip1.Add("Properties", "Properties");
  TabStrip1.Add("html", "HTML/JavaScript");
  // The pages lie over the tab strip's client area, one shown at a time.
  for (Control* page : std::initializer_list<Control*>{&ListView1, &WebBrowser1, &frameFastSearch})
    page->Move(120, 780, 5280, 4080);
  ListView1.AddColumn("No.", 600);
  ListView1.AddColumn("Field", 1800);
  ListView1.AddColumn("Value", 2760);
  LayOutSearchPanel();
}

void FrmHtml::LayOutSearchPanel() {
  lblSearchField.Move(120, 330, 1200, 255);
  cmbSearchField.Move(1440, 300, 3600, 315);
  lblSearchOperator.Move(120, 750, 1200, 255);
  cmbSearchOperator.Move(1440, 720, 1200, 315);
  lblSearchValue.Move(120, 1170, 1200, 255);
  txtSearchValue.Move(1440, 1140, 3600, 315);
  cmdSearch.Move(3840, 1620, 1200, 375);
}

void FrmHtml::Form_Load() {
  Label2.Caption = "FID: ";
  chkFloatingInfo.Caption = "Floating InfoWindow";
  frameFastSearch.Caption = "Search by an Attribute";
  lblSearchField.Caption = "Field:";
  lblSearchOperator.Caption = "Operator:";
  lblSearchValue.Caption = "Value:";
  cmdSearch.Caption = "Search";
  ListView1.Clear();
  LinkText.clear();
  SameWindow = false;

  chkFloatingInfo.Value = links_.floatValue ? links_.floatValue() : 0;
  chkFloatingInfo.SetEnabled(
      InList(links_.lastToolKey ? links_.lastToolKey() : "", kFloatingTools));
  chkFloatingInfo.Click = [this] { chkFloatingInfo_Click(); };
  TabStrip1.Click = [this] { TabStrip1_Click(); };
  WebBrowser1.StatusTextChange = [this](const std::string& t) { WebBrowser1_StatusTextChange(t); };
  WebBrowser1.NewWindow2 = [this](bool& cancel) { WebBrowser1_NewWindow2(cancel); };
  WebBrowser1.NavigateError = [this](const std::string& url, bool& cancel) {
    WebBrowser1_NavigateError(url, cancel);
  };

  // The window opens on the properties. It would open on the search panel
  // for the tool key "fastselect", but no toolbar button has that key, so
  // that way is left out.
  frameFastSearch.SetVisible(false);
  TabStrip1.Select(2);

  // Inside the globe's render window when there is one; without a globe the
  // window stands on its own.
  try {
    RenderHwnd = objGE->GetRenderHwnd();
  } catch (const automation::AutomationError&) {
    RenderHwnd = 0;
  }
  RECT r;
  if (RenderHwnd != 0 && desktop().GetWindowRect(RenderHwnd, &r)) {
    OldParent = desktop().SetParent(hwnd(), RenderHwnd);
    WebBrowser1.Navigate(EnsureClockSvg(programDir_));
  }
}

void FrmHtml::Form_Unload(bool& cancel) {
  (void)cancel;
  // The window leaves the globe's window first, so that nothing after this
  // runs inside another program's window. When the globe has quit, the
  // window went with its render window and there is nothing to give back.
  if (OldParent != 0) desktop().SetParent(hwnd(), OldParent);
  OldParent = 0;
  RenderHwnd = 0;
  if (links_.clearShow) links_.clearShow();
}

void FrmHtml::TabStrip1_Click() {
  const Tab* tab = TabStrip1.SelectedItem();
  if (!tab) return;
  const bool search = tab->Key == "Search", properties = tab->Key == "Properties",
             html = tab->Key == "html";
  if (!search && !properties && !html) return;
  frameFastSearch.SetVisible(search);
  ListView1.SetVisible(properties);
  WebBrowser1.SetVisible(html);
}

void FrmHtml::chkFloatingInfo_Click() {
  if (links_.setFloatValue) links_.setFloatValue(chkFloatingInfo.Value);
}

bool FrmHtml::ShowRecordProperties(std::int32_t fid) {
  ListView1.Clear();
  if (!rdb_.FeatureRs) return false;
  dao::Recordset& features = *rdb_.FeatureRs;
  std::vector<std::vector<std::string>> rows;
  try {
    if (!MoveToFeature(features, fid) || features.BOF() || features.EOF_()) return false;
    const int count = std::min(rdb_.AttrCount, static_cast<int>(rdb_.AttrDef.size()));
    for (int i = 1; i <= count; ++i) {
      const std::string& name = rdb_.AttrDef[static_cast<std::size_t>(i - 1)][0];
      // Each value is read by its column's name: a KML file's table has a
      // column before the attributes, so the i-th attribute is not always
      // the i-th column after FID.
      int column = features.FieldIndex(name);
      if (column < 0) column = i;
      const std::string value =
          column < features.FieldCount() ? dao::ValueText(features.Get(column)) : std::string();
      rows.push_back({std::to_string(i), name, value});
    }
  } catch (const dao::DaoError&) {
    return false;  // a database closed under the window shows nothing
  }
  Label2.Caption = "FID: " + std::to_string(fid);
  Label2.Refresh();
  for (auto& row : rows) ListView1.AddItem(row[0]).SubItems = {row[1], row[2]};
  ListView1.Refresh();
  return true;
}

bool FrmHtml::MoveToFeature(dao::Recordset& features, std::int32_t fid) {
  const dao::Value key = std::int64_t{fid};
  if (features.Index() != "FID") {
    try {
      features.SetIndex("FID");
    } catch (const dao::DaoError&) {
      // A KML file's table has no FID index: it is walked below.
    }
  }
  if (features.Index() == "FID") {
    features.Seek(dao::Comparison::Equal, key);
    return !features.NoMatch();
  }
  if (features.RecordCount() == 0) return false;
  for (features.MoveFirst(); !features.EOF_(); features.MoveNext())
    if (features.Get(0) == key) return true;
  return false;
}

void FrmHtml::BrowserCommand(int index) {
  switch (index) {
    case 0:
      WebBrowser1.GoBack();
      break;
    case 1:
      WebBrowser1.GoForward();
      break;
    case 2:
      WebBrowser1.Stop();
      break;
    case 3:
      WebBrowser1.Reload();
      break;
    default:
      break;
  }
}

bool FrmHtml::InList(const std::string& value, const std::string& list) {
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    const std::size_t length = comma == std::string::npos ? std::string::npos : comma - start;
    if (list.compare(start, length, value) == 0) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}

void FrmHtml::WebBrowser1_StatusTextChange(const std::string& text) {
  const std::string_view t = text;
  LinkText = t.ends_with(kDescribedLinkEnd) ? DropLastCharacters(t, kLinkDescriptionCharacters) : t;
  SameWindow = std::count(text.begin(), text.end(), '.') >= 2;
}

void FrmHtml::WebBrowser1_NewWindow2(bool& cancel) {
  // A link that names an address opens in this window's place; any other new
  // window the control opens here by itself.
  if (!SameWindow || !IsLinkAddress(LinkText)) return;
  cancel = true;
  const std::string link = LinkText;  // the navigation sets a new status text
  WebBrowser1.Navigate(link);
}

void FrmHtml::WebBrowser1_NavigateError(const std::string& url, bool& cancel) {
  (void)url;
  cancel = true;  // no error page: the page shown stays
}

// --- frmHTML_ ---

FrmHTML_::FrmHTML_(Desktop& desktop, int program) : Form(desktop, program, "frmHTML_") {
  initialCaption_ = kCaption;
  initialWidth_ = 4800;
  initialHeight_ = 3600;
  BorderStyle = vbFixedDialog;
  SSTab1.Move(120, 120, 4440, 2880);
  SSTab1.Add("Search", "Search");
  SSTab1.Add("Properties", "Properties");
  SSTab1.Add("HTML/JavaScript", "HTML/JavaScript");
}

void FrmHTML_::Form_Load() {
  SSTab1.Select(2);
}

}  // namespace altimar::data
