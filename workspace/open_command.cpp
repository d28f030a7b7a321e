// The open command: choose a shapefile, KML or GML file, open it, show what
// it holds in Text1, build its attribute database and, for a shapefile,
// write its KML export and show it in the globe. An open that fails leaves
// the source open before it as it was: its state, its database, its files
// in the shapefile library and the export's target.
#include <cctype>
#include <filesystem>

#include "platform/shapefile/shape_library.h"
#include "platform/shapefile/shp_reader.h"
#include "workspace/field_info.h"
#include "workspace/file_names.h"
#include "workspace/frm_quarlin.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;
namespace fs = std::filesystem;

namespace {
constexpr const char* kOpenFilter =
    "Shape Files(*.shp)|*.shp|KML Files(*.kml)|*.kml|GML Files(*.gml)|*.gml|";
constexpr const char* kOpenTitle = "Bexo - Open a local resource";

// Disables the open and export buttons while an open or export runs (both
// let events through), and gives them back their states after it.
class BusyButtons {
 public:
  BusyButtons(FrmQuarlin& q, bool& busy) : q_(q), busy_(busy) {
    busy_ = true;
    for (CommandButton* b : {&q.Command6, &q.Command8, &q.Command20}) {
      states_.push_back(b->Enabled());
      b->SetEnabled(false);
    }
    for (const char* key : {"open", "export"})
      if (ToolbarButton* b = q.Toolbar1.Button(key)) {
        toolbar_.push_back({key, b->Enabled});
        b->Enabled = false;
      }
    q.Toolbar1.Refresh();
  }
  ~BusyButtons() {
    std::size_t k = 0;
    for (CommandButton* b : {&q_.Command6, &q_.Command8, &q_.Command20})
      b->SetEnabled(states_[k++]);
    for (const auto& [key, enabled] : toolbar_)
      if (ToolbarButton* b = q_.Toolbar1.Button(key)) b->Enabled = enabled;
    q_.Toolbar1.Refresh();
    busy_ = false;
  }

 private:
  FrmQuarlin& q_;
  bool& busy_;
  std::vector<bool> states_;
  std::vector<std::pair<std::string, bool>> toolbar_;
};
}  // namespace

// What an open may change, kept to put back when it fails.
struct FrmQuarlin::OpenSnapshot {
  OpenSource source;
  std::string openFileName, openFileExt, openFileTitle, exportKmlPath, txtOpenFile, text1;
  std::vector<std::array<std::string, data::kAttrDefColumns>> attrDef;
  int attrCount = 0;
};

FrmQuarlin::OpenSnapshot FrmQuarlin::TakeSnapshot() {
  return {m_.source,          OpenFileName, OpenFileExt,    OpenFileTitle,   ExportKmlPath,
          txtOpenFile.Text(), Text1.Text(), m_.rdb.AttrDef, m_.rdb.AttrCount};
}

void FrmQuarlin::Restore(const OpenSnapshot& s) {
  m_.source = s.source;
  OpenFileName = s.openFileName;
  OpenFileExt = s.openFileExt;
  OpenFileTitle = s.openFileTitle;
  ExportKmlPath = s.exportKmlPath;
  txtOpenFile.SetText(s.txtOpenFile);
  Text1.SetText(s.text1);
  m_.rdb.AttrDef = s.attrDef;
  m_.rdb.AttrCount = s.attrCount;
  // The library holds the previous shapefile and table again; after a KML
  // or GML source it holds none.
  shapefile::ShapeLibrary& shapes = m_.shapes;
  if (s.source.OpenFileType == kShapefile) {
    shapes.SW_OpenShpFile(s.openFileName);
    const std::string dbf = shapefile::SiblingFile(s.source.OpenFileBase, "dbf");
    if (shapefile::FileExists(dbf))
      shapes.SW_OpenDBFFile(dbf);
    else
      shapes.SW_CloseDBFFile();
  } else {
    shapes.SW_CloseShpFile();
    shapes.SW_CloseDBFFile();
  }
}

void FrmQuarlin::OpenFailed(const OpenSnapshot& before, const std::string& message) {
  Restore(before);
  desktop().MessageBoxA(0, message, "Altimar", MB_OK);
}

void FrmQuarlin::SetChosenFile(const std::string& path) {
  txtOpenFile.SetText(path);
  OpenFileName = path;
  m_.source.OpenFileBase = StripExtension(path);
  OpenFileExt = ExtensionOf(path);
  OpenFileTitle = FileTitleOf(path);
  // A title that names one of the program's own documents would replace it.
  std::string lower = OpenFileTitle;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const bool own = lower == "contour" || lower == "quarlin_selected" ||
                   lower == "quarlin_deleted" || lower == "test function - openkmlfile";
  ExportKmlPath = ProgramFile(m_.programDir, OpenFileTitle + (own ? "_export.kml" : ".kml"));
}

bool FrmQuarlin::ChooseFile(std::string& path) {
  CommonDialog1.Filter = kOpenFilter;
  CommonDialog1.FileName.clear();
  CommonDialog1.DialogTitle = kOpenTitle;
  // Clicks on the globe are swallowed while the dialog is open, and the
  // dialog flashes.
  host::MouseHooks& hooks = m_.hooks;
  hooks.LockWindow = objGE->GetMainHwnd();
  hooks.LockClassName = "QWidget";
  hooks.BusyWindow = 0;  // the dialog is a new window each time
  hooks.HookPush("CallMouseHookProc9_Lock");
  struct PopLock {
    host::MouseHooks& hooks;
    ~PopLock() { hooks.HookPop(); }
  } pop{hooks};
  if (!CommonDialog1.ShowOpen()) return false;
  path = CommonDialog1.FileName;
  return true;
}

bool FrmQuarlin::OpenCommand() {
  if (busy_) return m_.source.OpenFileType != kNoSource;
  if (optOpenResource[0].Value()) {
    m_.frmOpenResource.Show(true);
    return m_.source.OpenFileType != kNoSource;
  }
  BusyButtons buttons(*this, busy_);
  std::string path;
  try {
    if (!ChooseFile(path)) return m_.source.OpenFileType != kNoSource;
  } catch (const automation::AutomationError&) {
    // Without the globe the command ends quietly; the globe's watch ends the program.
    return m_.source.OpenFileType != kNoSource;
  }
  std::error_code ec;
  if (!loaded()) return false;  // the program ended while the dialog was open
  if (path.empty() || !fs::is_regular_file(path, ec)) return m_.source.OpenFileType != kNoSource;

  // Only the type's own ending in lower case counts; any other leaves the
  // open source as it was.
  const std::string ext = ExtensionOf(path);
  if (ext == "shp" || ext == "kml" || ext == "gml") {
    // The search window reads the columns the open replaces: it closes.
    if (m_.frmFastSelect.loaded()) m_.frmFastSelect.Unload();
    const OpenSnapshot before = TakeSnapshot();
    SetChosenFile(path);
    bool opened = false;
    try {
      if (ext == "shp") {
        opened = OpenShapefile(before);
      } else if (ext == "kml") {
        opened = OpenKml(before);
      } else {
        OpenGml();
        opened = true;
      }
    } catch (const dao::DaoError& e) {
      if (loaded())
        OpenFailed(before, "The attribute database for " + path + " cannot be built: " + e.what());
    } catch (const automation::AutomationError& e) {
      // The source is open; only the globe could not show it.
      opened = true;
      if (loaded()) ReportGlobeFailure(e);
    }
    // An import lets events through: the program may have ended meanwhile.
    if (!loaded()) return false;
    if (!opened) return m_.source.OpenFileType != kNoSource;
    ForgetSelection();
  }
  try {
    ClearGEPlaces();
  } catch (const automation::AutomationError&) {
  }
  return m_.source.OpenFileType != kNoSource;
}

void FrmQuarlin::ForgetSelection() {
  // The selection and the feature shown were the previous source's.
  SelectionState& s = m_.selection;
  s.SelCount = 0;
  s.SelFids.clear();
  s.SinglePick = true;
  LastGeometry.clear();
  CurrentFID = PickedFID = -1;
}

bool FrmQuarlin::OpenShapefile(const OpenSnapshot& before) {
  shapefile::ShapeLibrary& shapes = m_.shapes;
  OpenSource& source = m_.source;
  if (!shapes.SW_OpenShpFile(OpenFileName)) {
    OpenFailed(before,
               "The shapefile " + OpenFileName + " cannot be opened: " + shapes.LastError());
    return false;
  }
  std::string typeName, description;
  int records = 0;
  const std::string dbfPath = shapefile::SiblingFile(source.OpenFileBase, "dbf");
  if (shapefile::FileExists(dbfPath)) {
    if (!shapes.SW_OpenDBFFile(dbfPath)) {
      OpenFailed(before, "The table " + dbfPath + " cannot be opened: " + shapes.LastError());
      return false;
    }
    shapes.SW_GetMetaInfoFromShpDBF(typeName, records, 1, description);
    description = CutAtNul(description);
    const FieldInfo fields = ParseFieldInfo(description, m_.rdb.AttrDef);
    if (fields.lines > fields.count) {
      OpenFailed(before, "The table " + dbfPath + " has " + std::to_string(fields.lines) +
                             " fields; the attribute database holds " +
                             std::to_string(data::kMaxAttr) + ".");
      return false;
    }
    m_.rdb.AttrCount = fields.count;
    source.ShapeTypeName = CutAtNul(typeName);
    source.RecordCount = records;
    source.OpenFileType = kShapefile;
    const bool imported = m_.rdb.ImportDbf(OpenFileName, records);
    if (!loaded()) return false;
    if (!imported) {
      if (!m_.rdb.ReplacedDatabase()) {
        OpenFailed(before, "The attribute database for " + OpenFileName +
                               " cannot be built: " + m_.rdb.LastError());
        return false;
      }
      // The rows copied before the copy stopped stay; the user hears why.
      desktop().MessageBoxA(0, m_.rdb.LastError(), "Altimar", MB_OK);
    }
  } else {
    // No table: no columns, and nothing left of the previous source's rows.
    shapes.SW_CloseDBFFile();
    shapes.SW_GetMetaInfoFromShpDBF(typeName, records, 0, description);
    description = CutAtNul(description);
    m_.rdb.CloseAttributeDb();
    m_.rdb.AttrCount = 0;
    source.ShapeTypeName = CutAtNul(typeName);
    source.RecordCount = records;
    source.OpenFileType = kShapefile;
  }
  Text1.SetText("Shape Type:   " + source.ShapeTypeName + "\r\n" +
                "Record Count: " + std::to_string(source.RecordCount) + "\r\n" + description);
  if (m_.frmOpenOptions.chkConvert.Value == 1) ExportToKml();
  if (shapefile::FileExists(ExportKmlPath)) objGE->OpenKmlFile(ExportKmlPath, 1);
  return true;
}

bool FrmQuarlin::OpenKml(const OpenSnapshot& before) {
  Text1.SetText("");  // the reader's diagnostics go here
  const bool imported = m_.rdb.ImportKml(OpenFileName);
  if (!loaded()) return false;
  if (!imported && !m_.rdb.ReplacedDatabase()) {
    if (m_.rdb.RefusedBySchema()) {
      Restore(before);  // the reader has told why
      return false;
    }
    const std::string why = m_.rdb.LastError();
    OpenFailed(before, why.empty() ? "The KML file " + OpenFileName + " was not read." : why);
    return false;
  }
  // Read in part: the rows read are the new source's; the user hears why.
  if (!imported) desktop().MessageBoxA(0, m_.rdb.LastError(), "Altimar", MB_OK);
  // The work shapefile was written for the attributes' geometries; the
  // source holds no shapefile to browse or search.
  m_.shapes.SW_CloseShpFile();
  m_.shapes.SW_CloseDBFFile();
  m_.source.OpenFileType = kKml;
  m_.source.ShapeTypeName.clear();
  m_.source.RecordCount = 0;
  return true;
}

void FrmQuarlin::OpenGml() {
  // Recognised, not read: nothing of the previous source stays open.
  m_.shapes.SW_CloseShpFile();
  m_.shapes.SW_CloseDBFFile();
  m_.rdb.CloseAttributeDb();
  m_.rdb.AttrCount = 0;
  m_.source.OpenFileType = kGml;
  m_.source.ShapeTypeName.clear();
  m_.source.RecordCount = 0;
  Text1.SetText("GML files are recognised but not read.");
}

void FrmQuarlin::ClearGEPlaces() {
  if (m_.frmOpenOptions.chkCloseGEPlaces.Value != 1) return;
  for (const auto& places : {objGE->GetMyPlaces(), objGE->GetTemporaryPlaces()}) {
    if (!places) continue;
    const auto list = places->GetChildren();
    if (!list) continue;
    for (int i = 1; i <= list->get_Count(); ++i)
      if (const auto f = list->Item(i)) f->put_Visibility(0);
  }
}

int FrmQuarlin::ExportToKml() {
  // The screen colour under the pointer is previewed while the export runs.
  Timer2.SetInterval(10);
  Timer2.SetEnabled(true);
  ProgressBar1.SetMin(0);
  ProgressBar1.SetMax(std::max(m_.source.RecordCount, 1));
  ProgressBar1.SetVisible(true);
  SetMousePointer(11);
  const int n =
      m_.shapes.SW_ExportShp2Kml(m_.source.OpenFileBase, ExportKmlPath, [this](int done, int) {
        if (!loaded()) return;
        SetProgressValue(ProgressBar1, done);
        desktop().DoEvents();
      });
  if (!loaded()) return n;  // the program ended meanwhile: nothing to show
  SetMousePointer(0);
  ProgressBar1.SetVisible(false);
  Timer2.SetEnabled(false);
  if (n < 0) {
    desktop().MessageBoxA(0,
                          "The KML export of " + OpenFileName + " failed: " + m_.shapes.LastError(),
                          "Altimar", MB_OK);
    return n;
  }
  Text1.SetText(Text1.Text() + "\r\n" + std::to_string(n) + " records processed.");
  return n;
}

void FrmQuarlin::Command8_Click() {
  if (busy_) return;
  if (m_.source.OpenFileType != kShapefile) {
    desktop().MessageBoxA(0, "Open a shapefile first: only a shapefile is exported to KML.",
                          "Altimar", MB_OK);
    return;
  }
  BusyButtons buttons(*this, busy_);
  ExportToKml();
}

void FrmQuarlin::Command20_Click() {
  m_.frmOpenOptions.Show();
}

}  // namespace altimar::workspace
