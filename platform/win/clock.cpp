#include "platform/win/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <time.h>
#include <thread>

namespace altimar::win {
namespace {
// The tick count needs no more than a few milliseconds' resolution (the
// system's own is 10 to 16 ms); the coarse clock reads several times faster,
// which keeps DoEvents cheap when a timer exists.
std::int64_t SteadyNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
}  // namespace

Clock::Clock(Kind kind) : kind_(kind), realStartNs_(SteadyNs()) {
  if (kind_ == Kind::Real) {
    // The local time of day at the start; later readings add the monotonic
    // time since (a local-time conversion per reading would cost a
    // microsecond, and the samplers read the clock twice a node).
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto sub = std::chrono::duration<double>(now - std::chrono::system_clock::from_time_t(t));
    realMidnightOffset_ = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + sub.count();
    realStartPreciseNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
  }
}

std::uint64_t Clock::NowMs() const {
  if (kind_ == Kind::Virtual) return virtualMs_;
  return static_cast<std::uint64_t>((SteadyNs() - realStartNs_) / 1000000);
}

double Clock::SecondsSinceMidnight() const {
  if (kind_ == Kind::Virtual) {
    double s = virtualMidnightOffset_ + static_cast<double>(virtualMs_) / 1000.0;
    return s - 86400.0 * static_cast<double>(static_cast<std::uint64_t>(s / 86400.0));
  }
  const std::int64_t ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count() -
                         realStartPreciseNs_;
  const double s = realMidnightOffset_ + static_cast<double>(ns) / 1e9;
  return s - 86400.0 * std::floor(s / 86400.0);
}

void Clock::Sleep(std::uint32_t ms) {
  if (kind_ == Kind::Virtual) {
    virtualMs_ += ms;
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Clock::Advance(std::uint64_t ms) {
  if (kind_ == Kind::Virtual) virtualMs_ += ms;
}

}  // namespace altimar::win
