#include "platform/earth/globe.h"

#include <algorithm>
#include <cmath>

#include "platform/earth/kml_places.h"
#include "platform/earth/renderer.h"
#include "platform/win/gdi.h"

namespace altimar::earth {

using namespace altimar::win;

namespace {

class PointOnTerrain final : public automation::IPointOnTerrainGE {
 public:
  explicit PointOnTerrain(GroundPoint p) : p_(p) {}
  double get_Latitude() const override { return p_.lat; }
  double get_Longitude() const override { return p_.lon; }
  double get_Altitude() const override { return p_.alt; }

 private:
  GroundPoint p_;
};

class ViewExtents final : public automation::IViewExtentsGE {
 public:
  ViewExtents(double n, double s, double e, double w) : n_(n), s_(s), e_(e), w_(w) {}
  double get_North() const override { return n_; }
  double get_South() const override { return s_; }
  double get_East() const override { return e_; }
  double get_West() const override { return w_; }

 private:
  double n_, s_, e_, w_;
};

constexpr int kMenubarHeight = 22;

double Lerp(double a, double b, double t) { return a + (b - a) * t; }
// Longitudes take the short way round.
double LerpLongitude(double a, double b, double t) {
  double d = std::fmod(b - a + 540.0, 360.0) - 180.0;
  double v = a + d * t;
  if (v > 180) v -= 360;
  if (v < -180) v += 360;
  return v;
}

}  // namespace

Globe::Globe(Desktop& desktop, std::shared_ptr<const TerrainSource> terrain)
    : desktop_(desktop), terrain_(std::move(terrain)) {}

Globe::~Globe() = default;

std::shared_ptr<Globe> Globe::Start(Desktop& desktop, std::shared_ptr<const TerrainSource> terrain,
                                    GlobeOptions options) {
  std::shared_ptr<Globe> g(new Globe(desktop, std::move(terrain)));
  g->from_ = g->to_ = options.camera;
  g->startMs_ = desktop.clock().NowMs();
  g->program_ = desktop.StartProgram("googleearth");
  g->CreateWindows(options);
  desktop.RunningObjects().Register(automation::kApplicationGEClsid, g);
  g->registered_ = true;
  return g;
}

void Globe::CreateWindows(const GlobeOptions& o) {
  const RECT& p = o.placement;
  main_ = desktop_.CreateWindowExA(0, "QWidget", o.title, WS_VISIBLE | WS_CAPTION, p.left, p.top,
                                   p.width(), p.height(), 0, program_,
                                   [this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
                                     if (msg == WM_SIZE) Layout();
                                     if (msg == WM_CLOSE) Quit();
                                     return 0;
                                   });
  desktop_.SetFrame(main_, {4, 30, 4, 4});
  // The menu bar sits inside a frame widget, as in the real application.
  const HWND frame = desktop_.CreateWindowExA(0, "QWidget", "", WS_VISIBLE | WS_CHILD, 0, 0, 10, 10,
                                              main_, program_);
  menubar_ = desktop_.CreateWindowExA(0, "QWidget", "menubar", WS_VISIBLE | WS_CHILD, 0, 0, 10,
                                      kMenubarHeight, frame, program_);
  render_ = desktop_.CreateWindowExA(0, "QWidget", "render", WS_VISIBLE | WS_CHILD, 0, 0, 10, 10,
                                     main_, program_, [this](HWND, UINT msg, WPARAM wp, LPARAM lp) {
                                       return RenderProc(msg, wp, lp);
                                     });
  desktop_.WindowSurface(menubar_).Fill(0xF0F0F0);
  desktop_.WindowSurface(render_).Fill(0x101830);
  Layout();
}

void Globe::Layout() {
  if (!desktop_.IsWindow(main_)) return;
  RECT c;
  desktop_.GetClientRect(main_, &c);
  // The frame: a caption with the title, thin borders.
  RECT outer;
  desktop_.GetWindowRect(main_, &outer);
  Surface& chrome = desktop_.WindowSurface(main_);
  chrome.Fill(0xC8CCD4);
  chrome.FillRect(0, 0, outer.width(), 30, 0x2B579A);
  desktop_.gdi().PaintText(main_, desktop_.GetWindowText(main_), {10, 0, outer.width() - 10, 30},
                           0xFFFFFF, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  const HWND frame = desktop_.GetParent(menubar_);
  desktop_.MoveWindow(frame, 0, 0, c.width(), kMenubarHeight, false);
  desktop_.MoveWindow(menubar_, 0, 0, c.width(), kMenubarHeight, false);
  desktop_.MoveWindow(render_, 0, kMenubarHeight, c.width(), std::max(0, c.height() - kMenubarHeight),
                      false);
  desktop_.WindowSurface(menubar_).Fill(0xF0F0F0);
  Invalidate();
}

void Globe::Invalidate() {
  if (desktop_.IsWindow(render_)) desktop_.InvalidateRect(render_);
}

void Globe::Paint() {
  if (!desktop_.IsWindow(render_)) return;
  if (!renderer_) renderer_ = std::make_unique<Renderer>();
  const CameraState c = camera();
  const double ground = GroundHeight(c.focusLongitude, c.focusLatitude);
  const ViewFrame frame(c, ground, Aspect());
  const bool flat = !terrainLayer_ || exaggeration_ == 0 || !terrain_;
  const HeightField heights = [&](double lon, double lat) { return GroundHeight(lon, lat); };
  std::vector<std::shared_ptr<Feature>> docs;
  for (const auto& d : myPlaces_->children()) docs.push_back(d);
  for (const auto& d : temporaryPlaces_->children()) docs.push_back(d);
  renderer_->Render(frame, ground, flat ? nullptr : &heights, docs, desktop_.WindowSurface(render_),
                    &desktop_.gdi().fonts());
  desktop_.WindowRepainted(render_);
  if (flying()) Invalidate();  // a flight shows its next step at the next look
}

void Globe::Quit() {
  if (!registered_) return;
  auto running = desktop_.RunningObjects().Get(automation::kApplicationGEClsid);
  if (running.get() == static_cast<win::IUnknown*>(this))
    desktop_.RunningObjects().Revoke(automation::kApplicationGEClsid);
  registered_ = false;
  desktop_.EndProgram(program_);
  main_ = menubar_ = render_ = 0;
}

HWND Globe::RequireWindow(HWND h, const char* what) const {
  if (!registered_ || !desktop_.IsWindow(h))
    throw automation::AutomationError(std::string(what) + ": Google Earth is not running");
  return h;
}

HWND Globe::GetMainHwnd() { return RequireWindow(main_, "GetMainHwnd"); }
HWND Globe::GetRenderHwnd() { return RequireWindow(render_, "GetRenderHwnd"); }

int Globe::IsInitialized() {
  return registered_ && desktop_.clock().NowMs() >= startMs_ + kStartUpMs ? 1 : 0;
}

double Globe::GroundHeight(double lon, double lat) const {
  if (!terrainLayer_ || !terrain_ || exaggeration_ == 0) return 0.0;
  const auto h = terrain_->HeightAt(lon, lat);
  return h ? *h * exaggeration_ : 0.0;
}

// --- the camera and its flights ---

bool Globe::flying() const { return desktop_.clock().NowMs() < flightStartMs_ + flightMs_; }

CameraState Globe::camera() const {
  const std::uint64_t now = desktop_.clock().NowMs();
  if (flightMs_ == 0 || now >= flightStartMs_ + flightMs_) return to_;
  double t = static_cast<double>(now - flightStartMs_) / static_cast<double>(flightMs_);
  t = t * t * (3 - 2 * t);  // ease in and out
  CameraState c = to_;
  c.focusLatitude = Lerp(from_.focusLatitude, to_.focusLatitude, t);
  c.focusLongitude = LerpLongitude(from_.focusLongitude, to_.focusLongitude, t);
  // Range through a log scale, so that a long flight climbs and comes down smoothly.
  c.range = std::exp(Lerp(std::log(std::max(from_.range, 1.0)), std::log(std::max(to_.range, 1.0)), t));
  c.tilt = Lerp(from_.tilt, to_.tilt, t);
  c.azimuth = Lerp(from_.azimuth, to_.azimuth, t);
  return c;
}

std::shared_ptr<automation::ICameraInfoGE> Globe::GetCamera(int considerTerrain) {
  CameraState s = camera();
  if (considerTerrain != 0) s.focusAltitude = GroundHeight(s.focusLongitude, s.focusLatitude);
  return std::make_shared<CameraInfo>(s);
}

void Globe::CameraMoved(const CameraState& from, const CameraState& to) {
  // Streaming after a move takes longer the further the view went.
  const Vec3 a = ToCartesian(from.focusLatitude, from.focusLongitude, 0);
  const Vec3 b = ToCartesian(to.focusLatitude, to.focusLongitude, 0);
  const double km = (a - b).length() / 1000.0 + std::fabs(std::log((to.range + 1) / (from.range + 1))) * 5;
  streamMs_ = static_cast<std::uint64_t>(std::clamp(100.0 + 40.0 * std::log1p(km), 100.0, 1500.0));
}

void Globe::SetCamera(const automation::ICameraInfoGE& camera, double speed) {
  if (!(speed > 0)) throw automation::AutomationError("SetCamera: the speed must be above 0");
  CameraState s;
  s.focusLatitude = std::clamp(camera.get_FocusPointLatitude(), -90.0, 90.0);
  double lon = std::fmod(camera.get_FocusPointLongitude() + 180.0, 360.0);
  if (lon < 0) lon += 360.0;
  s.focusLongitude = lon - 180.0;
  s.focusAltitude = camera.get_FocusPointAltitude();
  s.altitudeMode = camera.get_FocusPointAltitudeMode();
  s.range = std::clamp(camera.get_Range(), 1.0, 1e9);
  s.tilt = std::clamp(camera.get_Tilt(), 0.0, 90.0);
  s.azimuth = camera.get_Azimuth();
  if (!std::isfinite(s.focusLatitude) || !std::isfinite(s.focusLongitude) ||
      !std::isfinite(s.range) || !std::isfinite(s.tilt) || !std::isfinite(s.azimuth))
    throw automation::AutomationError("SetCamera: the camera is not a valid position");
  const CameraState now = this->camera();
  Invalidate();
  CameraMoved(now, s);
  from_ = now;
  to_ = s;
  flightStartMs_ = desktop_.clock().NowMs();
  if (speed >= 5.0) {
    flightMs_ = 0;
  } else {
    // Slower speeds fly longer; further flights too.
    const Vec3 a = ToCartesian(now.focusLatitude, now.focusLongitude, 0);
    const Vec3 b = ToCartesian(s.focusLatitude, s.focusLongitude, 0);
    const double km = (a - b).length() / 1000.0;
    flightMs_ = static_cast<std::uint64_t>(std::clamp((400.0 + 300.0 * std::log1p(km)) / speed, 50.0, 30000.0));
  }
}

int Globe::get_StreamingProgressPercentage() {
  const std::uint64_t now = desktop_.clock().NowMs();
  const std::uint64_t stopped = flightStartMs_ + flightMs_;
  if (now < stopped) return 0;
  if (streamMs_ == 0) return 100;
  return static_cast<int>(std::min<std::uint64_t>(100, (now - stopped) * 100 / streamMs_));
}

void Globe::put_AutoPilotSpeed(double v) {
  if (!(v >= 0)) throw automation::AutomationError("AutoPilotSpeed must not be negative");
  autoPilotSpeed_ = v;
}

void Globe::put_ElevationExaggeration(double v) {
  if (!(v >= 0 && v <= 3)) {
    throw automation::AutomationError("ElevationExaggeration must be 0 to 3");
  }
  exaggeration_ = v;
  Invalidate();
}

// --- the view ---

double Globe::Aspect() const {
  RECT r{0, 0, 4, 3};
  if (desktop_.IsWindow(render_)) desktop_.GetClientRect(render_, &r);
  return r.height() > 0 ? static_cast<double>(r.width()) / r.height() : 1.0;
}

ViewFrame Globe::Frame() const {
  const CameraState c = camera();
  return ViewFrame(c, GroundHeight(c.focusLongitude, c.focusLatitude), Aspect());
}

std::shared_ptr<automation::IPointOnTerrainGE> Globe::GetPointOnTerrainFromScreenCoords(double x,
                                                                                       double y) {
  RequireWindow(render_, "GetPointOnTerrainFromScreenCoords");
  ++terrainQueries_;
  if (queryDelayMs_) desktop_.Sleep(queryDelayMs_);
  const bool flat = !terrainLayer_ || exaggeration_ == 0 || !terrain_;
  const double maxHeight = flat ? 0 : terrain_->MaxAbsHeight() * exaggeration_;
  const GroundPoint p = Frame().Cast(
      x, y, [&](double lon, double lat) { return flat ? 0.0 : GroundHeight(lon, lat); }, maxHeight,
      lastAltitude_);
  lastAltitude_ = p.alt;
  return std::make_shared<PointOnTerrain>(p);
}

std::shared_ptr<automation::IViewExtentsGE> Globe::get_ViewExtents() {
  RequireWindow(render_, "ViewExtents");
  const ViewFrame f = Frame();
  double n = -90, s = 90, e = -180, w = 180;
  constexpr int kSteps = 16;
  for (int k = 0; k <= 4 * kSteps; ++k) {
    const double t = -1 + 2.0 * (k % kSteps) / kSteps;
    const int side = k / kSteps;
    const double x = side == 0 ? t : side == 1 ? 1 : side == 2 ? -t : -1;
    const double y = side == 0 ? -1 : side == 1 ? t : side == 2 ? 1 : -t;
    const Vec3 dir = f.Ray(x, y);
    const auto hit = f.HitSphere(dir, 0);
    double lat, lon, h;
    ToGeographic(hit ? *hit : f.Horizon(dir), lat, lon, h);
    n = std::max(n, lat);
    s = std::min(s, lat);
    e = std::max(e, lon);
    w = std::min(w, lon);
  }
  return std::make_shared<ViewExtents>(std::clamp(n, -90.0, 90.0), std::clamp(s, -90.0, 90.0),
                                       std::clamp(e, -180.0, 180.0), std::clamp(w, -180.0, 180.0));
}

// --- navigation: drag pans, wheel zooms, Ctrl+drag tilts and turns,
// a double click flies in ---

LRESULT Globe::RenderProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    Paint();
    return 0;
  }
  const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  RECT view{0, 0, 1, 1};
  desktop_.GetClientRect(render_, &view);
  auto apply = [&](const CameraState& s, double speed) {
    CameraInfo c(s);
    SetCamera(c, speed);
  };
  switch (msg) {
    case WM_LBUTTONDOWN: {
      const std::uint64_t now = desktop_.clock().NowMs();
      if (now - drag_.lastDownMs < 500 && std::abs(p.x - drag_.lastDown.x) < 5 &&
          std::abs(p.y - drag_.lastDown.y) < 5) {
        // Double click: fly to the ground there, twice as close.
        const double x = 2.0 * p.x / std::max(view.width() - 1, 1) - 1;
        const double y = 1 - 2.0 * p.y / std::max(view.height() - 1, 1);
        auto ground = GetPointOnTerrainFromScreenCoords(x, y);
        CameraState s = camera();
        s.focusLatitude = ground->get_Latitude();
        s.focusLongitude = ground->get_Longitude();
        s.range = std::max(s.range / 2, 10.0);
        apply(s, 1.0);
        drag_.lastDownMs = 0;
        return 0;
      }
      drag_.lastDownMs = now;
      drag_.lastDown = p;
      drag_.active = true;
      drag_.turning = (wp & MK_CONTROL) != 0;
      drag_.start = p;
      drag_.camera = camera();
      desktop_.SetCapture(render_);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!drag_.active) return 0;
      const double dx = p.x - drag_.start.x, dy = p.y - drag_.start.y;
      CameraState s = drag_.camera;
      if (drag_.turning) {
        s.azimuth = std::fmod(drag_.camera.azimuth - dx * 0.3 + 360.0, 360.0);
        s.tilt = std::clamp(drag_.camera.tilt - dy * 0.2, 0.0, 90.0);
      } else {
        // The ground follows the pointer: metres per pixel at the focus.
        const double metresPerPixel = 2 * s.range * std::tan(kVerticalFovDeg * kDeg / 2) / std::max(view.height(), 1);
        const double az = s.azimuth * kDeg;
        const double east = -(dx * std::cos(az) + dy * std::sin(az)) * metresPerPixel;
        const double north = (dy * std::cos(az) - dx * std::sin(az)) * metresPerPixel;
        s.focusLatitude = std::clamp(s.focusLatitude + north / (kEarthRadius * kDeg), -89.9, 89.9);
        s.focusLongitude += east / (kEarthRadius * kDeg * std::max(std::cos(s.focusLatitude * kDeg), 0.01));
      }
      apply(s, 5.0);
      return 0;
    }
    case WM_LBUTTONUP:
      if (drag_.active) {
        drag_.active = false;
        desktop_.ReleaseCapture();
      }
      return 0;
    case WM_MOUSEWHEEL: {
      const int delta = static_cast<std::int16_t>(HIWORD(wp));
      CameraState s = camera();
      s.range = std::clamp(s.range * std::pow(0.8, delta / static_cast<double>(WHEEL_DELTA)), 10.0, 5e7);
      apply(s, 5.0);
      return 0;
    }
    default:
      return 0;
  }
}

// --- places ---

void Globe::OpenKmlFile(const std::string& fileName, int /*suppressMessages*/) {
  openRequests_.push_back(fileName);
  KmlLoadResult r = LoadKmlFile(fileName);
  if (!r.root) throw automation::AutomationError("OpenKmlFile: " + fileName + ": " + r.error);
  temporaryPlaces_->ReplaceOrAddBySource(r.root);
  Invalidate();
}

void Globe::LoadKmlData(const std::string& kmlData) {
  KmlLoadResult r = LoadKmlText(kmlData);
  if (!r.root) throw automation::AutomationError("LoadKmlData: " + r.error);
  temporaryPlaces_->AddChild(r.root);
  Invalidate();
}

}  // namespace altimar::earth
