#include "platform/earth/place_dump.h"

#include <sstream>
#include <utility>
#include <vector>

namespace altimar::earth {

std::string DumpPlaces(const Feature& root) {
  std::ostringstream out;
  out.precision(17);
  // Depth first, without recursion (trees may be deep).
  std::vector<std::pair<const Feature*, std::size_t>> todo{{&root, 0}};
  while (!todo.empty()) {
    const auto [f, depth] = todo.back();
    todo.pop_back();
    out << std::string(depth, ' ') << f->get_Name() << " v" << f->get_Visibility();
    const KmlStyle st = f->ResolveStyle();
    out << " style " << st.lineColor << "/" << st.lineWidth << "/" << st.polyColor << "/" << st.fill
        << st.outline << "/" << st.iconColor << "/" << st.labelColor;
    for (std::size_t k = 0; k < f->geometryCount(); ++k) {
      const GeometryView g = f->geometry(k);
      out << " [" << static_cast<int>(g.kind());
      auto ring = [&](const PointRange& r) {
        out << " (";
        r.ForEach([&](const GeoPoint& p) { out << p.lon << "," << p.lat << "," << p.alt << " "; });
        out << ")";
      };
      ring(g.coords());
      for (std::size_t h = 0; h < g.holeCount(); ++h) ring(g.hole(h));
      out << "]";
    }
    out << "\n";
    const auto& children = f->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) todo.push_back({it->get(), depth + 1});
  }
  return out.str();
}

}  // namespace altimar::earth
