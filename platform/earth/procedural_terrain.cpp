#include "platform/earth/procedural_terrain.h"

#include <algorithm>
#include <cmath>

#include "platform/earth/noise.h"

namespace altimar::earth {
namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

struct Vec3 {
  double x, y, z;
};

Vec3 UnitVector(double lon, double lat) {
  const double la = lat * kDegToRad, lo = lon * kDegToRad;
  const double c = std::cos(la);
  return {c * std::cos(lo), c * std::sin(lo), std::sin(la)};
}

// A smooth bump of height 1 at a place, falling off over radiusDeg degrees.
struct Bump {
  Vec3 centre;
  double invRadius2;  // 1 / radius^2, radius in radians
  double amount;
};

Bump MakeBump(double lat, double lon, double radiusDeg, double amount) {
  const double r = radiusDeg * kDegToRad;
  return {UnitVector(lon, lat), 1.0 / (r * r), amount};
}

double BumpSum(const Bump* bumps, int n, const Vec3& p) {
  double sum = 0;
  for (int i = 0; i < n; ++i) {
    const Bump& b = bumps[i];
    // Squared chord length ~ squared angle for nearby points.
    const double dx = p.x - b.centre.x, dy = p.y - b.centre.y, dz = p.z - b.centre.z;
    const double d2 = dx * dx + dy * dy + dz * dz;
    const double t = d2 * b.invRadius2;
    if (t < 16.0) sum += b.amount * std::exp(-t);
  }
  return sum;
}

double Fbm(const Vec3& p, double freq, int octaves, std::uint32_t seed) {
  double sum = 0, amp = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * GradientNoise(p.x * freq, p.y * freq, p.z * freq, seed + static_cast<unsigned>(i));
    norm += amp;
    amp *= 0.5;
    freq *= 2.03;
  }
  return sum / norm;
}

// Ridged multifractal (Musgrave): sharp crests, branching valleys. About [0, 1].
double Ridged(const Vec3& p, double freq, int octaves, std::uint32_t seed) {
  double signal = 1.0 - std::fabs(GradientNoise(p.x * freq, p.y * freq, p.z * freq, seed));
  signal *= signal;
  double result = signal, amp = 1.0, norm = 1.0;
  for (int i = 1; i < octaves; ++i) {
    freq *= 2.2;
    amp *= 0.5;
    const double weight = std::clamp(signal * 2.0, 0.0, 1.0);
    signal = 1.0 - std::fabs(GradientNoise(p.x * freq, p.y * freq, p.z * freq,
                                           seed + static_cast<unsigned>(i)));
    signal *= signal * weight;
    result += signal * amp;
    norm += amp;
  }
  return result / norm;
}

double SmoothStep(double e0, double e1, double x) {
  const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Land around the places the program flies to, sea where a test expects it.
const Bump kContinentBumps[] = {
    MakeBump(47.5, 10.5, 12.0, 0.8),    // central Europe
    MakeBump(48.0, 105.0, 14.0, 0.8),   // Mongolia
    MakeBump(20.5, -100.0, 8.0, 0.7),   // central Mexico
    MakeBump(10.0, 100.0, 4.0, -1.4),   // open sea
};
const Bump kMountainBumps[] = {
    MakeBump(47.1, 11.2, 3.0, 1.0),     // the Alps
    MakeBump(48.0, 105.0, 6.0, 0.6),    // Mongolian highlands
    MakeBump(20.5, -100.0, 3.0, 0.8),   // volcanic belt of Mexico
};

}  // namespace

double ProceduralTerrain::Height(double lon, double lat) {
  const Vec3 p = UnitVector(lon, lat);
  const double continent = 0.9 * Fbm(p, 1.7, 3, 11) - 0.05 + BumpSum(kContinentBumps, 4, p);
  if (continent < 0) {
    // Ocean: a shelf near the coast, then deep basins.
    const double depth = SmoothStep(0.0, 0.45, -continent);
    const double floor = 250.0 * Fbm(p, 90.0, 3, 41);
    return std::max(-4000.0, -4000.0 * depth + floor * depth);
  }
  const double coast = SmoothStep(0.0, 0.06, continent);
  double h = 420.0 * continent * coast + 180.0 * coast * (0.5 + 0.5 * Fbm(p, 500.0, 2, 51));
  const double mask =
      SmoothStep(0.15, 0.6, Fbm(p, 5.0, 2, 21) + BumpSum(kMountainBumps, 3, p)) * coast;
  if (mask > 0.001) {
    // Ridged noise rarely falls below 0.3: stretch it so valleys reach the base.
    const double r = std::max(0.0, Ridged(p, 110.0, 7, 31) - 0.3) / 0.7;
    h += mask * 3600.0 * r;
  }
  return std::min(h, 4800.0);
}

}  // namespace altimar::earth
