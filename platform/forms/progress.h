// What long work reports progress to: a progress bar's Visible, Min, Max
// and Value (ProgressBar1 of the workspace form, or a stand-in). The form
// runtime's ProgressBar control implements it.
#pragma once

#include <algorithm>

namespace altimar::forms {

class IProgressBar {
 public:
  virtual ~IProgressBar() = default;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool v) = 0;
  virtual double Min() const = 0;
  virtual void SetMin(double v) = 0;
  virtual double Max() const = 0;
  virtual void SetMax(double v) = 0;
  virtual double Value() const = 0;
  virtual void SetValue(double v) = 0;
};

// Writes v clamped into the bar's range (a bar refuses a value outside it).
inline void SetProgressValue(IProgressBar& bar, double v) {
  const double lo = bar.Min(), hi = bar.Max();
  bar.SetValue(std::clamp(v, std::min(lo, hi), std::max(lo, hi)));
}

// A bar with nothing behind it: it holds its properties (what a program
// without a workspace form reports to, and what tests read).
class PlainProgressBar : public IProgressBar {
 public:
  bool Visible() const override { return visible_; }
  void SetVisible(bool v) override { visible_ = v; }
  double Min() const override { return min_; }
  void SetMin(double v) override { min_ = v; }
  double Max() const override { return max_; }
  void SetMax(double v) override { max_ = v; }
  double Value() const override { return value_; }
  void SetValue(double v) override { value_ = v; }

 private:
  bool visible_ = false;
  double min_ = 0, max_ = 100, value_ = 0;
};

}  // namespace altimar::forms
