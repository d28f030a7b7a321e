// Windows: creation, tree, z-order, placement, properties and messages.
#include "platform/win/desktop.h"

#include <algorithm>
#include <cstring>

#include "platform/win/gdi.h"
#include "platform/win/window.h"

namespace altimar::win {

Desktop::Desktop(Clock::Kind clock, int width, int height)
    : clock_(clock), width_(width), height_(height), gdi_(std::make_unique<Gdi>(*this)) {
  auto root = std::make_unique<Window>();
  root->handle = kDesktopWindow;
  root->className = "#32769";
  root->rect = {0, 0, width, height};
  root->visible = true;
  windows_.push_back(std::move(root));
  overlay_.Resize(width, height);
  overlayMask_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

Desktop::~Desktop() = default;

// --- programs ---

int Desktop::StartProgram(const std::string& name) {
  programs_.push_back({name, true});
  return static_cast<int>(programs_.size());
}

void Desktop::EndProgram(int program) {
  if (!ProgramRunning(program)) return;
  programs_[static_cast<std::size_t>(program - 1)].running = false;
  std::vector<HWND> owned;
  for (const auto& w : windows_)
    if (w && w->program == program) owned.push_back(w->handle);
  for (HWND h : owned) DestroyWindow(h);
  std::erase_if(hooks_, [&](const Hook& h) { return (h.handle >> 24) == program; });
}

int Desktop::FindProgram(const std::string& name) const {
  for (std::size_t i = 0; i < programs_.size(); ++i)
    if (programs_[i].running && programs_[i].name == name) return static_cast<int>(i + 1);
  return 0;
}

bool Desktop::ProgramRunning(int program) const {
  return program >= 1 && program <= static_cast<int>(programs_.size()) &&
         programs_[static_cast<std::size_t>(program - 1)].running;
}

// --- the window table ---

Window* Desktop::Find(HWND hwnd) const {
  const auto i = hwnd - kDesktopWindow;
  if (i < 0 || i >= static_cast<std::intptr_t>(windows_.size())) return nullptr;
  return windows_[static_cast<std::size_t>(i)].get();
}

Window& Desktop::Get(HWND hwnd) const {
  Window* w = Find(hwnd);
  if (!w) throw std::invalid_argument("not a window: " + std::to_string(hwnd));
  return *w;
}

bool Desktop::IsWindow(HWND hwnd) const { return hwnd != kDesktopWindow && Find(hwnd) != nullptr; }

std::vector<HWND>& Desktop::SiblingsOf(Window& w) { return Get(w.parent).children; }

RECT Desktop::ScreenRect(const Window& w) const {
  if (w.handle == kDesktopWindow) return w.rect;
  const RECT pc = ScreenClientRect(Get(w.parent));
  return {Coordinate(std::int64_t{pc.left} + w.rect.left), Coordinate(std::int64_t{pc.top} + w.rect.top),
          Coordinate(std::int64_t{pc.left} + w.rect.right), Coordinate(std::int64_t{pc.top} + w.rect.bottom)};
}

RECT Desktop::ScreenClientRect(const Window& w) const {
  if (w.handle == kDesktopWindow) return w.rect;
  const RECT r = ScreenRect(w);
  return {Coordinate(std::int64_t{r.left} + w.frame.left), Coordinate(std::int64_t{r.top} + w.frame.top),
          Coordinate(std::int64_t{r.right} - w.frame.right), Coordinate(std::int64_t{r.bottom} - w.frame.bottom)};
}

void Desktop::Unlink(Window& w) {
  auto& s = SiblingsOf(w);
  s.erase(std::remove(s.begin(), s.end(), w.handle), s.end());
}

void Desktop::InsertAmongSiblings(Window& w, HWND insertAfter) {
  auto& s = SiblingsOf(w);
  s.erase(std::remove(s.begin(), s.end(), w.handle), s.end());
  const bool topLevel = w.parent == kDesktopWindow;
  if (insertAfter == HWND_TOPMOST && topLevel) w.exStyle |= WS_EX_TOPMOST;
  if (insertAfter == HWND_NOTOPMOST && topLevel) w.exStyle &= ~WS_EX_TOPMOST;
  // Top-level windows keep the topmost ones in front of all others.
  auto bandStart = s.begin();
  if (topLevel && !w.topmost())
    bandStart = std::find_if(s.begin(), s.end(), [&](HWND h) { return !Get(h).topmost(); });
  auto pos = bandStart;
  if (insertAfter == HWND_BOTTOM) {
    pos = s.end();
  } else if (insertAfter > HWND_BOTTOM) {
    auto it = std::find(s.begin(), s.end(), insertAfter);
    if (it != s.end()) pos = std::max(bandStart, it + 1);
  }
  s.insert(pos, w.handle);
  screenDirty_ = true;
}

// --- creation and destruction ---

HWND Desktop::CreateWindowExA(LONG exStyle, const std::string& className, const std::string& title,
                              LONG style, int x, int y, int w, int h, HWND parent, int program,
                              WNDPROC proc) {
  auto win = std::make_unique<Window>();
  const HWND handle = kDesktopWindow + static_cast<HWND>(windows_.size());
  win->handle = handle;
  win->className = className;
  win->text = title;
  win->parent = (parent == 0 || !Find(parent)) ? kDesktopWindow : parent;
  win->rect = Placed(x, y, w, h);
  win->style = style;
  win->exStyle = exStyle;
  win->visible = (style & WS_VISIBLE) != 0;
  win->enabled = (style & WS_DISABLED) == 0;
  win->program = program;
  win->surface.Resize(win->rect.width(), win->rect.height(), 0xFFFFFF);
  if (proc) win->proc = RegisterWndProc(std::move(proc));
  Window& ref = *win;
  windows_.push_back(std::move(win));
  InsertAmongSiblings(ref, (exStyle & WS_EX_TOPMOST) ? HWND_TOPMOST : HWND_TOP);
  SendMessageA(handle, WM_CREATE, 0, 0);
  return handle;
}

void Desktop::DestroyTree(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return;
  const std::vector<HWND> children = w->children;
  for (HWND c : children) DestroyTree(c);
  SendMessageA(hwnd, WM_DESTROY, 0, 0);
  w = Find(hwnd);
  if (!w) return;
  Unlink(*w);
  if (capture_ == hwnd) capture_ = 0;
  if (focus_ == hwnd) focus_ = 0;
  if (foreground_ == hwnd) foreground_ = 0;
  std::erase_if(hotKeys_, [&](const HotKey& k) { return k.hwnd == hwnd; });
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
  windows_[static_cast<std::size_t>(hwnd - kDesktopWindow)].reset();
}

bool Desktop::DestroyWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  DestroyTree(hwnd);
  screenDirty_ = true;
  return true;
}

// --- search and tree ---

HWND Desktop::FindWindowA(const char* className, const char* title) const {
  for (HWND h : windows_[0]->children) {
    const Window& w = Get(h);
    if ((!className || w.className == className) && (!title || w.text == title)) return h;
  }
  return 0;
}

void Desktop::EnumWindows(const std::function<bool(HWND)>& f) const {
  const std::vector<HWND> top = windows_[0]->children;
  for (HWND h : top)
    if (IsWindow(h) && !f(h)) return;
}

void Desktop::EnumChildWindows(HWND parent, const std::function<bool(HWND)>& f) const {
  const Window* p = Find(parent);
  if (!p) return;
  const std::vector<HWND> children = p->children;
  for (HWND h : children) {
    if (!IsWindow(h)) continue;
    if (!f(h)) return;
    EnumChildWindows(h, f);
  }
}

HWND Desktop::GetWindow(HWND hwnd, UINT relation) const {
  const Window* w = Find(hwnd);
  if (!w) return 0;
  if (relation == GW_CHILD) return w->children.empty() ? 0 : w->children.front();
  if (hwnd == kDesktopWindow) return 0;
  const auto& s = Get(w->parent).children;
  auto it = std::find(s.begin(), s.end(), hwnd);
  switch (relation) {
    case GW_HWNDFIRST: return s.front();
    case GW_HWNDLAST: return s.back();
    case GW_HWNDNEXT: return (it + 1 < s.end()) ? *(it + 1) : 0;
    case GW_HWNDPREV: return it > s.begin() ? *(it - 1) : 0;
    default: return 0;
  }
}

namespace {
int CopyOut(const std::string& s, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const int n = std::min(static_cast<int>(s.size()), size - 1);
  std::memcpy(buffer, s.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}
}  // namespace

int Desktop::GetWindowTextA(HWND hwnd, char* buffer, int size) const {
  const Window* w = Find(hwnd);
  return CopyOut(w ? w->text : std::string(), buffer, size);
}
std::string Desktop::GetWindowText(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? w->text : std::string();
}
bool Desktop::SetWindowTextA(HWND hwnd, const std::string& text) {
  Window* w = Find(hwnd);
  if (!w) return false;
  w->text = text;
  return true;
}
int Desktop::GetClassNameA(HWND hwnd, char* buffer, int size) const {
  const Window* w = Find(hwnd);
  return w ? CopyOut(w->className, buffer, size) : 0;
}
std::string Desktop::GetClassName(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? w->className : std::string();
}

HWND Desktop::SetParent(HWND child, HWND newParent) {
  if (!IsWindow(child)) return 0;
  Window& w = Get(child);
  if (newParent == 0 || newParent == kDesktopWindow) newParent = kDesktopWindow;
  if (!Find(newParent)) return 0;
  // A window cannot become a child of itself or of its own descendant.
  for (HWND p = newParent; p != kDesktopWindow; p = Get(p).parent)
    if (p == child) return 0;
  const HWND old = w.parent == kDesktopWindow ? GetDesktopWindow() : w.parent;
  Unlink(w);
  w.parent = newParent;
  InsertAmongSiblings(w, HWND_TOP);
  return old;
}

HWND Desktop::GetParent(HWND hwnd) const {
  const Window* w = Find(hwnd);
  if (!w || w->parent == kDesktopWindow || hwnd == kDesktopWindow) return 0;
  return w->parent;
}

bool Desktop::GetWindowRect(HWND hwnd, RECT* r) const {
  const Window* w = Find(hwnd);
  if (!w || !r) return false;
  *r = ScreenRect(*w);
  return true;
}

bool Desktop::GetClientRect(HWND hwnd, RECT* r) const {
  const Window* w = Find(hwnd);
  if (!w || !r) return false;
  *r = {0, 0, std::max(w->clientWidth(), 0), std::max(w->clientHeight(), 0)};
  return true;
}

bool Desktop::ClientToScreen(HWND hwnd, POINT* p) const {
  const Window* w = Find(hwnd);
  if (!w || !p) return false;
  const RECT c = ScreenClientRect(*w);
  p->x = Coordinate(std::int64_t{p->x} + c.left);
  p->y = Coordinate(std::int64_t{p->y} + c.top);
  return true;
}

bool Desktop::ScreenToClient(HWND hwnd, POINT* p) const {
  const Window* w = Find(hwnd);
  if (!w || !p) return false;
  const RECT c = ScreenClientRect(*w);
  p->x = Coordinate(std::int64_t{p->x} - c.left);
  p->y = Coordinate(std::int64_t{p->y} - c.top);
  return true;
}

void Desktop::SetFrame(HWND hwnd, RECT insets) {
  if (Window* w = Find(hwnd)) {
    w->frame = {Extent(insets.left), Extent(insets.top), Extent(insets.right), Extent(insets.bottom)};
    screenDirty_ = true;
  }
}

int Desktop::ProgramOf(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? w->program : 0;
}

// --- placement ---

bool Desktop::SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!IsWindow(hwnd)) return false;
  Window& w = Get(hwnd);
  const RECT old = w.rect;
  const bool move = !(flags & SWP_NOMOVE), size = !(flags & SWP_NOSIZE);
  w.rect = Placed(move ? x : old.left, move ? y : old.top, size ? cx : old.width(), size ? cy : old.height());
  if (!(flags & SWP_NOZORDER)) InsertAmongSiblings(w, insertAfter);
  if (flags & SWP_SHOWWINDOW) w.visible = true;
  if (flags & SWP_HIDEWINDOW) w.visible = false;
  w.surface.Resize(w.rect.width(), w.rect.height(), 0xFFFFFF);
  screenDirty_ = true;
  if (w.rect.width() != old.width() || w.rect.height() != old.height())
    SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(w.clientWidth(), w.clientHeight()));
  if (w.rect.left != old.left || w.rect.top != old.top)
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w.rect.left, w.rect.top));
  return true;
}

bool Desktop::MoveWindow(HWND hwnd, int x, int y, int w, int h, bool /*repaint*/) {
  return SetWindowPos(hwnd, 0, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Desktop::ShowWindow(HWND hwnd, int cmd) {
  if (!IsWindow(hwnd)) return false;
  Window& w = Get(hwnd);
  const bool was = w.visible;
  switch (cmd) {
    case SW_HIDE:
      w.visible = false;
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      w.visible = true;
      w.minimized = true;
      break;
    case SW_SHOWMAXIMIZED:
      w.visible = true;
      w.minimized = false;
      if (!w.maximized) {
        w.maximized = true;
        w.restore = w.rect;
        const Window& p = Get(w.parent);
        const int pw = w.parent == kDesktopWindow ? width_ : p.clientWidth();
        const int ph = w.parent == kDesktopWindow ? height_ : p.clientHeight();
        SetWindowPos(hwnd, 0, 0, 0, pw, ph, SWP_NOZORDER);
      }
      break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
      w.visible = true;
      w.minimized = false;
      if (w.maximized) {
        w.maximized = false;
        const RECT r = w.restore;
        SetWindowPos(hwnd, 0, r.left, r.top, r.width(), r.height(), SWP_NOZORDER);
      }
      break;
    default:  // SW_SHOW, SW_SHOWNOACTIVATE and the rest
      w.visible = true;
      break;
  }
  if (was != w.visible) SendMessageA(hwnd, WM_SHOWWINDOW, w.visible ? 1 : 0, 0);
  if (!w.visible && (focus_ == hwnd)) focus_ = 0;
  screenDirty_ = true;
  return was;
}

bool Desktop::IsWindowVisible(HWND hwnd) const {
  for (const Window* w = Find(hwnd); w; w = w->parent ? Find(w->parent) : nullptr) {
    if (!w->visible) return false;
    if (w->handle == kDesktopWindow) return hwnd != kDesktopWindow;
  }
  return false;
}
bool Desktop::IsIconic(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w && w->minimized;
}
bool Desktop::IsZoomed(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w && w->maximized;
}
bool Desktop::EnableWindow(HWND hwnd, bool enable) {
  Window* w = Find(hwnd);
  if (!w) return false;
  const bool wasDisabled = !w->enabled;
  w->enabled = enable;
  return wasDisabled;
}
bool Desktop::IsWindowEnabled(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w && w->enabled;
}

HWND Desktop::ChildFromPoint(HWND parent, POINT p) const {
  const Window& w = Get(parent);
  const RECT client = ScreenClientRect(w);
  if (!client.Contains(p.x, p.y)) return parent;
  for (HWND h : w.children) {
    const Window& c = Get(h);
    if (!c.visible || c.minimized) continue;
    if (ScreenRect(c).Contains(p.x, p.y)) return c.enabled ? ChildFromPoint(h, p) : parent;
  }
  return parent;
}

HWND Desktop::WindowFromPoint(POINT p) const {
  for (HWND h : windows_[0]->children) {
    const Window& w = Get(h);
    if (!w.visible || w.minimized) continue;
    if (ScreenRect(w).Contains(p.x, p.y)) return ChildFromPoint(h, p);
  }
  return kDesktopWindow;
}

void Desktop::SetWindowCursor(HWND hwnd, int shape) {
  if (IsWindow(hwnd)) Get(hwnd).cursor = shape;
}

int Desktop::CursorShapeAt(POINT p) const {
  for (HWND h = WindowFromPoint(p); h != kDesktopWindow && IsWindow(h); h = GetParent(h))
    if (Get(h).cursor != 0) return Get(h).cursor;
  return 0;
}

bool Desktop::SetForegroundWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  while (GetParent(hwnd) != 0) hwnd = GetParent(hwnd);
  foreground_ = hwnd;
  Window& w = Get(hwnd);
  InsertAmongSiblings(w, HWND_TOP);
  return true;
}

HWND Desktop::SetFocus(HWND hwnd) {
  const HWND old = focus_;
  if (hwnd != 0 && !IsWindow(hwnd)) return old;
  if (old == hwnd) return old;
  if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, static_cast<WPARAM>(hwnd), 0);
  focus_ = hwnd;
  if (hwnd) SendMessageA(hwnd, WM_SETFOCUS, static_cast<WPARAM>(old), 0);
  return old;
}

// --- window data and messages ---

LONG Desktop::GetWindowLongA(HWND hwnd, int index) const {
  const Window* w = Find(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_WNDPROC: return w->proc;
    case GWL_STYLE: return w->style;
    case GWL_EXSTYLE: return w->exStyle;
    default: return 0;
  }
}

LONG Desktop::SetWindowLongA(HWND hwnd, int index, LONG value) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  LONG old = 0;
  switch (index) {
    case GWL_WNDPROC:
      old = w->proc;
      w->proc = value;
      break;
    case GWL_STYLE:
      old = w->style;
      w->style = value;
      w->visible = (value & WS_VISIBLE) != 0;
      break;
    case GWL_EXSTYLE:
      old = w->exStyle;
      w->exStyle = value;
      break;
    default:
      break;
  }
  screenDirty_ = true;
  return old;
}

LONG Desktop::RegisterWndProc(WNDPROC proc) {
  const LONG id = nextProc_++;
  procs_[id] = std::move(proc);
  return id;
}

LRESULT Desktop::CallWindowProcA(LONG proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto it = procs_.find(proc);
  if (it == procs_.end() || !it->second) {
    // No procedure of its own: what DefWindowProc does for the messages we know.
    if (msg == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
  }
  const WNDPROC f = it->second;  // a handler may replace the procedure while it runs
  return f(hwnd, msg, wp, lp);
}

LRESULT Desktop::SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const Window* w = Find(hwnd);
  if (!w || hwnd == kDesktopWindow) return 0;
  const LRESULT r = CallWindowProcA(w->proc, hwnd, msg, wp, lp);
  // The default reaction to a press on a caption: the window follows the
  // pointer until the left button comes up.
  if (msg == WM_NCLBUTTONDOWN && wp == HTCAPTION && IsWindow(hwnd)) {
    dragWindow_ = hwnd;
    dragFrom_ = cursor_;
  }
  return r;
}

bool Desktop::PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!IsWindow(hwnd)) return false;
  posted_.push_back({hwnd, msg, wp, lp});
  return true;
}

bool Desktop::SetLayeredWindowAttributes(HWND hwnd, COLORREF /*key*/, BYTE alpha, DWORD flags) {
  Window* w = Find(hwnd);
  if (!w || !(w->exStyle & WS_EX_LAYERED)) return false;
  if (flags & LWA_ALPHA) w->alpha = alpha;
  screenDirty_ = true;
  return true;
}

BYTE Desktop::GetWindowAlpha(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return (w && (w->exStyle & WS_EX_LAYERED)) ? w->alpha : 255;
}

int Desktop::GetSystemMetrics(int index) const {
  switch (index) {
    case SM_CXSCREEN: return width_;
    case SM_CYSCREEN: return height_;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CYMENU: return 20;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    default: return 0;
  }
}

bool Desktop::FlashWindow(HWND hwnd, bool /*invert*/) {
  Window* w = Find(hwnd);
  if (!w) return false;
  ++w->flashes;
  return true;
}

int Desktop::FlashCount(HWND hwnd) const {
  const Window* w = Find(hwnd);
  return w ? w->flashes : 0;
}

}  // namespace altimar::win
