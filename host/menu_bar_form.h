// The program's button inside the globe's menu bar and its popup menu:
// about texts, the contour toolbar toggle, view capture, the flat-Earth
// circle test and exit. Also PaintRect, a patterned rectangle on the 3D view.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/application_ge.h"
#include "host/ge_windows.h"
#include "host/hotkeys.h"
#include "platform/forms/controls.h"
#include "platform/forms/menu.h"
#include "platform/forms/pictures.h"

namespace altimar::host {

// What the menu reaches in the rest of the program; the program wires it.
struct MenuBarLinks {
  std::function<void(bool visible)> setWorkspaceToolbarVisible;
  std::function<void()> startCircleTool;  // the workspace's circle pick-up
  std::function<void()> unloadWorkspace;
  std::function<win::HWND()> workspaceHwnd;
  std::function<void()> initScreenDrawing;
  std::function<void(const std::string& text, std::int32_t colour, int sizeFactor, int offset)>
      drawScreenText;
  std::function<win::HWND()> renderHwnd;  // the screen drawing's 3D view handle
  std::function<forms::ProgressBar*()> progressBar;  // the workspace's, in the globe's menu bar
  std::function<int()> menuBarLeft;                 // twips
  std::function<void()> placeProgressBar;
  bool* flatEarth = nullptr;
};

class FrmGEMenu : public forms::Form {
 public:
  FrmGEMenu(win::Desktop& desktop, int program, GEWindows& ge, Hotkeys& hotkeys,
            std::string programDir, MenuBarLinks links);

  forms::Frame Frame1{*this, "Frame1"};
  forms::Label Label1{*this, "Label1", &Frame1};
  forms::PictureBox Picture1{*this, "Picture1"};
  forms::PictureBox Picture2{*this, "Picture2"};
  forms::PictureBox picBmp{*this, "picBmp"};
  forms::Menu bexo{"bexo", "bexo"};

  // Public operations (the hot keys call the first two).
  void bexoCamera_Click();
  void contourBar_Click();
  void bexoToolbar_Click();
  void bexoExit_Click();
  void PaintRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                 std::int32_t colour);

  void PopupMenuAtBar(int button);
  void SetNormalLook();
  void SetPressedLook(bool pressed);
  void GE2PDF_Click();
  void bexoAbout_Click();
  void contourAbout_Click();
  void IsFlat_Click();

  // Where the last capture went, or why it failed.
  std::string lastCaptureError;
  ApplicationGE objGE;

 protected:
  void Form_Load() override;

 private:
  void Hover(forms::Control& c, win::HWND captureTo, double x, double y);
  void AnimateAbout(const std::vector<std::pair<std::string, std::pair<int, int>>>& lines, bool yield);
  void PrintFace(win::COLORREF back);
  int MenuBarLeft() const { return links_.menuBarLeft ? links_.menuBarLeft() : 4500; }

  GEWindows& ge_;
  Hotkeys& hotkeys_;
  std::string programDir_;
  MenuBarLinks links_;
};

}  // namespace altimar::host
