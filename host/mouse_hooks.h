// The stack of named low-level mouse-hook clients: only the client on top
// listens. Each client procedure copies the event, may remember its point,
// and swallows the event (1) or lets it through (0); it never calls the
// next hook. The lock client keeps clicks off the globe while the program
// is busy; the other clients' work belongs to the tools that push them and
// is plugged in with SetClientHandler (until then they let everything through).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/win/desktop.h"

namespace altimar::host {

enum HookClient : int {
  kHookPickup = 1,
  kHookMultiPickup = 2,
  kHookGetColor = 3,
  kHookDock = 4,
  kHookShift = 5,
  kHookCirclePickup = 6,
  kHookCompare = 7,
  kHookSelectedRectOrCircleMove = 8,
  kHookLock = 9,
};

class MouseHooks {
 public:
  MouseHooks(win::Desktop& desktop, int program);
  ~MouseHooks();
  MouseHooks(const MouseHooks&) = delete;
  MouseHooks& operator=(const MouseHooks&) = delete;

  // Fills slots 1..9 of the client table (start-up).
  void FillClientTable();
  void HookPush(const std::string& name);
  void HookPop();
  void HookPopAll();
  // Takes every entry of client id out of the stack, wherever it stands,
  // keeping the others in their order: a tool started again leaves no
  // stale copy of itself under another tool's client.
  void HookRemove(int id);
  int Depth() const { return HookStack[0]; }
  int Top() const { return HookStack[0] > 0 ? HookStack[static_cast<std::size_t>(HookStack[0])] : 0; }

  // What a client does with an event (the mouse message and the event):
  // true swallows it.
  using ClientHandler = std::function<bool(win::WPARAM message, const win::MSLLHOOKSTRUCT& event)>;
  void SetClientHandler(int id, ClientHandler handler);

  std::array<std::string, 21> HookNames;         // 1..20
  std::array<win::HHOOK, 21> HookHandles{};      // 0..20
  std::array<std::int32_t, 101> HookStack{};     // [0] depth, then ids, top last
  win::MSLLHOOKSTRUCT HookEvent;
  win::POINT LastHookPoint;

  // The lock client's shared variables: the globe's main window and the
  // class name it guards (set by the sampler before it pushes the client).
  win::HWND LockWindow = 0;
  std::string LockClassName = "QWidget";
  win::HWND BusyWindow = 0;  // "Bexo - Open a local resource", found on first need

 private:
  win::LRESULT ClientProc(int id, int code, win::WPARAM wp, win::LPARAM lp);
  bool LockClient(win::WPARAM message, const win::MSLLHOOKSTRUCT& event);
  void Install(int id);

  win::Desktop& desktop_;
  int program_;
  std::array<ClientHandler, 21> handlers_{};
};

}  // namespace altimar::host
