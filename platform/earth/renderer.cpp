#include "platform/earth/renderer.h"

#include <algorithm>
#include <cmath>

namespace altimar::earth {

using win::Pixel;

namespace {

constexpr int kCoarse = 8;        // view positions are cast every 8 pixels and interpolated
constexpr int kRasterSide = 256;  // heights over the visible ground

Pixel Rgb(double r, double g, double b) {
  auto c = [](double v) { return static_cast<Pixel>(std::clamp(v, 0.0, 255.0)); };
  return c(r) << 16 | c(g) << 8 | c(b);
}

// Hypsometric tints: sea by depth, then lowland green to rock and snow.
void Tint(double h, double& r, double& g, double& b) {
  if (h <= 0) {
    const double t = std::clamp(-h / 4000.0, 0.0, 1.0);
    r = 70 - 50 * t;
    g = 130 - 80 * t;
    b = 200 - 80 * t;
    return;
  }
  struct Stop {
    double h, r, g, b;
  };
  static const Stop kStops[] = {{0, 80, 150, 80},     {300, 120, 170, 90},  {800, 190, 190, 120},
                                {1500, 170, 140, 100}, {2500, 140, 130, 125}, {3300, 235, 235, 240},
                                {9000, 255, 255, 255}};
  for (std::size_t k = 1; k < std::size(kStops); ++k) {
    if (h <= kStops[k].h) {
      const Stop &a = kStops[k - 1], &z = kStops[k];
      const double t = (h - a.h) / (z.h - a.h);
      r = a.r + (z.r - a.r) * t;
      g = a.g + (z.g - a.g) * t;
      b = a.b + (z.b - a.b) * t;
      return;
    }
  }
  r = g = b = 255;
}

void Blend(win::Surface& s, int x, int y, std::uint32_t kml) {
  if (!s.Inside(x, y)) return;
  const unsigned a = kml >> 24;
  const Pixel src = (kml & 0xFF) << 16 | ((kml >> 8) & 0xFF) << 8 | ((kml >> 16) & 0xFF);
  if (a == 255) {
    s.at(x, y) = src;
    return;
  }
  Pixel& d = s.at(x, y);
  auto mix = [&](int sh) { return ((((src >> sh) & 0xFF) * a + ((d >> sh) & 0xFF) * (255 - a)) / 255) << sh; };
  d = mix(16) | mix(8) | mix(0);
}

void Line(win::Surface& s, ScreenPoint a, ScreenPoint b, double width, std::uint32_t color) {
  const int w = std::max(1, static_cast<int>(std::lround(width)));
  const double dx = b.x - a.x, dy = b.y - a.y;
  const int steps = std::max(1, static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy)))));
  if (steps > 20000) return;  // a segment far off screen
  for (int k = 0; k <= steps; ++k) {
    const int x = static_cast<int>(std::lround(a.x + dx * k / steps)) - (w - 1) / 2;
    const int y = static_cast<int>(std::lround(a.y + dy * k / steps)) - (w - 1) / 2;
    for (int j = 0; j < w; ++j)
      for (int i = 0; i < w; ++i) Blend(s, x + i, y + j, color);
  }
}

// Fills rings (outer and holes, even-odd) with a colour, scan line by scan line.
void FillRings(win::Surface& s, const std::vector<std::vector<ScreenPoint>>& rings, std::uint32_t color) {
  double top = 1e9, bottom = -1e9;
  for (const auto& r : rings)
    for (const auto& p : r) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
  const int y0 = std::max(0, static_cast<int>(std::ceil(top - 0.5)));
  const int y1 = std::min(s.height() - 1, static_cast<int>(std::floor(bottom - 0.5)));
  std::vector<double> xs;
  for (int y = y0; y <= y1; ++y) {
    const double sy = y + 0.5;
    xs.clear();
    for (const auto& r : rings)
      for (std::size_t k = 0; k + 1 < r.size() + 1 && r.size() > 1; ++k) {
        const ScreenPoint& a = r[k];
        const ScreenPoint& b = r[(k + 1) % r.size()];
        if ((a.y <= sy) != (b.y <= sy)) xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
      }
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      const int xa = std::max(0, static_cast<int>(std::ceil(xs[k] - 0.5)));
      const int xb = std::min(s.width() - 1, static_cast<int>(std::floor(xs[k + 1] - 0.5)));
      for (int x = xa; x <= xb; ++x) Blend(s, x, y, color);
    }
  }
}

}  // namespace

double Renderer::Raster::Sample(double lon, double lat) const {
  if (flat || n < 2) return 0;
  const double fx = std::clamp((lon - west) / (east - west) * (n - 1), 0.0, n - 1.0);
  const double fy = std::clamp((lat - south) / (north - south) * (n - 1), 0.0, n - 1.0);
  const int i = std::min(static_cast<int>(fx), n - 2), j = std::min(static_cast<int>(fy), n - 2);
  const double tx = fx - i, ty = fy - j;
  auto at = [&](int a, int b) { return static_cast<double>(h[static_cast<std::size_t>(b * n + a)]); };
  return (at(i, j) * (1 - tx) + at(i + 1, j) * tx) * (1 - ty) +
         (at(i, j + 1) * (1 - tx) + at(i + 1, j + 1) * tx) * ty;
}

// Colours each raster cell once: tint by height, hillshade from its
// neighbours (light from the north-west, 45 degrees up; flat ground keeps
// its tint).
void Renderer::Raster::Shade() {
  rgb.assign(static_cast<std::size_t>(n * n * 3), 0.0f);
  const double stepX = (east - west) / (n - 1) * kDeg * kEarthRadius * std::cos((south + north) / 2 * kDeg);
  const double stepY = (north - south) / (n - 1) * kDeg * kEarthRadius;
  auto at = [&](int i, int j) {
    i = std::clamp(i, 0, n - 1);
    j = std::clamp(j, 0, n - 1);
    return static_cast<double>(h[static_cast<std::size_t>(j * n + i)]);
  };
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const double hgt = at(i, j);
      double r, g, b;
      Tint(hgt, r, g, b);
      if (hgt > 0) {
        const double gx = (at(i + 1, j) - at(i - 1, j)) / (2 * stepX);
        const double gy = (at(i, j + 1) - at(i, j - 1)) / (2 * stepY);
        const double shade =
            std::clamp((gx - gy + 1.41421356) / (1.41421356 * std::sqrt(1 + gx * gx + gy * gy)), 0.35, 1.3);
        r *= shade;
        g *= shade;
        b *= shade;
      }
      float* c = &rgb[static_cast<std::size_t>((j * n + i) * 3)];
      c[0] = static_cast<float>(r);
      c[1] = static_cast<float>(g);
      c[2] = static_cast<float>(b);
    }
}

std::optional<ScreenPoint> Renderer::Project(const ViewFrame& frame, double groundHeight, double lat,
                                             double lon, int width, int height) {
  const Vec3 p = ToCartesian(lat, lon, groundHeight);
  if ((frame.eye() - p).dot(p) < 0) return std::nullopt;  // on the far side of the globe
  double x, y;
  if (!frame.Project(p, x, y)) return std::nullopt;
  // Pixel centres: x = -1 is the middle of the first column, 1 of the last.
  return ScreenPoint{(x + 1) / 2 * (width - 1), (1 - y) / 2 * (height - 1)};
}

void Renderer::Terrain(const ViewFrame& frame, double groundHeight, const HeightField* heights,
                       win::Surface& out) {
  const int w = out.width(), h = out.height();
  const int cw = w / kCoarse + 2, ch = h / kCoarse + 2;
  // Ground under every eighth pixel, on the sphere at the focus height.
  std::vector<double> lat(static_cast<std::size_t>(cw * ch)), lon(lat.size());
  std::vector<std::uint8_t> hit(lat.size());
  double west = 1e9, east = -1e9, south = 1e9, north = -1e9;
  for (int j = 0; j < ch; ++j)
    for (int i = 0; i < cw; ++i) {
      const double x = 2.0 * i * kCoarse / std::max(w - 1, 1) - 1;
      const double y = 1 - 2.0 * j * kCoarse / std::max(h - 1, 1);
      const auto p = frame.HitSphere(frame.RayThrough(x, y), groundHeight);
      const std::size_t k = static_cast<std::size_t>(j * cw + i);
      hit[k] = p.has_value();
      if (!p) continue;
      double la, lo, hh;
      ToGeographic(*p, la, lo, hh);
      lat[k] = la;
      lon[k] = lo;
      west = std::min(west, lo);
      east = std::max(east, lo);
      south = std::min(south, la);
      north = std::max(north, la);
    }
  // The height raster over what is visible, kept while the camera stays.
  const bool sameView = raster_.n > 0 && (raster_.eye - frame.eye()).length() < 1e-6 &&
                        raster_.width == w && raster_.height == h && raster_.flat == (heights == nullptr);
  if (!sameView) {
    raster_ = Raster{};
    raster_.eye = frame.eye();
    raster_.width = w;
    raster_.height = h;
    raster_.flat = heights == nullptr || west > east;
    if (!raster_.flat) {
      raster_.west = west;
      raster_.east = std::max(east, west + 1e-9);
      raster_.south = south;
      raster_.north = std::max(north, south + 1e-9);
      raster_.n = kRasterSide;
      raster_.h.resize(static_cast<std::size_t>(kRasterSide * kRasterSide));
      for (int j = 0; j < kRasterSide; ++j)
        for (int i = 0; i < kRasterSide; ++i)
          raster_.h[static_cast<std::size_t>(j * kRasterSide + i)] = static_cast<float>((*heights)(
              raster_.west + (raster_.east - raster_.west) * i / (kRasterSide - 1),
              raster_.south + (raster_.north - raster_.south) * j / (kRasterSide - 1)));
    }
  }
  if (!sameView && !raster_.flat) raster_.Shade();
  double seaR, seaG, seaB;
  Tint(0, seaR, seaG, seaB);
  const int n = raster_.n;
  for (int y = 0; y < h; ++y) {
    const int j = y / kCoarse;
    const double ty = (y - j * kCoarse) / static_cast<double>(kCoarse);
    win::Pixel* row = out.row(y);
    for (int x = 0; x < w; ++x) {
      const int i = x / kCoarse;
      const double tx = (x - i * kCoarse) / static_cast<double>(kCoarse);
      const std::size_t k00 = static_cast<std::size_t>(j * cw + i), k10 = k00 + 1,
                        k01 = k00 + static_cast<std::size_t>(cw), k11 = k01 + 1;
      if (!(hit[k00] && hit[k10] && hit[k01] && hit[k11])) {
        // Sky: lighter towards the horizon.
        row[x] = Rgb(90 + 60 * y / h, 140 + 60 * y / h, 220);
        continue;
      }
      if (raster_.flat) {
        row[x] = Rgb(seaR, seaG, seaB);
        continue;
      }
      const double la = (lat[k00] * (1 - tx) + lat[k10] * tx) * (1 - ty) + (lat[k01] * (1 - tx) + lat[k11] * tx) * ty;
      const double lo = (lon[k00] * (1 - tx) + lon[k10] * tx) * (1 - ty) + (lon[k01] * (1 - tx) + lon[k11] * tx) * ty;
      // The shaded colour, bilinear between raster cells.
      const double fx = std::clamp((lo - raster_.west) / (raster_.east - raster_.west) * (n - 1), 0.0, n - 1.0);
      const double fy = std::clamp((la - raster_.south) / (raster_.north - raster_.south) * (n - 1), 0.0, n - 1.0);
      const int ci = std::min(static_cast<int>(fx), n - 2), cj = std::min(static_cast<int>(fy), n - 2);
      const float ax = static_cast<float>(fx - ci), ay = static_cast<float>(fy - cj);
      const float* c00 = &raster_.rgb[static_cast<std::size_t>((cj * n + ci) * 3)];
      const float* c10 = c00 + 3;
      const float* c01 = c00 + static_cast<std::size_t>(n * 3);
      const float* c11 = c01 + 3;
      float c[3];
      for (int q = 0; q < 3; ++q)
        c[q] = (c00[q] * (1 - ax) + c10[q] * ax) * (1 - ay) + (c01[q] * (1 - ax) + c11[q] * ax) * ay;
      row[x] = Rgb(c[0], c[1], c[2]);
    }
  }
}

void Renderer::Places(const ViewFrame& frame, double groundHeight, const Feature& f,
                      win::Surface& out) {
  if (f.get_Visibility() == 0) return;
  if (f.geometryCount() != 0) {
    const KmlStyle style = f.ResolveStyle();
    auto project = [&](const GeoPoint& p) {
      return Project(frame, groundHeight, p.lat, p.lon, out.width(), out.height());
    };
    auto polyline = [&](const PointRange& pts, std::uint32_t color, double width) {
      std::optional<ScreenPoint> previous;
      bool first = true;
      pts.ForEach([&](const GeoPoint& p) {
        const auto q = project(p);
        if (!first && previous && q) Line(out, *previous, *q, width, color);
        previous = q;
        first = false;
      });
    };
    for (std::size_t k = 0; k < f.geometryCount(); ++k) {
      const GeometryView g = f.geometry(k);
      switch (g.kind()) {
        case GeometryKind::Point:
          if (!g.coords().empty())
            if (const auto p = project(g.coords()[0])) {
              for (int j = -2; j <= 2; ++j)
                for (int i = -2; i <= 2; ++i)
                  Blend(out, static_cast<int>(p->x) + i, static_cast<int>(p->y) + j, style.iconColor);
              const std::string name = f.get_Name();
              if (fonts_ && !name.empty() && (style.labelColor >> 24) != 0) {
                win::LOGFONTA font;
                font.lfHeight = -12;
                font.lfWeight = win::FW_BOLD;
                const std::uint32_t c = style.labelColor;
                const win::Pixel colour = (c & 0xFF) << 16 | ((c >> 8) & 0xFF) << 8 | ((c >> 16) & 0xFF);
                fonts_->Draw(font, name, static_cast<int>(p->x) + 5, static_cast<int>(p->y) - 7, colour,
                             out, {0, 0, out.width(), out.height()});
              }
            }
          break;
        case GeometryKind::Polygon:
          if (style.fill && (style.polyColor >> 24) != 0) {
            std::vector<std::vector<ScreenPoint>> rings;
            bool visible = true;
            auto ring = [&](const PointRange& pts) {
              std::vector<ScreenPoint> r;
              pts.ForEach([&](const GeoPoint& p) {
                const auto q = project(p);
                if (!q) visible = false;
                else r.push_back(*q);
              });
              rings.push_back(std::move(r));
            };
            ring(g.coords());
            for (std::size_t h = 0; h < g.holeCount(); ++h) ring(g.hole(h));
            if (visible) FillRings(out, rings, style.polyColor);
          }
          if (style.outline) {
            polyline(g.coords(), style.lineColor, style.lineWidth);
            for (std::size_t h = 0; h < g.holeCount(); ++h) polyline(g.hole(h), style.lineColor, style.lineWidth);
          }
          break;
        default:
          polyline(g.coords(), style.lineColor, style.lineWidth);
          break;
      }
    }
  }
  for (const auto& c : f.children()) Places(frame, groundHeight, *c, out);
}

void Renderer::Render(const ViewFrame& frame, double groundHeight, const HeightField* heights,
                      const std::vector<std::shared_ptr<Feature>>& documents, win::Surface& out,
                      win::FontEngine* fonts) {
  if (out.width() <= 0 || out.height() <= 0) return;
  fonts_ = fonts;
  Terrain(frame, groundHeight, heights, out);
  for (const auto& doc : documents) Places(frame, groundHeight, *doc, out);
}

}  // namespace altimar::earth
