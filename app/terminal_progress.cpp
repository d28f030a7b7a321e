#include "app/terminal_progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace altimar::app {

TerminalProgress::TerminalProgress() : tty_(::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::~TerminalProgress() { SetVisible(false); }

void TerminalProgress::SetVisible(bool v) {
  if (tty_ && Visible() && !v && shown_ >= 0) std::fputs("\r              \r", stderr);
  if (!v) shown_ = -1;
  PlainProgressBar::SetVisible(v);
}

void TerminalProgress::SetValue(double v) {
  PlainProgressBar::SetValue(v);
  if (!tty_ || !Visible()) return;
  const double span = Max() - Min();
  const int percent = span > 0 ? static_cast<int>(std::lround(100 * (v - Min()) / span)) : 0;
  if (percent == shown_) return;
  shown_ = percent;
  std::fprintf(stderr, "\rTracing %3d%%", percent);
  std::fflush(stderr);
}

}  // namespace altimar::app
