// The workspace form's frames and controls, placed and captioned.
#include <algorithm>

#include "workspace/frm_quarlin.h"

namespace altimar::workspace {

using namespace altimar::forms;

namespace {
constexpr double kFrameLeft = 120, kFrameWidth = 4080, kRow = 360, kButton = 1860;
}  // namespace

void FrmQuarlin::LayOut() {
  Toolbar1.Move(0, 0, 9000, 390);
  ProgressBar1.Move(120, 420, 4080, 240);
  ProgressBar1.SetVisible(false);
  Command34.Caption = "Embed";
  Command34.Move(3240, 420, 960, 300);

  // Two columns of frames.
  double top = 780, left = kFrameLeft, bottom = 0;
  panelTops_.clear();
  auto frame = [&](Frame& f, const std::string& caption, double height) {
    f.Caption = caption;
    f.Move(left, top, kFrameWidth, height);
    panelTops_.emplace_back(&f, top);
    top += height + 60;
    bottom = std::max(bottom, top);
  };
  auto nextColumn = [&] {
    left += kFrameWidth + 120;
    top = 780;
  };
  auto at = [](Control& c, double left, double t, double width, double height = 300) {
    c.Move(left, t, width, height);
  };

  frame(frameStart, "Connect", 1020);
  const char* modes[6] = {"Normal", "Dock", "Embed", "mdiChild", "mdiParent", "Menu"};
  for (int k = 0; k < 6; ++k) {
    optStart[k].Caption = modes[k];
    at(optStart[k], 120 + 1320.0 * (k % 3), 240 + 360.0 * (k / 3), 1260);
  }

  frame(Frame1, "Layers", 1440);
  optOpenResource[0].Caption = "Connect to a WFS";
  optOpenResource[1].Caption = "Open a local File";
  at(optOpenResource[0], 120, 240, 1860);
  at(optOpenResource[1], 2040, 240, 1860);
  lblResource.Caption = "Resource:";
  at(lblResource, 120, 300 + kRow, 900);
  at(txtOpenFile, 1020, 240 + kRow, 2940);
  Command6.Caption = "Open";
  at(Command6, 120, 240 + 2 * kRow, kButton, 330);
  Command20.Caption = "Open Templett..";
  at(Command20, 2040, 240 + 2 * kRow, kButton, 330);

  frame(framePickUp, "PickUp", 2520);
  at(imgPickUp, 3600, 240, 360, 360);
  Command2.Caption = "Start Capturing";
  at(Command2, 120, 240, kButton, 330);
  Command36.Caption = "Circle Select";
  at(Command36, 2040, 240, 1500, 330);
  Command38.Caption = "Move Circle";
  at(Command38, 2040, 1620, 1500, 300);
  Frame5.Caption = "Right Mouse";
  at(Frame5, 120, 240 + kRow + 60, 3840, 900);
  optSelectType[0].Caption = "Single Select (context menu)";
  optSelectType[1].Caption = "Multiple Select (rectangle)";
  at(optSelectType[0], 120, 240, 3600);
  at(optSelectType[1], 120, 540, 3600);
  chkFloatingInfo.Caption = "Floating InfoWindow";
  at(chkFloatingInfo, 120, 1620, 1860);
  cmdOptionHighlight.Caption = "highlight Templet..";
  at(cmdOptionHighlight, 120, 1620 + kRow + 60, kButton, 330);
  cmdOptionCursor.Caption = "Cursor Templett..";
  at(cmdOptionCursor, 2040, 1620 + kRow + 60, kButton, 330);

  frame(frameSearchOnCoords, "Search on Coordinates", 1500);
  Option1.Caption = "Single Point";
  Option4.Caption = "Rectagle";
  at(Option1, 120, 240, 1860);
  at(Option4, 2040, 240, 1200);
  lblLon.Caption = "lon:";
  lblLat.Caption = "lat:";
  at(lblLon, 120, 300 + kRow, 480);
  at(lblLat, 120, 300 + 2 * kRow, 480);
  at(txtLon1, 600, 240 + kRow, 1500);
  at(txtLon2, 2160, 240 + kRow, 1500);
  at(txtLat1, 600, 240 + 2 * kRow, 1500);
  at(txtLat2, 2160, 240 + 2 * kRow, 1500);
  Command1.Caption = "Search";
  at(Command1, 3300, 240, 720, 300);

  frame(frameBrowser, "Browser", 1140);
  lblFID.Caption = "FID:";
  at(lblFID, 120, 300, 840);
  at(txtFID, 960, 240, 720);
  Command21.Caption = "<";
  at(Command21, 1740, 240, 420, 330);
  Command22.Caption = ">";
  at(Command22, 2220, 240, 420, 330);
  Command5.Caption = "Automation";
  at(Command5, 2700, 240, 1260, 330);
  chkShowBBox.Caption = "Display BBox";
  at(chkShowBBox, 120, 240 + kRow + 60, 1860);
  cmdOptionBBox.Caption = "bbox templet..";
  at(cmdOptionBBox, 2040, 240 + kRow + 60, kButton, 330);

  nextColumn();
  frame(frameEdit, "Edit", 1500);
  at(imgEdit, 3600, 240, 360, 360);
  Command18.Caption = "Start Editing";
  at(Command18, 120, 240, kButton, 330);
  Command7.Caption = "Add a new Feature";
  at(Command7, 120, 240 + kRow + 60, kButton, 330);
  Command4.Caption = "Delete";
  at(Command4, 2040, 240 + kRow + 60, 1500, 330);
  Command3.Caption = "shift";
  at(Command3, 2040, 240, 1500, 330);
  Command11.Caption = "Shift";
  at(Command11, 120, 240 + 2 * (kRow + 60), kButton, 330);
  Command12.Caption = "Modify Attributes";
  at(Command12, 2040, 240 + 2 * (kRow + 60), 1500, 330);

  frame(frameExport, "Export", 1140);
  Command8.Caption = "To KML";
  at(Command8, 120, 240, 1200, 330);
  Command9.Caption = "To Shape";
  at(Command9, 1380, 240, 1200, 330);
  Command10.Caption = "To GML";
  at(Command10, 2640, 240, 1200, 330);
  Check1.Caption = "Open to GE";
  at(Check1, 120, 240 + kRow + 60, 1860);
  Command13.Caption = "kml Templet...";
  at(Command13, 2040, 240 + kRow + 60, kButton, 330);

  frame(Frame2, "Lon/Lat", 780);
  Option2.Caption = "at Mouse Click";
  Option3.Caption = "at Mouse Move";
  at(Option2, 120, 240, 1860);
  at(Option3, 2040, 240, 1860);
  at(Text4, 120, 240 + kRow - 30, 3840);

  frame(Frame3, "Select by Attributes", 660);
  Command16.Caption = "Fast Select";
  at(Command16, 120, 240, kButton, 330);
  Command15.Caption = "SQL expression...";
  at(Command15, 2040, 240, kButton, 330);

  frame(frameProperties, "Properties", kPropertiesOpenHeight);
  at(imgProperties, 3600, 240, 360, 360);
  Text1.MultiLine = true;
  at(Text1, 120, 240, 3420, 1380);
  Command26.Caption = "go back";
  at(Command26, 120, 1680, 1200, 330);
  Text2.SetVisible(false);  // the attributes of the last pick, for the HTML window

  at(GEMouseX, 120, bottom, 960);
  at(GEMouseY, 1140, bottom, 960);
  at(GEMouseX2, 2160, bottom, 960);
  at(GEMouseY2, 3180, bottom, 960);
  // The comparison tool and the two diagnostic buttons of the documents.
  Command37.Caption = "Comp Rect";
  at(Command37, 120, bottom + 360, 1320, 330);
  Command17.Caption = "LoadKmlData";
  at(Command17, 1500, bottom + 360, 1320, 330);
  Command19.Caption = "OpenKmlFile";
  at(Command19, 2880, bottom + 360, 1320, 330);
  Command43.Caption = "xNav";
  at(Command43, 4320, bottom + 360, 900, 330);
  at(lblNav, 5280, bottom + 420, 900, 255);
  initialWidth_ = kFrameLeft * 2 + 2 * kFrameWidth + 120 + 120 + 255;
  initialHeight_ = bottom + 720 + 600;
  // The panel scrolls: the frames move up 300 twips a step.
  VScroll1.Move(initialWidth_ - 255 - 120, 780, 255, bottom - 780);
  VScroll1.Configure(0, 20, 1, 5, 0);
}

}  // namespace altimar::workspace
