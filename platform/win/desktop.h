// One virtual desktop: the screen where the globe and the add-on run side by
// side, with the Win32 services they call under their Win32 names: windows,
// messages, input with low-level mouse hooks and hot keys, timers and the
// message loop, GDI drawing on window surfaces, message boxes, and the
// tables of running programs and automation objects. A test makes a fresh one.
//
// Handles are small integers valid on this desktop. Everything runs on one
// thread; long loops call DoEvents, which is nearly free when nothing waits.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/clock.h"
#include "platform/win/running_objects.h"
#include "platform/win/surface.h"
#include "platform/win/win_types.h"

namespace altimar::win {

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
using HOOKPROC = std::function<LRESULT(int code, WPARAM, LPARAM)>;
using TIMERPROC = std::function<void()>;

// A modal loop that cannot end: headless, no input left, its window still open.
class ModalLoopError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  UINT flags = 0;
  int answer = 0;
};

class Gdi;
struct Window;

class Desktop {
 public:
  explicit Desktop(Clock::Kind clock = Clock::Kind::Real, int width = 1280, int height = 800);
  ~Desktop();
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  Clock& clock() { return clock_; }
  RunningObjectTable& RunningObjects() { return runningObjects_; }
  int width() const { return width_; }
  int height() const { return height_; }
  static constexpr int kDpi = 96;
  static constexpr int kTwipsPerPixel = 15;

  // --- programs: who owns which window; a second instance can see the first ---
  int StartProgram(const std::string& name);
  void EndProgram(int program);  // destroys its windows, hooks, hot keys and timers
  int FindProgram(const std::string& name) const;  // 0 when not running
  bool ProgramRunning(int program) const;

  // --- windows ---
  // x, y relative to the parent's client area (the screen for top-level
  // windows). Any int is taken: a side is at most 4096 pixels and a
  // position saturates far off the screen, the window keeping its size.
  HWND CreateWindowExA(LONG exStyle, const std::string& className, const std::string& title,
                       LONG style, int x, int y, int w, int h, HWND parent, int program,
                       WNDPROC proc = {});
  bool DestroyWindow(HWND hwnd);
  bool IsWindow(HWND hwnd) const;
  HWND GetDesktopWindow() const { return kDesktopWindow; }
  HWND FindWindowA(const char* className, const char* title) const;
  void EnumWindows(const std::function<bool(HWND)>& f) const;       // top-level, front to back
  void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& f) const;
  HWND GetWindow(HWND hwnd, UINT relation) const;
  int GetWindowTextA(HWND hwnd, char* buffer, int size) const;
  std::string GetWindowText(HWND hwnd) const;
  bool SetWindowTextA(HWND hwnd, const std::string& text);
  int GetClassNameA(HWND hwnd, char* buffer, int size) const;
  std::string GetClassName(HWND hwnd) const;
  HWND SetParent(HWND child, HWND newParent);  // returns the old parent
  HWND GetParent(HWND hwnd) const;
  bool GetWindowRect(HWND hwnd, RECT* r) const;  // screen pixels
  bool GetClientRect(HWND hwnd, RECT* r) const;  // 0, 0, client width, height
  bool ClientToScreen(HWND hwnd, POINT* p) const;
  bool ScreenToClient(HWND hwnd, POINT* p) const;
  bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  bool MoveWindow(HWND hwnd, int x, int y, int w, int h, bool repaint);
  bool ShowWindow(HWND hwnd, int cmd);  // returns whether it was visible before
  bool IsWindowVisible(HWND hwnd) const;  // it and all its parents
  bool IsIconic(HWND hwnd) const;
  bool IsZoomed(HWND hwnd) const;
  bool EnableWindow(HWND hwnd, bool enable);
  bool IsWindowEnabled(HWND hwnd) const;
  HWND WindowFromPoint(POINT p) const;
  // The pointer's shape over a window (0 default, 11 hourglass); the shape
  // at a point is the nearest one set on the window there or its parents.
  void SetWindowCursor(HWND hwnd, int shape);
  int CursorShapeAt(POINT p) const;
  HWND GetForegroundWindow() const { return foreground_; }
  bool SetForegroundWindow(HWND hwnd);
  HWND SetFocus(HWND hwnd);  // returns the window that had the focus
  HWND GetFocus() const { return focus_; }
  LONG GetWindowLongA(HWND hwnd, int index) const;
  LONG SetWindowLongA(HWND hwnd, int index, LONG value);  // returns the old value
  // What AddressOf gives: a number standing for a window procedure, for GWL_WNDPROC.
  LONG RegisterWndProc(WNDPROC proc);
  LRESULT CallWindowProcA(LONG proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
  BYTE GetWindowAlpha(HWND hwnd) const;
  int GetSystemMetrics(int index) const;
  bool FlashWindow(HWND hwnd, bool invert);
  int FlashCount(HWND hwnd) const;
  // The non-client frame of a window (caption and borders), in pixels.
  void SetFrame(HWND hwnd, RECT insets);
  int ProgramOf(HWND hwnd) const;

  // --- mouse and keyboard ---
  bool GetCursorPos(POINT* p) const;
  HWND SetCapture(HWND hwnd);
  bool ReleaseCapture();
  HWND GetCapture() const { return capture_; }
  std::int16_t GetAsyncKeyState(int vk) const;
  void keybd_event(BYTE vk, BYTE scan, DWORD flags, std::uintptr_t extra);
  // Input from a front end or a test, in screen pixels; processed by DoEvents.
  void InjectMouseMove(int x, int y);
  void InjectMouseButton(int vk, bool down);  // VK_LBUTTON, VK_RBUTTON, VK_MBUTTON
  void InjectMouseWheel(int delta);
  void InjectKey(int vk, bool down);
  // A click (press and release) at a screen point.
  void InjectClick(int x, int y, int vk = VK_LBUTTON);
  bool InputPending() const { return !input_.empty() || !posted_.empty(); }

  HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, int instance, DWORD threadId);
  bool UnhookWindowsHookEx(HHOOK hook);
  LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp);
  std::size_t HookCount() const { return hooks_.size(); }
  bool RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk);
  bool UnregisterHotKey(HWND hwnd, int id);
  bool HotKeyRegistered(UINT modifiers, UINT vk) const;

  // --- time and the loop ---
  void Sleep(std::uint32_t ms);
  DWORD GetTickCount() const { return static_cast<DWORD>(clock_.NowMs()); }
  // A timer on the loop: proc runs every ms milliseconds while it exists.
  std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT ms, TIMERPROC proc);
  bool KillTimer(HWND hwnd, std::uintptr_t id);
  // Processes queued input, posted messages and due timers, then returns.
  void DoEvents() {
    if (input_.empty() && posted_.empty() && nextDue_ == kNever && !pump_) return;
    RunPending();
  }
  // Runs until hwnd is hidden or destroyed. Headless, once no input is left
  // (timers given up to a minute of virtual time), throws ModalLoopError.
  void RunModalLoop(HWND hwnd);
  // A front end feeds real input: it is called on every turn of a loop.
  void SetPump(std::function<void()> pump) { pump_ = std::move(pump); }
  bool headless() const { return !pump_; }
  // Headless, a modal loop with no input left asks this first (a script
  // acting on the open window); false means it has nothing more to do.
  void SetIdleHandler(std::function<bool()> idle) { idle_ = std::move(idle); }

  // --- message boxes ---
  // A modal message window. Headless it is answered at once: with the next
  // queued answer, else the default (OK, or Yes), and written to stderr
  // unless quiet; every box is recorded.
  int MessageBoxA(HWND owner, std::string_view text, std::string_view caption, UINT flags);
  void QueueMessageBoxAnswer(int answer) { queuedAnswers_.push_back(answer); }
  const std::vector<MessageBoxRecord>& MessageBoxLog() const { return messageBoxLog_; }
  // Answers for the common dialogs in headless runs: a path, a colour, or "cancel".
  void QueueDialogAnswer(std::string answer) { dialogAnswers_.push_back(std::move(answer)); }
  bool TakeDialogAnswer(std::string& answer) {
    if (dialogAnswers_.empty()) return false;
    answer = std::move(dialogAnswers_.front());
    dialogAnswers_.pop_front();
    return true;
  }
  void SetQuietMessageBoxes(bool quiet) { quietMessageBoxes_ = quiet; }

  // --- drawing ---
  Gdi& gdi() { return *gdi_; }
  // A window's own pixels (its whole rectangle, frame included).
  Surface& WindowSurface(HWND hwnd);
  // The owner repainted the window: desktop drawings over it are gone.
  void WindowRepainted(HWND hwnd);
  // Marks a window for repainting: it gets WM_PAINT before the screen is
  // next composed (when someone looks), as windows paint when the loop is idle.
  bool InvalidateRect(HWND hwnd);
  // The screen as a person sees it: windows in z-order, layered alpha, and
  // what was drawn on the desktop itself on top.
  const Surface& ComposeScreen();
  Surface& DesktopOverlay() { return overlay_; }
  std::vector<std::uint8_t>& OverlayMask() { return overlayMask_; }
  void MarkScreenDirty() { screenDirty_ = true; }
  std::string SaveScreenPng(const std::string& path);
  std::string SaveWindowPng(HWND hwnd, const std::string& path);

  static constexpr HWND kDesktopWindow = 0x10000;

 private:
  friend class Gdi;
  Window* Find(HWND hwnd) const;
  Window& Get(HWND hwnd) const;  // throws for a handle that is not a window
  std::vector<HWND>& SiblingsOf(Window& w);
  RECT ScreenRect(const Window& w) const;
  RECT ScreenClientRect(const Window& w) const;
  void Unlink(Window& w);
  void InsertAmongSiblings(Window& w, HWND insertAfter);
  void DestroyTree(HWND hwnd);
  HWND ChildFromPoint(HWND parent, POINT p) const;
  void ComposeWindow(const Window& w, RECT clip, BYTE alpha);
  void ScheduleTimers();
  int MessageBoxWindow(std::string_view text, std::string_view caption, UINT flags);
  // A modal loop takes one input event at a time, so that what is queued
  // after the event that closes its window goes to whatever comes next.
  void RunPending(bool oneInput = false);
  void ProcessInput(bool oneInput = false);
  bool DragWindow(UINT msg);
  bool NextInputFor(HWND modal) const;
  bool JumpToNextTimer(std::uint64_t& budget);
  void RunTimers();
  void DeliverMouse(UINT msg, const MSLLHOOKSTRUCT& ev);
  void DeliverKey(int vk, bool down);
  UINT CurrentModifiers() const;

  struct InputEvent {
    enum Kind { Move, Button, Wheel, Key } kind;
    int x = 0, y = 0, vk = 0, delta = 0;
    bool down = false;
  };
  struct Posted {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  struct Hook {
    HHOOK handle;
    HOOKPROC proc;
  };
  struct HotKey {
    HWND hwnd;
    int id;
    UINT modifiers, vk;
  };
  struct Timer {
    HWND hwnd;
    std::uintptr_t id;
    UINT interval;
    std::uint64_t due;
    TIMERPROC proc;
    std::uint64_t serial;
  };
  struct Program {
    std::string name;
    bool running = true;
  };

  Clock clock_;
  int width_, height_;
  RunningObjectTable runningObjects_;
  std::vector<std::unique_ptr<Window>> windows_;  // by handle - kDesktopWindow
  std::vector<Program> programs_;                 // by id - 1
  std::map<LONG, WNDPROC> procs_;
  LONG nextProc_ = 0x400000;
  HWND foreground_ = 0, focus_ = 0, capture_ = 0;
  POINT cursor_{};
  std::function<bool()> idle_;
  HWND dragWindow_ = 0;  // moving with the pointer after a press on its caption
  POINT dragFrom_{};
  std::uint8_t keys_[256] = {};
  std::deque<InputEvent> input_;
  std::deque<Posted> posted_;
  std::vector<Hook> hooks_;  // oldest first
  HHOOK nextHook_ = 0x100;
  std::vector<HotKey> hotKeys_;
  std::vector<Timer> timers_;
  std::uint64_t timerSerial_ = 0;
  static constexpr std::uint64_t kNever = ~0ull;
  std::uint64_t nextDue_ = kNever;  // earliest timer due time
  std::function<void()> pump_;
  std::uint64_t nextPump_ = 0;
  std::deque<int> queuedAnswers_;
  std::deque<std::string> dialogAnswers_;
  std::vector<MessageBoxRecord> messageBoxLog_;
  bool quietMessageBoxes_ = false;
  std::unique_ptr<Gdi> gdi_;
  Surface screen_, overlay_;
  std::vector<std::uint8_t> overlayMask_;
  bool screenDirty_ = true;
  bool anyInvalid_ = false;  // some window waits for WM_PAINT
};

}  // namespace altimar::win
