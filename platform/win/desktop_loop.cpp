// Time and the message loop: timers, DoEvents, modal loops, message boxes.
#include <algorithm>
#include <iostream>

#include "platform/win/desktop.h"
#include "platform/win/gdi.h"
#include "platform/win/window.h"

namespace altimar::win {

namespace {
constexpr std::uint64_t kPumpEveryMs = 5;
constexpr std::uint64_t kHeadlessModalBudgetMs = 60000;
}  // namespace

void Desktop::Sleep(std::uint32_t ms) { clock_.Sleep(ms); }

void Desktop::ScheduleTimers() {
  nextDue_ = kNever;
  for (const auto& t : timers_) nextDue_ = std::min(nextDue_, t.due);
}

std::uintptr_t Desktop::SetTimer(HWND hwnd, std::uintptr_t id, UINT ms, TIMERPROC proc) {
  if (hwnd != 0 && !IsWindow(hwnd)) return 0;
  if (id == 0) id = 0x7000 + static_cast<std::uintptr_t>(++timerSerial_);
  KillTimer(hwnd, id);
  ms = std::max<UINT>(ms, 1);
  timers_.push_back({hwnd, id, ms, clock_.NowMs() + ms, std::move(proc), ++timerSerial_});
  ScheduleTimers();
  return id;
}

bool Desktop::KillTimer(HWND hwnd, std::uintptr_t id) {
  const auto n = timers_.size();
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  ScheduleTimers();
  return timers_.size() != n;
}

void Desktop::RunTimers() {
  const std::uint64_t now = clock_.NowMs();
  if (now < nextDue_) return;
  // Timers may kill or add timers while they run: work from a list of serials.
  std::vector<std::uint64_t> due;
  for (const auto& t : timers_)
    if (t.due <= now) due.push_back(t.serial);
  for (std::uint64_t serial : due) {
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.serial == serial; });
    if (it == timers_.end()) continue;
    it->due = now + it->interval;  // no bursts to catch up after a long pause
    const Timer t = *it;
    ScheduleTimers();
    if (t.proc) t.proc();
    else if (t.hwnd) SendMessageA(t.hwnd, WM_TIMER, t.id, 0);
  }
  ScheduleTimers();
}

void Desktop::RunPending(bool oneInput) {
  const std::uint64_t now = clock_.NowMs();
  if (input_.empty() && posted_.empty() && now < nextDue_ && (!pump_ || now < nextPump_)) return;
  if (pump_ && now >= nextPump_) {
    nextPump_ = now + kPumpEveryMs;
    pump_();
  }
  ProcessInput(oneInput);
  while (!posted_.empty()) {
    const Posted p = posted_.front();
    posted_.pop_front();
    SendMessageA(p.hwnd, p.msg, p.wp, p.lp);
  }
  if (nextDue_ != kNever && clock_.NowMs() >= nextDue_) RunTimers();
}

// Whether the next queued input goes to the window or into it.
bool Desktop::NextInputFor(HWND modal) const {
  if (input_.empty()) return true;
  const InputEvent& e = input_.front();
  HWND target = e.kind == InputEvent::Key ? focus_
                : capture_ != 0           ? capture_
                                          : WindowFromPoint(e.kind == InputEvent::Move ? POINT{e.x, e.y} : cursor_);
  for (; target != 0 && IsWindow(target); target = GetParent(target))
    if (target == modal) return true;
  return false;
}

// Virtual time jumps to the next timer and runs it, if that is within budget.
bool Desktop::JumpToNextTimer(std::uint64_t& budget) {
  if (clock_.kind() != Clock::Kind::Virtual || nextDue_ == kNever) return false;
  const std::uint64_t now = clock_.NowMs();
  const std::uint64_t wait = nextDue_ > now ? nextDue_ - now : 0;
  if (wait > budget) return false;
  budget -= wait;
  clock_.Advance(wait);
  RunTimers();
  return true;
}

void Desktop::RunModalLoop(HWND hwnd) {
  std::uint64_t budget = kHeadlessModalBudgetMs;
  while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
    // Headless, input queued for the windows behind a modal window waits, as
    // a person waits, until timers (the dialog's own answer) have closed it.
    if (headless() && !NextInputFor(hwnd) && JumpToNextTimer(budget)) continue;
    const bool hadWork = InputPending();
    RunPending(true);
    if (!IsWindow(hwnd) || !IsWindowVisible(hwnd)) return;
    if (hadWork) continue;
    if (!headless()) {
      clock_.Sleep(2);
      continue;
    }
    // Headless and nothing queued: a script may act, else only timers can
    // still end the loop.
    if (idle_ && idle_()) continue;
    if (JumpToNextTimer(budget)) continue;
    throw ModalLoopError("the modal window '" + GetWindowText(hwnd) + "' (" + GetClassName(hwnd) +
                         ") is still open and no input is left");
  }
}

// --- message boxes ---

int Desktop::MessageBoxA(HWND /*owner*/, std::string_view text, std::string_view caption,
                         UINT flags) {
  const UINT buttons = flags & 0xF;
  int answer = 0;
  if (!queuedAnswers_.empty()) {
    answer = queuedAnswers_.front();
    queuedAnswers_.pop_front();
  } else if (headless()) {
    answer = buttons == MB_YESNO ? IDYES : IDOK;
    if (!quietMessageBoxes_) {
      std::string oneLine(text);
      std::replace(oneLine.begin(), oneLine.end(), '\r', ' ');
      std::replace(oneLine.begin(), oneLine.end(), '\n', ' ');
      std::cerr << caption << ": " << oneLine << '\n';
    }
  } else {
    answer = MessageBoxWindow(text, caption, flags);
  }
  messageBoxLog_.push_back({std::string(caption), std::string(text), flags, answer});
  return answer;
}

// A real message window, for a person at the front end: the text and its
// buttons, modal until one is clicked.
int Desktop::MessageBoxWindow(std::string_view text, std::string_view caption, UINT flags) {
  struct Button {
    RECT r;
    int id;
    const char* label;
  };
  std::vector<Button> buttons;
  const UINT kind = flags & 0xF;
  const int w = 360, h = 150;
  if (kind == MB_YESNO) {
    buttons = {{{90, 100, 170, 126}, IDYES, "Yes"}, {{190, 100, 270, 126}, IDNO, "No"}};
  } else if (kind == MB_OKCANCEL) {
    buttons = {{{90, 100, 170, 126}, IDOK, "OK"}, {{190, 100, 270, 126}, IDCANCEL, "Cancel"}};
  } else {
    buttons = {{{140, 100, 220, 126}, IDOK, "OK"}};
  }
  int answer = buttons.front().id;
  const HWND box = CreateWindowExA(
      WS_EX_TOPMOST, "#32770", std::string(caption), WS_VISIBLE | WS_CAPTION,
      (width_ - w) / 2, (height_ - h) / 2, w, h, 0, 0,
      [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_LBUTTONUP) {
          for (const auto& b : buttons)
            if (b.r.Contains(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) {
              answer = b.id;
              DestroyWindow(hwnd);
              return 0;
            }
        } else if (msg == WM_KEYDOWN && (wp == VK_RETURN || wp == VK_ESCAPE)) {
          // Enter takes the first button, Esc the last (Cancel, No, or OK).
          answer = wp == VK_RETURN ? buttons.front().id : buttons.back().id;
          DestroyWindow(hwnd);
        }
        return 0;
      });
  SetFrame(box, {1, 24, 1, 1});
  Surface& s = WindowSurface(box);
  s.Fill(0xF0F0F0);
  s.FillRect(0, 0, w, 24, 0x2B579A);
  gdi_->PaintText(box, std::string(caption), {8, 4, w - 8, 22}, 0xFFFFFF, DT_LEFT | DT_SINGLELINE);
  gdi_->PaintText(box, std::string(text), {20, 40, w - 20, 96}, 0x000000, DT_LEFT | DT_WORDBREAK);
  for (const auto& b : buttons) {  // client to window coordinates: the frame is 1, 24
    const RECT r{b.r.left + 1, b.r.top + 24, b.r.right + 1, b.r.bottom + 24};
    s.FillRect(r.left, r.top, r.right, r.bottom, 0xD0D0D0);
    gdi_->PaintText(box, b.label, r, 0x000000, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SetForegroundWindow(box);
  SetFocus(box);
  RunModalLoop(box);
  return answer;
}

}  // namespace altimar::win
