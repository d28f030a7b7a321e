// A progress bar drawn as a percentage on a terminal (stderr), for long
// batch runs; silent when stderr is not a terminal.
#pragma once

#include "contour/progress_bar.h"

namespace altimar::app {

class TerminalProgress final : public contour::PlainProgressBar {
 public:
  TerminalProgress();
  ~TerminalProgress() override;
  void SetVisible(bool v) override;
  void SetValue(double v) override;

 private:
  bool tty_;
  int shown_ = -1;
};

}  // namespace altimar::app
