#include "host/mouse_hooks.h"

namespace altimar::host {

using namespace altimar::win;

MouseHooks::MouseHooks(Desktop& desktop, int program) : desktop_(desktop), program_(program) {}

MouseHooks::~MouseHooks() { HookPopAll(); }

void MouseHooks::FillClientTable() {
  static const char* const kNames[] = {"Pickup",       "MultiPickup", "GetColor",
                                       "Dock",         "Shift",       "CirclePickup",
                                       "Compare",      "selectedRectOrCircleMove",
                                       "CallMouseHookProc9_Lock"};
  for (int id = 1; id <= 9; ++id) HookNames[static_cast<std::size_t>(id)] = kNames[id - 1];
}

void MouseHooks::SetClientHandler(int id, ClientHandler handler) {
  if (id >= 1 && id <= 20) handlers_[static_cast<std::size_t>(id)] = std::move(handler);
}

void MouseHooks::Install(int id) {
  HookHandles[static_cast<std::size_t>(id)] = desktop_.SetWindowsHookExA(
      WH_MOUSE_LL, [this, id](int code, WPARAM wp, LPARAM lp) { return ClientProc(id, code, wp, lp); },
      program_, 0);
}

void MouseHooks::HookPush(const std::string& name) {
  int id = 0;
  for (int slot = 1; slot <= 20 && id == 0; ++slot)
    if (HookNames[static_cast<std::size_t>(slot)] == name && !name.empty()) id = slot;
  if (id == 0) return;                 // a name not in the table changes nothing
  if (HookStack[0] >= 100) return;     // the stack is full: refuse rather than overrun
  if (HookStack[0] > 0) desktop_.UnhookWindowsHookEx(HookHandles[static_cast<std::size_t>(Top())]);
  HookStack[static_cast<std::size_t>(++HookStack[0])] = id;
  Install(id);
}

void MouseHooks::HookPop() {
  if (HookStack[0] == 0) return;
  desktop_.UnhookWindowsHookEx(HookHandles[static_cast<std::size_t>(Top())]);
  HookStack[static_cast<std::size_t>(HookStack[0])] = 0;
  --HookStack[0];
  if (HookStack[0] > 0) Install(Top());
}

void MouseHooks::HookRemove(int id) {
  const int top = Top();
  int kept = 0;
  for (int k = 1; k <= HookStack[0]; ++k) {
    const std::int32_t entry = HookStack[static_cast<std::size_t>(k)];
    HookStack[static_cast<std::size_t>(k)] = 0;
    if (entry != id) HookStack[static_cast<std::size_t>(++kept)] = entry;
  }
  HookStack[0] = kept;
  if (top != id) return;  // the listening client is unchanged
  desktop_.UnhookWindowsHookEx(HookHandles[static_cast<std::size_t>(id)]);
  if (HookStack[0] > 0) Install(Top());
}

void MouseHooks::HookPopAll() {
  for (int k = 1; k <= HookStack[0]; ++k) {
    desktop_.UnhookWindowsHookEx(HookHandles[static_cast<std::size_t>(HookStack[static_cast<std::size_t>(k)])]);
    HookStack[static_cast<std::size_t>(k)] = 0;
  }
  HookStack[0] = 0;
}

LRESULT MouseHooks::ClientProc(int id, int code, WPARAM wp, LPARAM lp) {
  if (code != HC_ACTION) return 0;
  HookEvent = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
  // The pick, colour and dock clients keep the point.
  if (id == kHookPickup || id == kHookMultiPickup || id == kHookGetColor || id == kHookDock ||
      id == kHookCirclePickup)
    LastHookPoint = HookEvent.pt;
  bool swallow = false;
  if (id == kHookLock) {
    swallow = LockClient(wp, HookEvent);
  } else if (const auto& h = handlers_[static_cast<std::size_t>(id)]) {
    swallow = h(wp, HookEvent);
  }
  return swallow ? 1 : 0;
}

bool MouseHooks::LockClient(WPARAM message, const MSLLHOOKSTRUCT& event) {
  char cls[101] = {};
  desktop_.GetClassNameA(desktop_.WindowFromPoint(event.pt), cls, sizeof cls);
  const std::string c(cls);
  if (c != LockClassName && c != "msvb_lib_toolbar" && c != "ThunderPictureBoxDC") return false;
  if (BusyWindow == 0) BusyWindow = desktop_.FindWindowA("#32770", "Bexo - Open a local resource");
  if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MOUSEWHEEL) {
    if (BusyWindow != 0) {
      desktop_.FlashWindow(BusyWindow, true);
      desktop_.Sleep(50);
      desktop_.FlashWindow(BusyWindow, true);
    }
    return true;
  }
  return false;
}

}  // namespace altimar::host
