#include "platform/runtime/random.h"

#include <chrono>

namespace altimar::runtime {
namespace {
constexpr std::uint64_t kMul = 6364136223846793005ULL;
constexpr std::uint64_t kInc = 1442695040888963407ULL;
}  // namespace

Pcg32::Pcg32(std::uint64_t seed) {
  state_ = 0;
  NextU32();
  state_ += seed;
  NextU32();
}

Pcg32 Pcg32::FromClock() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  return Pcg32(static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

std::uint32_t Pcg32::NextU32() {
  const std::uint64_t old = state_;
  state_ = old * kMul + kInc;
  const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<std::uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}

float Pcg32::NextSingle() {
  // 24 random bits: every value is exact in single precision and below 1.
  return static_cast<float>(NextU32() >> 8) * (1.0f / 16777216.0f);
}

void Pcg32::Discard(std::uint64_t n) {
  // LCG jump-ahead in O(log n) (Brown, "Random number generation with
  // arbitrary strides").
  std::uint64_t curMul = kMul, curInc = kInc, accMul = 1, accInc = 0;
  while (n > 0) {
    if (n & 1) {
      accMul *= curMul;
      accInc = accInc * curMul + curInc;
    }
    curInc = (curMul + 1) * curInc;
    curMul *= curMul;
    n >>= 1;
  }
  state_ = accMul * state_ + accInc;
}

}  // namespace altimar::runtime
