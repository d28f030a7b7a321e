#include "workspace/view_points.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/runtime/number_text.h"

namespace altimar::workspace {

std::optional<ViewPoint> ToViewPoint(win::POINT client, const win::RECT& view) {
  const double w = view.width(), h = view.height();
  if (!(w > 0) || !(h > 0)) return std::nullopt;
  return ViewPoint{2.0 * client.x / w - 1, 1 - 2.0 * client.y / h};
}

std::string ViewText(double v) {
  return runtime::General15(v);
}

std::optional<double> ViewValue(const std::string& text) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v) || v < -1 || v > 1)
    return std::nullopt;
  return v;
}

std::string CircleOutline(double lon, double lat, double radius, int n, bool flat) {
  constexpr double kPi = 3.14159265359;
  const double R = 12734885.637 / 2;
  const double d = radius / R / kPi * 180;
  if (n < 1) n = 1;
  const double c = flat ? 1 : std::cos(lat * kPi / 180);
  const bool pole = !flat && std::abs(c) < 1e-12;
  std::string text, first;
  for (int k = 0; k <= n; ++k) {
    if (k == n) {
      text += first;  // the ring closes on its first tuple exactly
      break;
    }
    const double a = 360.0 * k / n * kPi / 180;
    double x, y;
    if (pole) {
      x = lon + 360.0 * k / n;
      y = lat > 0 ? lat - d : lat + d;
    } else {
      x = lon + d * std::cos(a) / c;
      y = lat + d * std::sin(a);
    }
    std::string tuple = runtime::General15(x) + "," + runtime::General15(y) + ",0";
    if (k == 0) first = tuple;
    text += tuple + " ";
  }
  return text;
}

std::vector<std::int32_t> ParseFidList(std::string_view list) {
  std::vector<std::int32_t> fids;
  std::string_view gathered;
  std::size_t start = 0;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char ch = list[i];
    if ((ch >= '0' && ch <= '9') || ch == '-') continue;
    gathered = list.substr(start, i - start);
    start = i + 1;
    if (gathered.empty()) continue;
    std::int32_t v = 0;
    const auto r = std::from_chars(gathered.data(), gathered.data() + gathered.size(), v);
    if (r.ec == std::errc() && r.ptr == gathered.data() + gathered.size()) fids.push_back(v);
  }
  return fids;
}

}  // namespace altimar::workspace
