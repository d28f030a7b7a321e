// The desktop's clock: real time, or virtual time for tests and scripted runs
// (a Sleep advances virtual time at once).
#pragma once

#include <cstdint>

namespace altimar::win {

class Clock {
 public:
  enum class Kind { Real, Virtual };
  explicit Clock(Kind kind);

  Kind kind() const { return kind_; }
  // Milliseconds since the clock started.
  std::uint64_t NowMs() const;
  // Seconds since local midnight, with fractions (the day's clock).
  double SecondsSinceMidnight() const;
  // Blocks (real) or advances (virtual) by ms milliseconds.
  void Sleep(std::uint32_t ms);
  // Virtual clocks only: moves time forward without sleeping.
  void Advance(std::uint64_t ms);

 private:
  Kind kind_;
  std::int64_t realStartNs_ = 0;
  std::uint64_t virtualMs_ = 0;
  double virtualMidnightOffset_ = 8 * 3600.0;  // a virtual day starts at 08:00
  double realMidnightOffset_ = 0;             // local time of day at the start
  std::int64_t realStartPreciseNs_ = 0;
};

}  // namespace altimar::win
