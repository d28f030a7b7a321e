// Two small windows: the 9 x 9 pixel marker the selection tools keep on top,
// and the floating information window ("Info") whose buttons switch the
// highlight dialog's floating-info options.
#pragma once

#include <functional>

#include "platform/forms/controls.h"
#include "platform/forms/pictures.h"

namespace altimar::ui {

class FrmMove : public forms::Form {
 public:
  FrmMove(win::Desktop& desktop, int program);

 protected:
  void Form_Load() override;
};

// What the floating window switches; the program wires them.
struct FloatingInfoLinks {
  std::function<void()> toggleFloat;       // the highlight dialog's "Float" box
  std::function<void()> clearShow;         // its "Show" box
  std::function<void()> clearWorkspaceBox; // the workspace's floating-info box
};

class FrmFloatingInfo : public forms::Form {
 public:
  FrmFloatingInfo(win::Desktop& desktop, int program, FloatingInfoLinks links);

  forms::PictureBox Picture1{*this, "Picture1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};

 protected:
  void Form_Load() override;
  void Form_Unload(bool& cancel) override;

 private:
  FloatingInfoLinks links_;
};

}  // namespace altimar::ui
