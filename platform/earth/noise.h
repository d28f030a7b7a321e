// Deterministic 3D gradient noise (improved Perlin), hashed lattice with no
// period, for the procedural terrain.
#pragma once

#include <cstdint>

namespace altimar::earth {

// Noise in about [-1, 1] at (x, y, z); seed picks an independent field.
double GradientNoise(double x, double y, double z, std::uint32_t seed);

}  // namespace altimar::earth
