// The progress bar the contour code reports to (ProgressBar1 of the
// workspace form). The form's control implements it; so do front ends and
// tests. Values are kept within Min..Max by SetProgressValue.
#pragma once

#include <algorithm>

namespace altimar::contour {

class ProgressBar {
 public:
  virtual ~ProgressBar() = default;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool v) = 0;
  virtual double Min() const = 0;
  virtual void SetMin(double v) = 0;
  virtual double Max() const = 0;
  virtual void SetMax(double v) = 0;
  virtual double Value() const = 0;
  virtual void SetValue(double v) = 0;
};

// Writes v clamped into the bar's range (a bar would refuse a value outside it).
inline void SetProgressValue(ProgressBar& bar, double v) {
  const double lo = bar.Min(), hi = bar.Max();
  bar.SetValue(std::clamp(v, std::min(lo, hi), std::max(lo, hi)));
}

// A bar with nothing behind it: holds its properties (and is what a program
// without a workspace form reports to).
class PlainProgressBar : public ProgressBar {
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

}  // namespace altimar::contour
