#include "platform/win/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace altimar::win {
namespace {
std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

Clock::Clock(Kind kind) : kind_(kind), realStartNs_(SteadyNs()) {}

std::uint64_t Clock::NowMs() const {
  if (kind_ == Kind::Virtual) return virtualMs_;
  return static_cast<std::uint64_t>((SteadyNs() - realStartNs_) / 1000000);
}

double Clock::SecondsSinceMidnight() const {
  if (kind_ == Kind::Virtual) {
    double s = virtualMidnightOffset_ + static_cast<double>(virtualMs_) / 1000.0;
    return s - 86400.0 * static_cast<double>(static_cast<std::uint64_t>(s / 86400.0));
  }
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto sub = std::chrono::duration<double>(now - std::chrono::system_clock::from_time_t(t));
  return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + sub.count();
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
