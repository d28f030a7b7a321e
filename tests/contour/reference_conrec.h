// A plain, sequential contour tracer written straight from the rules of the
// scheme, slow and obvious, against which the real tracer is checked.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace altimar::testing {

struct ReferenceGrid {
  std::vector<double> x, y;           // corner longitudes and latitudes
  std::vector<std::vector<double>> d;  // d[i][j]
  std::vector<double> z;              // levels
};

struct ReferenceResult {
  std::string placemarks, labels;
  std::vector<int> progress;  // the progress values written, in order
};

// next() draws the generator's numbers; base and factor as the tracer sets them.
ReferenceResult ReferenceTrace(const ReferenceGrid& g, const std::function<float()>& next,
                               double base, double factor);

}  // namespace altimar::testing
