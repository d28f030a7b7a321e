#include "platform/win/desktop.h"

#include <iostream>

namespace altimar::win {

Desktop::Desktop(Clock::Kind clock) : clock_(clock) {}

int Desktop::MessageBoxA(HWND /*owner*/, std::string_view text, std::string_view caption,
                         UINT flags) {
  int answer = 0;
  if (!queuedAnswers_.empty()) {
    answer = queuedAnswers_.front();
    queuedAnswers_.pop_front();
  } else {
    const UINT buttons = flags & 0xF;
    answer = buttons == MB_YESNO ? IDYES : IDOK;
  }
  messageBoxLog_.push_back({std::string(caption), std::string(text), flags, answer});
  if (!quietMessageBoxes_) {
    std::string oneLine(text);
    for (char& c : oneLine)
      if (c == '\r' || c == '\n') c = ' ';
    std::cerr << caption << ": " << oneLine << '\n';
  }
  return answer;
}

void Desktop::RunPending() { pendingWork_ = 0; }

}  // namespace altimar::win
