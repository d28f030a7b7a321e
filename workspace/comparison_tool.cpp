// The comparison tool ("Comp Rect"): two clicks on the globe's view give a
// rectangle on the screen; its corners are laid on the terrain and the
// comparison document shows the rectangle as drawn next to the geographic
// rectangle around it. Also the two diagnostic buttons of the documents.
#include <algorithm>

#include "platform/runtime/number_text.h"
#include "workspace/file_names.h"
#include "workspace/frm_quarlin.h"
#include "workspace/view_points.h"

namespace altimar::workspace {

using namespace altimar::forms;
using namespace altimar::win;

namespace {
enum CompareStates : std::uint8_t { kWaiting = 0, kFirstCorner = 1, kComplete = 2, kCancelled = 3 };

std::string Tuple(double lon, double lat) {
  return runtime::General15(lon) + "," + runtime::General15(lat) + ",0";
}
}  // namespace

void FrmQuarlin::Command37_Click() {
  if (!ReadRenderWindow()) {
    desktop().MessageBoxA(0, "Google Earth's 3D view is not there.", "Altimar", MB_OK);
    return;
  }
  // One comparison at a time: starting again restarts it.
  m_.hooks.HookRemove(host::kHookCompare);
  CompareState = kWaiting;
  m_.hooks.HookPush("Compare");
  Timer4Compare.SetInterval(300);
  Timer4Compare.SetEnabled(true);
}

bool FrmQuarlin::CompareClient(WPARAM message, const MSLLHOOKSTRUCT& e) {
  // Two clicks as the shift tool takes them, into the comparison's own state.
  return TwoClickClient(message, e, CompareState, CompareStart, CompareEnd);
}

void FrmQuarlin::Timer4Compare_Tick() {
  if (CompareState == kCancelled) {
    Timer4Compare.SetEnabled(false);
    CompareState = kWaiting;
    return;
  }
  if (CompareState != kComplete) return;
  // The work runs once: the tool ends with it, whatever the globe says.
  Timer4Compare.SetEnabled(false);
  CompareState = kWaiting;
  const auto x1 = ViewValue(GEMouseX.Text()), y1 = ViewValue(GEMouseY.Text());
  const auto x2 = ViewValue(GEMouseX2.Text()), y2 = ViewValue(GEMouseY2.Text());
  if (!x1 || !y1 || !x2 || !y2) return;
  try {
    const double corners[4][2] = {{*x1, *y1}, {*x2, *y1}, {*x2, *y2}, {*x1, *y2}};
    double lon[4], lat[4];
    std::string values;
    for (int k = 0; k < 4; ++k) {
      const auto p = objGE->GetPointOnTerrainFromScreenCoords(corners[k][0], corners[k][1]);
      lon[k] = p->get_Longitude();
      lat[k] = p->get_Latitude();
      values += "\r\n" + runtime::General15(lon[k]) + ", " + runtime::General15(lat[k]);
    }
    Text1.SetText(Text1.Text() + values);
    // T1: the rectangle as drawn, laid on the terrain; T2: the geographic
    // rectangle around it; T3: none.
    std::string t1;
    for (int k = 0; k <= 4; ++k) t1 += (k ? " " : "") + Tuple(lon[k % 4], lat[k % 4]);
    const double west = *std::min_element(lon, lon + 4), east = *std::max_element(lon, lon + 4);
    const double south = *std::min_element(lat, lat + 4), north = *std::max_element(lat, lat + 4);
    const std::string t2 = Tuple(west, south) + " " + Tuple(east, south) + " " +
                           Tuple(east, north) + " " + Tuple(west, north) + " " + Tuple(west, south);
    m_.documents.ShowComparison(t1, t2, "");
    SelectionShown = true;
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  } catch (const DocumentWriteError& e) {
    desktop().MessageBoxA(0, e.what(), "Altimar", MB_OK);
  }
}

void FrmQuarlin::Command17_Click() {
  // A fixed line of eleven points at height 6, handed to the globe as text.
  static constexpr double kLine[11][2] = {{11.30, 47.20}, {11.32, 47.22}, {11.34, 47.23},
                                          {11.36, 47.25}, {11.38, 47.26}, {11.40, 47.28},
                                          {11.42, 47.29}, {11.44, 47.31}, {11.46, 47.32},
                                          {11.48, 47.34}, {11.50, 47.35}};
  std::string coords;
  for (const auto& p : kLine)
    coords += runtime::General15(p[0]) + "," + runtime::General15(p[1]) + ",6 ";
  const std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<kml xmlns=\"http://earth.google.com/kml/2.1\">\r\n"
      "<Document>\r\n"
      "  <name>test function - LoadKmlData</name>\r\n"
      "    <Style id=\"FEATURES\">\r\n"
      "      <IconStyle>\r\n"
      "        <color>ffffff00</color>\r\n"
      "        <scale>1.5</scale>\r\n"
      "        <Icon>\r\n"
      "          <href>root://icons/palette-4.png</href>\r\n"
      "          <x>32</x><y>128</y><w>32</w><h>32</h>\r\n"
      "        </Icon>\r\n"
      "      </IconStyle>\r\n"
      "      <LabelStyle>\r\n"
      "        <color>00FFFFFF</color>\r\n"
      "      </LabelStyle>\r\n"
      "      <LineStyle>\r\n"
      "         <color>ffffff00</color>\r\n"
      "         <width>4</width>\r\n"
      "      </LineStyle>\r\n"
      "    </Style>\r\n"
      "  <Placemark>\r\n"
      "    <styleUrl>#FEATURES</styleUrl>\r\n"
      "    <LineString>\r\n"
      "    <extrude>1</extrude>\r\n"
      "    <tessellate>0</tessellate>\r\n"
      "    <altitudeMode>relativeToGround</altitudeMode>\r\n"
      "    <coordinates>" +
      coords +
      "</coordinates>\r\n"
      "    </LineString>\r\n"
      "  </Placemark>\r\n"
      "</Document>\r\n"
      "</kml>\r\n";
  try {
    objGE->LoadKmlData(doc);
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  }
}

void FrmQuarlin::Command19_Click() {
  try {
    objGE->OpenKmlFile(ProgramFile(m_.programDir, "test function - OpenKmlFile.kml"), 1);
  } catch (const automation::AutomationError& e) {
    ReportGlobeFailure(e);
  }
}

}  // namespace altimar::workspace
