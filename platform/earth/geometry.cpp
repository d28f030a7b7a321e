#include "platform/earth/geometry.h"

#include <algorithm>

namespace altimar::earth {

Vec3 ToCartesian(double lat, double lon, double height) {
  const double r = kEarthRadius + height, la = lat * kDeg, lo = lon * kDeg;
  return {r * std::cos(la) * std::cos(lo), r * std::cos(la) * std::sin(lo), r * std::sin(la)};
}

void ToGeographic(const Vec3& p, double& lat, double& lon, double& height) {
  const double r = p.length();
  lat = std::asin(std::clamp(p.z / r, -1.0, 1.0)) / kDeg;
  lon = std::atan2(p.y, p.x) / kDeg;
  height = r - kEarthRadius;
}

ViewFrame::ViewFrame(const CameraState& c, double focusHeight, double aspect) {
  const double la = c.focusLatitude * kDeg, lo = c.focusLongitude * kDeg;
  const Vec3 up{std::cos(la) * std::cos(lo), std::cos(la) * std::sin(lo), std::sin(la)};
  const Vec3 east{-std::sin(lo), std::cos(lo), 0};
  const Vec3 north = up.cross(east);
  const double az = c.azimuth * kDeg, tilt = std::clamp(c.tilt, 0.0, 90.0) * kDeg;
  const Vec3 heading = north * std::cos(az) + east * std::sin(az);
  const Vec3 focus = ToCartesian(c.focusLatitude, c.focusLongitude, focusHeight);
  eye_ = focus + (up * std::cos(tilt) - heading * std::sin(tilt)) * std::max(c.range, 1.0);
  forward_ = (focus - eye_).unit();
  up_ = (heading * std::cos(tilt) + up * std::sin(tilt)).unit();
  right_ = forward_.cross(up_).unit();
  tanV_ = std::tan(kVerticalFovDeg * kDeg / 2);
  tanH_ = tanV_ * std::max(aspect, 1e-6);
}

Vec3 ViewFrame::Ray(double x, double y) const {
  return RayThrough(std::clamp(x, -1.0, 1.0), std::clamp(y, -1.0, 1.0));
}

bool ViewFrame::Project(const Vec3& p, double& x, double& y) const {
  const Vec3 v = p - eye_;
  const double z = v.dot(forward_);
  if (z <= 0) return false;
  x = v.dot(right_) / z / tanH_;
  y = v.dot(up_) / z / tanV_;
  return true;
}

std::optional<Vec3> ViewFrame::HitSphere(const Vec3& dir, double height) const {
  const double r = kEarthRadius + height;
  const double b = eye_.dot(dir), c = eye_.dot(eye_) - r * r;
  const double disc = b * b - c;
  if (disc < 0) return std::nullopt;
  const double t = -b - std::sqrt(disc);
  if (t < 0) return std::nullopt;
  return eye_ + dir * t;
}

Vec3 ViewFrame::Horizon(const Vec3& dir) const {
  // The point of the sphere where a line from the eye, in the plane of the
  // ray and the Earth's centre, just touches it.
  const double d = eye_.length();
  const Vec3 toCentre = eye_ * (-1.0 / d);
  Vec3 side = dir - toCentre * dir.dot(toCentre);
  if (side.length() < 1e-12) side = right_;
  side = side.unit();
  const double angle = std::acos(std::clamp(kEarthRadius / d, -1.0, 1.0));
  // From the centre: towards the eye, turned by the angle towards the ray.
  const Vec3 out = (eye_ * (1.0 / d)) * std::cos(angle) + side * std::sin(angle);
  return out * kEarthRadius;
}

GroundPoint ViewFrame::Cast(double x, double y, const HeightField& heights, double maxHeight,
                            double hint) const {
  const Vec3 dir = Ray(x, y);
  GroundPoint g;
  auto aboveGround = [&](double t, GroundPoint& at) {
    double lat, lon, h;
    ToGeographic(eye_ + dir * t, lat, lon, h);
    at.lat = lat;
    at.lon = lon;
    at.alt = heights(lon, lat);
    return h - at.alt;
  };
  // From where the ray enters the shell that holds all terrain, march in
  // steps as long as the height above the ground (the ray descends no
  // faster than that over flat ground), then refine between the last point
  // above and the first below.
  const double shell = std::max(maxHeight, 0.0) + 1.0;
  const bool inside = eye_.length() <= kEarthRadius + shell;  // the eye is among the mountains
  const auto top = HitSphere(dir, shell);
  const auto bottom = HitSphere(dir, std::min(0.0, -maxHeight) - 1.0);
  if (!top && !inside) {
    ToGeographic(Horizon(dir), g.lat, g.lon, g.alt);
    g.alt = 0;
    return g;
  }
  double t0 = inside ? 0.0 : (*top - eye_).length();
  // First try: secant steps from where the ray meets the hinted height,
  // starting as if the ground were flat. Near the hint this takes two or
  // three heights; anything odd falls back to the march below.
  if (const auto guess = HitSphere(dir, std::clamp(hint, -maxHeight, maxHeight))) {
    const double climb = -dir.dot((*guess).unit());  // how fast the ray descends per metre
    double ta = (*guess - eye_).length();
    GroundPoint pa;
    double fa = aboveGround(ta, pa);
    if (std::fabs(fa) < 1e-3) return pa;
    if (climb > 0.05) {
      double tb = ta + fa / climb;
      for (int it = 0; it < 8; ++it) {
        if (!(tb > t0 - 1 && tb < t0 + 1e7)) break;
        GroundPoint pb;
        const double fb = aboveGround(tb, pb);
        if (std::fabs(fb) < 1e-3) return pb;
        if (fb == fa) break;
        const double tn = tb - fb * (tb - ta) / (fb - fa);
        ta = tb;
        fa = fb;
        tb = tn;
      }
    }
  }
  const double tEnd = bottom ? (*bottom - eye_).length() : t0 + 4 * (maxHeight + 1000) / std::max(1e-3, -dir.dot(eye_.unit()));
  GroundPoint at;
  double f0 = aboveGround(t0, at);
  if (f0 <= 0) return at;
  for (int k = 0; k < 10000 && t0 < tEnd; ++k) {
    const double step = std::max(f0, 0.05);
    const double t1 = std::min(t0 + step, tEnd);
    GroundPoint next;
    const double f1 = aboveGround(t1, next);
    if (f1 <= 0) {
      // Between t0 (above) and t1 (below): regula falsi, Illinois variant.
      double a = t0, fa = f0, b = t1, fb = f1;
      int side = 0;
      GroundPoint best = next;
      for (int it = 0; it < 60 && b - a > 1e-4; ++it) {
        const double t = b - fb * (b - a) / (fb - fa);
        const double ft = aboveGround(t, best);
        if (std::fabs(ft) < 1e-4) break;
        if (ft > 0) {
          a = t;
          fa = ft;
          if (side == 1) fb /= 2;
          side = 1;
        } else {
          b = t;
          fb = ft;
          if (side == -1) fa /= 2;
          side = -1;
        }
      }
      return best;
    }
    t0 = t1;
    f0 = f1;
  }
  // Grazing past all terrain: the horizon.
  ToGeographic(Horizon(dir), g.lat, g.lon, g.alt);
  g.alt = 0;
  return g;
}

}  // namespace altimar::earth
