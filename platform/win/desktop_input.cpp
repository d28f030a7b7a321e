// Mouse and keyboard: injected input, the low-level mouse hook chain,
// capture, focus and hot keys.
#include <algorithm>

#include "platform/win/desktop.h"
#include "platform/win/window.h"

namespace altimar::win {

bool Desktop::GetCursorPos(POINT* p) const {
  if (!p) return false;
  *p = cursor_;
  return true;
}

HWND Desktop::SetCapture(HWND hwnd) {
  const HWND old = capture_;
  capture_ = IsWindow(hwnd) ? hwnd : 0;
  if (old && old != capture_) SendMessageA(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(capture_));
  return old;
}

bool Desktop::ReleaseCapture() {
  const HWND old = capture_;
  capture_ = 0;
  if (old) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

std::int16_t Desktop::GetAsyncKeyState(int vk) const {
  if (vk < 0 || vk > 255) return 0;
  return keys_[vk] ? static_cast<std::int16_t>(0x8000) : 0;
}

void Desktop::keybd_event(BYTE vk, BYTE /*scan*/, DWORD flags, std::uintptr_t /*extra*/) {
  InjectKey(vk, (flags & KEYEVENTF_KEYUP) == 0);
}

void Desktop::InjectMouseMove(int x, int y) {
  input_.push_back({InputEvent::Move, Coordinate(x), Coordinate(y), 0, 0, false});
}
void Desktop::InjectMouseButton(int vk, bool down) {
  input_.push_back({InputEvent::Button, 0, 0, vk, 0, down});
}
void Desktop::InjectMouseWheel(int delta) { input_.push_back({InputEvent::Wheel, 0, 0, 0, delta, false}); }
void Desktop::InjectKey(int vk, bool down) { input_.push_back({InputEvent::Key, 0, 0, vk, 0, down}); }
void Desktop::InjectClick(int x, int y, int vk) {
  InjectMouseMove(x, y);
  InjectMouseButton(vk, true);
  InjectMouseButton(vk, false);
}

// --- hooks: a hook's handle carries its program in the top bits ---

HHOOK Desktop::SetWindowsHookExA(int idHook, HOOKPROC proc, int instance, DWORD /*threadId*/) {
  if (idHook != WH_MOUSE_LL || !proc) return 0;
  const HHOOK h = (static_cast<HHOOK>(instance) << 24) | (nextHook_++ & 0xFFFFFF);
  hooks_.push_back({h, std::move(proc)});
  return h;
}

bool Desktop::UnhookWindowsHookEx(HHOOK hook) {
  const auto n = hooks_.size();
  std::erase_if(hooks_, [&](const Hook& h) { return h.handle == hook; });
  return hooks_.size() != n;
}

LRESULT Desktop::CallNextHookEx(HHOOK hook, int code, WPARAM wp, LPARAM lp) {
  // The next hook is the one installed before this one.
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [&](const Hook& h) { return h.handle == hook; });
  if (it == hooks_.end() || it == hooks_.begin()) return 0;
  const Hook next = *(it - 1);
  return next.proc(code, wp, lp);
}

// --- hot keys ---

bool Desktop::RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT vk) {
  if (!IsWindow(hwnd) || HotKeyRegistered(modifiers, vk)) return false;
  for (const auto& k : hotKeys_)
    if (k.hwnd == hwnd && k.id == id) return false;
  hotKeys_.push_back({hwnd, id, modifiers, vk});
  return true;
}

bool Desktop::UnregisterHotKey(HWND hwnd, int id) {
  const auto n = hotKeys_.size();
  std::erase_if(hotKeys_, [&](const HotKey& k) { return k.hwnd == hwnd && k.id == id; });
  return hotKeys_.size() != n;
}

bool Desktop::HotKeyRegistered(UINT modifiers, UINT vk) const {
  return std::any_of(hotKeys_.begin(), hotKeys_.end(),
                     [&](const HotKey& k) { return k.modifiers == modifiers && k.vk == vk; });
}

UINT Desktop::CurrentModifiers() const {
  UINT m = 0;
  if (keys_[VK_MENU]) m |= MOD_ALT;
  if (keys_[VK_CONTROL]) m |= MOD_CONTROL;
  if (keys_[VK_SHIFT]) m |= MOD_SHIFT;
  if (keys_[VK_LWIN]) m |= MOD_WIN;
  return m;
}

// --- processing ---

void Desktop::DeliverMouse(UINT msg, const MSLLHOOKSTRUCT& ev) {
  HWND target = capture_ ? capture_ : WindowFromPoint(ev.pt);
  if (target == kDesktopWindow || !IsWindow(target)) return;
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
    SetForegroundWindow(target);
    if (!IsWindow(target)) return;
  }
  WPARAM keys = 0;
  if (keys_[VK_LBUTTON]) keys |= MK_LBUTTON;
  if (keys_[VK_RBUTTON]) keys |= MK_RBUTTON;
  if (keys_[VK_MBUTTON]) keys |= MK_MBUTTON;
  if (keys_[VK_SHIFT]) keys |= MK_SHIFT;
  if (keys_[VK_CONTROL]) keys |= MK_CONTROL;
  if (msg == WM_MOUSEWHEEL) {
    // Wheel messages carry screen coordinates and the delta in the high word.
    SendMessageA(target, msg, keys | (static_cast<WPARAM>(ev.mouseData & 0xFFFF0000u)),
                 MAKELPARAM(ev.pt.x, ev.pt.y));
    return;
  }
  POINT c = ev.pt;
  ScreenToClient(target, &c);
  SendMessageA(target, msg, keys, MAKELPARAM(c.x, c.y));
}

void Desktop::DeliverKey(int vk, bool down) {
  if (down) {
    const UINT mods = CurrentModifiers();
    for (const auto& k : hotKeys_) {
      if (k.modifiers == mods && k.vk == static_cast<UINT>(vk)) {
        PostMessageA(k.hwnd, WM_HOTKEY, static_cast<WPARAM>(k.id), MAKELPARAM(static_cast<int>(mods), vk));
        return;
      }
    }
  }
  if (!focus_) return;
  SendMessageA(focus_, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(vk), 0);
  // Printable keys also arrive as characters (upper case letters unless
  // shifted otherwise; enough for the text the program's boxes take).
  if (down && IsWindow(focus_)) {
    int ch = 0;
    if ((vk >= '0' && vk <= '9') || vk == VK_SPACE || vk == VK_RETURN || vk == VK_BACK ||
        vk == VK_ESCAPE)
      ch = vk;
    else if (vk >= 'A' && vk <= 'Z')
      ch = keys_[VK_SHIFT] ? vk : vk + ('a' - 'A');
    else if (vk == 0xBE)
      ch = '.';
    else if (vk == 0xBC)
      ch = ',';
    else if (vk == 0xBD)
      ch = '-';
    if (ch) SendMessageA(focus_, WM_CHAR, static_cast<WPARAM>(ch), 0);
  }
}

void Desktop::ProcessInput(bool oneInput) {
  for (bool first = true; !input_.empty() && (first || !oneInput); first = false) {
    const InputEvent e = input_.front();
    input_.pop_front();
    if (e.kind == InputEvent::Key) {
      if (e.vk >= 0 && e.vk < 256) keys_[e.vk] = e.down ? 1 : 0;
      DeliverKey(e.vk, e.down);
      continue;
    }
    MSLLHOOKSTRUCT ev;
    ev.pt = e.kind == InputEvent::Move ? POINT{e.x, e.y} : cursor_;
    ev.flags = LLMHF_INJECTED;
    ev.time = GetTickCount();
    UINT msg = WM_MOUSEMOVE;
    if (e.kind == InputEvent::Button) {
      if (e.vk == VK_LBUTTON) msg = e.down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
      else if (e.vk == VK_RBUTTON) msg = e.down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      else msg = e.down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    } else if (e.kind == InputEvent::Wheel) {
      msg = WM_MOUSEWHEEL;
      ev.mouseData = static_cast<DWORD>(static_cast<std::uint16_t>(e.delta)) << 16;
    }
    // The newest hook sees the event first; it decides whether older hooks do.
    if (!hooks_.empty()) {
      const Hook newest = hooks_.back();
      if (newest.proc(HC_ACTION, msg, reinterpret_cast<LPARAM>(&ev)) != 0) continue;  // swallowed
    }
    if (e.kind == InputEvent::Move) cursor_ = {Coordinate(ev.pt.x), Coordinate(ev.pt.y)};  // a hook may have moved it
    if (e.kind == InputEvent::Button && e.vk >= 0 && e.vk < 256) keys_[e.vk] = e.down ? 1 : 0;
    if (dragWindow_ != 0 && DragWindow(msg)) continue;
    DeliverMouse(msg, ev);
  }
}

// A window dragged by its caption moves with the pointer; the drag takes
// the mouse until the left button comes up.
bool Desktop::DragWindow(UINT msg) {
  if (!IsWindow(dragWindow_)) {
    dragWindow_ = 0;
    return false;
  }
  if (msg == WM_MOUSEMOVE) {
    Window& w = Get(dragWindow_);
    const int dx = cursor_.x - dragFrom_.x, dy = cursor_.y - dragFrom_.y;
    MoveWindow(dragWindow_, w.rect.left + dx, w.rect.top + dy, w.rect.width(), w.rect.height(), true);
    dragFrom_ = cursor_;
    return true;
  }
  if (msg == WM_LBUTTONUP) dragWindow_ = 0;
  return true;
}

}  // namespace altimar::win
