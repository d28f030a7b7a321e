#include "platform/earth/noise.h"

#include <cmath>

namespace altimar::earth {
namespace {

inline std::uint32_t Mix(std::uint64_t h) {
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ULL;
  h ^= h >> 32;
  return static_cast<std::uint32_t>(h);
}

// The twelve edge directions of a cube, four of them twice (improved Perlin noise).
struct G {
  double x, y, z;
};
constexpr G kGrad[16] = {{1, 1, 0},  {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {1, 0, 1},  {-1, 0, 1},
                         {1, 0, -1}, {-1, 0, -1}, {0, 1, 1},  {0, -1, 1}, {0, 1, -1}, {0, -1, -1},
                         {1, 1, 0},  {0, -1, 1}, {-1, 1, 0}, {0, -1, -1}};

inline double Dot(std::uint32_t h, double x, double y, double z) {
  const G& g = kGrad[h & 15u];
  return g.x * x + g.y * y + g.z * z;
}

// floor() as an integer without the library call (inputs stay far inside int64).
inline std::int64_t FloorToInt(double v) {
  const auto i = static_cast<std::int64_t>(v);
  return v < static_cast<double>(i) ? i - 1 : i;
}

inline double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
inline double Lerp(double t, double a, double b) { return a + t * (b - a); }

}  // namespace

double GradientNoise(double x, double y, double z, std::uint32_t seed) {
  const std::int64_t ix = FloorToInt(x), iy = FloorToInt(y), iz = FloorToInt(z);
  const double fx = static_cast<double>(ix), fy = static_cast<double>(iy),
               fz = static_cast<double>(iz);
  const auto X = static_cast<std::uint64_t>(ix), Y = static_cast<std::uint64_t>(iy),
             Z = static_cast<std::uint64_t>(iz);
  x -= fx;
  y -= fy;
  z -= fz;
  // Lattice hash: per-axis products combined, then mixed per corner.
  const std::uint64_t s = seed * 0x27D4EB2F165667C5ULL;
  const std::uint64_t x0 = X * 0x9E3779B185EBCA87ULL ^ s, x1 = (X + 1) * 0x9E3779B185EBCA87ULL ^ s;
  const std::uint64_t y0 = Y * 0xC2B2AE3D27D4EB4FULL, y1 = (Y + 1) * 0xC2B2AE3D27D4EB4FULL;
  const std::uint64_t z0 = Z * 0x165667B19E3779F9ULL, z1 = (Z + 1) * 0x165667B19E3779F9ULL;
  const double u = Fade(x), v = Fade(y), w = Fade(z);
  const double n000 = Dot(Mix(x0 ^ y0 ^ z0), x, y, z);
  const double n100 = Dot(Mix(x1 ^ y0 ^ z0), x - 1, y, z);
  const double n010 = Dot(Mix(x0 ^ y1 ^ z0), x, y - 1, z);
  const double n110 = Dot(Mix(x1 ^ y1 ^ z0), x - 1, y - 1, z);
  const double n001 = Dot(Mix(x0 ^ y0 ^ z1), x, y, z - 1);
  const double n101 = Dot(Mix(x1 ^ y0 ^ z1), x - 1, y, z - 1);
  const double n011 = Dot(Mix(x0 ^ y1 ^ z1), x, y - 1, z - 1);
  const double n111 = Dot(Mix(x1 ^ y1 ^ z1), x - 1, y - 1, z - 1);
  return Lerp(w, Lerp(v, Lerp(u, n000, n100), Lerp(u, n010, n110)),
              Lerp(v, Lerp(u, n001, n101), Lerp(u, n011, n111)));
}

}  // namespace altimar::earth
