#include "reference_conrec.h"

#include <charconv>
#include <cmath>

namespace altimar::testing {
namespace {

std::string Num(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  return std::string(buf, r.ptr);
}
double MinOf(double a, double b) { return a >= b ? b : a; }
double MaxOf(double a, double b) { return a >= b ? a : b; }

}  // namespace

ReferenceResult ReferenceTrace(const ReferenceGrid& g, const std::function<float()>& next,
                               double base, double factor) {
  ReferenceResult out;
  const int nc = static_cast<int>(g.z.size());
  const int iub = static_cast<int>(g.x.size()) - 1, jub = static_cast<int>(g.y.size()) - 1;
  std::vector<std::string> levelText(static_cast<std::size_t>(nc));
  const int im[4] = {0, 1, 1, 0}, jm[4] = {0, 0, 1, 1};
  const int castab[3][3][3] = {{{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
                               {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
                               {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};
  if (nc > 0) {
    for (int j = jub - 1; j >= 0; --j) {
      out.progress.push_back(static_cast<int>(
          base + std::floor((static_cast<double>(jub - j) / (jub + 1)) * 100 * factor)));
      for (int i = 0; i <= iub - 1; ++i) {
        const auto& d = g.d;
        double dmin = MinOf(MinOf(d[i][j], d[i][j + 1]), MinOf(d[i + 1][j], d[i + 1][j + 1]));
        double dmax = MaxOf(MaxOf(d[i][j], d[i][j + 1]), MaxOf(d[i + 1][j], d[i + 1][j + 1]));
        if (!(dmax >= g.z[0] && dmin <= g.z[nc - 1] && dmax < 1e37)) continue;
        for (int k = 0; k < nc; ++k) {
          if (!(dmin <= g.z[k] && g.z[k] < dmax)) continue;
          double h[5], xh[5], yh[5];
          int sh[5];
          for (int m = 4; m >= 0; --m) {
            if (m > 0) {
              h[m] = d[i + im[m - 1]][j + jm[m - 1]] - g.z[k];
              xh[m] = g.x[i + im[m - 1]];
              yh[m] = g.y[j + jm[m - 1]];
            } else {
              h[0] = 0.25 * (h[1] + h[2] + h[3] + h[4]);
              xh[0] = 0.5 * (g.x[i] + g.x[i + 1]);
              yh[0] = 0.5 * (g.y[j] + g.y[j + 1]);
            }
            sh[m] = h[m] > 0 ? 1 : (h[m] < 0 ? -1 : 0);
          }
          for (int m = 1; m <= 4; ++m) {
            const int m1 = m, m2 = 0, m3 = m == 4 ? 1 : m + 1;
            const int c = castab[sh[m1] + 1][sh[m2] + 1][sh[m3] + 1];
            if (c == 0) continue;
            auto S = [&](int p, int q, double& px, double& py) {
              px = (h[q] * xh[p] - h[p] * xh[q]) / (h[q] - h[p]);
              py = (h[q] * yh[p] - h[p] * yh[q]) / (h[q] - h[p]);
            };
            double x1, y1, x2, y2;
            switch (c) {
              case 1: x1 = xh[m1]; y1 = yh[m1]; x2 = xh[m2]; y2 = yh[m2]; break;
              case 2: x1 = xh[m2]; y1 = yh[m2]; x2 = xh[m3]; y2 = yh[m3]; break;
              case 3: x1 = xh[m3]; y1 = yh[m3]; x2 = xh[m1]; y2 = yh[m1]; break;
              case 4: x1 = xh[m1]; y1 = yh[m1]; S(m2, m3, x2, y2); break;
              case 5: x1 = xh[m2]; y1 = yh[m2]; S(m3, m1, x2, y2); break;
              case 6: x1 = xh[m3]; y1 = yh[m3]; S(m1, m2, x2, y2); break;
              case 7: S(m1, m2, x1, y1); S(m2, m3, x2, y2); break;
              case 8: S(m2, m3, x1, y1); S(m3, m1, x2, y2); break;
              default: S(m3, m1, x1, y1); S(m1, m2, x2, y2); break;
            }
            levelText[k] += "<LineString><coordinates>" + Num(x1) + "," + Num(y1) + " " +
                            Num(x2) + "," + Num(y2) + "," + Num(g.z[k]) +
                            "</coordinates></LineString>";
            if (next() < 0.02f) {
              out.labels += "<Placemark><name>" +
                            std::to_string(static_cast<long long>(std::floor(g.z[k]))) +
                            "</name><styleUrl>#Contours</styleUrl><Point><coordinates>" +
                            Num(x2) + "," + Num(y2) + "</coordinates></Point></Placemark>";
            }
          }
        }
      }
    }
  }
  for (int k = 0; k < nc; ++k)
    if (!levelText[k].empty())
      out.placemarks += "<Placemark><styleUrl>#Contour" + std::to_string(k) +
                        "</styleUrl><MultiGeometry>" + levelText[k] +
                        "</MultiGeometry></Placemark>\r\n";
  return out;
}

}  // namespace altimar::testing
