// The program's pseudo-random generator: uniform numbers in [0, 1) in single
// precision, seeded from the clock at program start. Tests inject their own.
#pragma once

#include <cstdint>

namespace altimar::runtime {

class Random {
 public:
  virtual ~Random() = default;
  // Next number in [0, 1).
  virtual float NextSingle() = 0;
  // Skips n numbers, as if NextSingle had been called n times.
  virtual void Discard(std::uint64_t n) = 0;
  // Starts a new sequence from a seed (the timer, for Randomize); a
  // scripted generator keeps its script.
  virtual void Randomize(std::uint64_t seed) { (void)seed; }
};

// PCG32 (O'Neill): small, fast, statistically sound, and able to jump ahead.
class Pcg32 final : public Random {
 public:
  explicit Pcg32(std::uint64_t seed);
  // Seeded from the clock (nanoseconds since the epoch).
  static Pcg32 FromClock();

  float NextSingle() override;
  void Discard(std::uint64_t n) override;
  void Randomize(std::uint64_t seed) override { *this = Pcg32(seed); }
  std::uint32_t NextU32();

 private:
  std::uint64_t state_ = 0;
};

}  // namespace altimar::runtime
