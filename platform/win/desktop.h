// One virtual desktop: the place where the globe and the add-on run side by
// side. It owns the clock, the table of running automation objects and the
// message boxes. Windows, input, hooks and drawing join it as they are built.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/clock.h"
#include "platform/win/running_objects.h"
#include "platform/win/win_types.h"

namespace altimar::win {

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  UINT flags = 0;
  int answer = 0;
};

class Desktop {
 public:
  explicit Desktop(Clock::Kind clock = Clock::Kind::Real);
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  Clock& clock() { return clock_; }
  RunningObjectTable& RunningObjects() { return runningObjects_; }

  // A modal message box. Headless, it is answered at once: with the next
  // queued answer, else with the default answer (OK, or Yes), and its text
  // is written to stderr unless quiet.
  int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, UINT flags);
  void QueueMessageBoxAnswer(int answer) { queuedAnswers_.push_back(answer); }
  const std::vector<MessageBoxRecord>& MessageBoxLog() const { return messageBoxLog_; }
  void SetQuietMessageBoxes(bool quiet) { quietMessageBoxes_ = quiet; }

  // Processes pending input and due timers. Nearly free when nothing waits:
  // long loops call it after every step.
  void DoEvents() {
    if (pendingWork_ != 0) RunPending();
  }

  void Sleep(std::uint32_t ms) { clock_.Sleep(ms); }

 private:
  void RunPending();

  Clock clock_;
  RunningObjectTable runningObjects_;
  std::deque<int> queuedAnswers_;
  std::vector<MessageBoxRecord> messageBoxLog_;
  bool quietMessageBoxes_ = false;
  std::uint32_t pendingWork_ = 0;
};

}  // namespace altimar::win
