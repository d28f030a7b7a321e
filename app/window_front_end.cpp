#include "app/window_front_end.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/contour_batch.h"
#include "app/program.h"
#include "app/user_kml.h"
#include "platform/earth/dem_terrain.h"
#include "platform/earth/globe.h"
#include "platform/earth/procedural_terrain.h"

namespace altimar::app {

using namespace altimar::win;

namespace {

int VirtualKey(SDL_Keycode k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
  switch (k) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    default: return 0;
  }
}

int MouseButton(Uint8 b) {
  return b == SDL_BUTTON_RIGHT ? VK_RBUTTON : b == SDL_BUTTON_MIDDLE ? VK_MBUTTON : VK_LBUTTON;
}

// The SDL window, its renderer and the texture the screen goes into.
class Screen {
 public:
  ~Screen() {
    if (arrow_) SDL_FreeCursor(arrow_);
    if (wait_) SDL_FreeCursor(wait_);
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  std::string Open(int w, int h) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return SDL_GetError();
    window_ = SDL_CreateWindow("Altimar", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                               SDL_WINDOW_RESIZABLE);
    if (!window_) return SDL_GetError();
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_) return SDL_GetError();
    SDL_RenderSetLogicalSize(renderer_, w, h);  // mouse positions come back in desktop pixels
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!texture_) return SDL_GetError();
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    wait_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    return {};
  }
  void Show(const Surface& s) {
    SDL_UpdateTexture(texture_, nullptr, s.row(0), s.width() * static_cast<int>(sizeof(Pixel)));
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }
  void Pointer(bool hourglass) {
    SDL_Cursor* c = hourglass ? wait_ : arrow_;
    if (c && SDL_GetCursor() != c) SDL_SetCursor(c);
  }

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Cursor* arrow_ = nullptr;
  SDL_Cursor* wait_ = nullptr;
};

}  // namespace

int RunWindow(const WindowOptions& o) {
  // What the command line names is checked first: a mistyped folder or DEM
  // is told as such, with or without a display.
  std::error_code ec;
  if (!std::filesystem::is_directory(o.globe.dir, ec)) {
    std::cerr << "altimar: the folder '" << o.globe.dir << "' does not exist\n";
    return 1;
  }
  std::shared_ptr<const earth::TerrainSource> terrain;
  try {
    if (o.globe.dem) terrain = earth::DemTerrain::Open(*o.globe.dem);
    else terrain = std::make_shared<earth::ProceduralTerrain>();
  } catch (const earth::DemError& e) {
    std::cerr << "altimar: " << e.what() << '\n';
    return 1;
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::cerr << "altimar: there is no display to open a window on.\n"
                 "Headless, use `altimar contour` (contours of a view) or `altimar run SCRIPT`\n"
                 "(drive the globe and the program from a script).\n";
    return 2;
  }

  Desktop desktop(Clock::Kind::Real);
  earth::GlobeOptions go;
  go.camera.focusLatitude = o.globe.lat.value_or(kDefaultLat);
  go.camera.focusLongitude = o.globe.lon.value_or(kDefaultLon);
  go.camera.range = o.globe.range.value_or(kDefaultRange);
  go.camera.tilt = o.globe.tilt.value_or(0);
  go.camera.azimuth = o.globe.azimuth.value_or(0);
  go.placement = {40, 20, 40 + 1024, 20 + 740};
  auto globe = earth::Globe::Start(desktop, terrain, go);
  for (int k = 0; k < 2000 && globe->IsInitialized() == 0; ++k) desktop.Sleep(1);
  // A file the globe cannot open is an error in the command line: it is
  // reported before any window shows.
  if (o.kml) {
    if (std::string err = OpenUserKml(*globe, *o.kml); !err.empty()) {
      std::cerr << "altimar: " << err << '\n';
      return 1;
    }
  }

  Screen screen;
  if (std::string err = screen.Open(desktop.width(), desktop.height()); !err.empty()) {
    std::cerr << "altimar: the window cannot be opened (" << err << ").\n"
                 "Headless, use `altimar contour` or `altimar run SCRIPT`.\n";
    return 2;
  }
  bool quit = false;
  const auto started = std::chrono::steady_clock::now();
  // Every turn of any loop (the main one, a modal dialog's, a long run's
  // DoEvents) takes the person's input and shows the screen.
  desktop.SetPump([&] {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      switch (e.type) {
        case SDL_QUIT: quit = true; break;
        case SDL_MOUSEMOTION: desktop.InjectMouseMove(e.motion.x, e.motion.y); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
          desktop.InjectMouseMove(e.button.x, e.button.y);
          desktop.InjectMouseButton(MouseButton(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
          break;
        case SDL_MOUSEWHEEL: desktop.InjectMouseWheel(e.wheel.y * 120); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
          if (const int vk = VirtualKey(e.key.keysym.sym); vk != 0)
            desktop.InjectKey(vk, e.type == SDL_KEYDOWN);
          break;
        default: break;
      }
    }
    POINT p;
    desktop.GetCursorPos(&p);
    screen.Pointer(desktop.CursorShapeAt(p) == 11);
    screen.Show(desktop.ComposeScreen());
  });

  Program program(desktop, o.globe.dir, runtime::Pcg32::FromClock().NextU32());
  program.Start();
  int code = program.ended() ? 1 : 0;
  while (!quit && !program.ended() && globe->running()) {
    desktop.DoEvents();
    desktop.Sleep(10);
    if (o.quitAfterMs &&
        std::chrono::steady_clock::now() - started > std::chrono::milliseconds(*o.quitAfterMs))
      break;
  }
  if (o.screenshot) {
    if (std::string err = desktop.SaveScreenPng(*o.screenshot); !err.empty()) {
      std::cerr << "altimar: the screenshot could not be written: " << err << '\n';
      code = 1;
    }
  }
  desktop.SetPump(nullptr);
  return code;
}

}  // namespace altimar::app
