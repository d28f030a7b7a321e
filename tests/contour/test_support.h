// Small stand-ins the contour tests share: a scripted random generator and
// a progress bar that records what it was told.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "contour/progress_bar.h"
#include "platform/runtime/random.h"

namespace altimar::testing {

// Number n of the sequence is f(n); counts how many were drawn.
class ScriptedRandom final : public runtime::Random {
 public:
  explicit ScriptedRandom(std::function<float(std::uint64_t)> f) : f_(std::move(f)) {}
  float NextSingle() override { return f_(drawn_++); }
  void Discard(std::uint64_t n) override { drawn_ += n; }
  std::uint64_t drawn() const { return drawn_; }

 private:
  std::function<float(std::uint64_t)> f_;
  std::uint64_t drawn_ = 0;
};

// Labels every third segment: 0.01 is below 0.02, 0.5 is not.
inline float EveryThird(std::uint64_t n) { return n % 3 == 1 ? 0.01f : 0.5f; }

class RecordingBar final : public contour::PlainProgressBar {
 public:
  void SetValue(double v) override {
    values.push_back(v);
    PlainProgressBar::SetValue(v);
  }
  void SetVisible(bool v) override {
    visibility.push_back(v);
    PlainProgressBar::SetVisible(v);
  }
  std::vector<double> values;
  std::vector<bool> visibility;
};

}  // namespace altimar::testing
