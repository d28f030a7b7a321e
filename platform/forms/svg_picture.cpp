#include "platform/forms/svg_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

#include "platform/sax/sax_reader.h"

namespace altimar::forms {

using namespace altimar::win;

namespace {

constexpr int kMaxSide = 4096;
constexpr std::size_t kMaxPoints = 200000;  // for the whole picture

struct Point {
  double x = 0, y = 0;
};

// What a group passes on to what it holds.
struct Paint {
  std::optional<Pixel> fill = Pixel{0x000000};  // nullopt: none
  std::optional<Pixel> stroke;
  double strokeWidth = 1;
  double dx = 0, dy = 0;  // translation
  double fontSize = 16;
};

std::optional<double> ToNumber(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Numbers in a list separated by blanks and commas.
std::vector<double> Numbers(std::string_view s) {
  std::vector<double> out;
  std::size_t k = 0;
  while (k < s.size() && out.size() < kMaxPoints) {
    while (k < s.size() && (s[k] == ' ' || s[k] == ',' || s[k] == '\t' || s[k] == '\n' || s[k] == '\r')) ++k;
    if (k >= s.size()) break;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data() + k, s.data() + s.size(), v);
    if (ec != std::errc()) break;
    if (std::isfinite(v)) out.push_back(v);
    k = static_cast<std::size_t>(end - s.data());
  }
  return out;
}

// A paint value: a colour, "none", or something not understood (ignored).
struct PaintValue {
  enum Kind { Invalid, None, Colour } kind = Invalid;
  Pixel colour = 0;
};

PaintValue ReadPaint(std::string v) {
  std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return std::tolower(c); });
  v.erase(std::remove(v.begin(), v.end(), ' '), v.end());
  auto colour = [](Pixel p) { return PaintValue{PaintValue::Colour, p}; };
  if (v == "none" || v == "transparent") return {PaintValue::None, 0};
  static const std::map<std::string, Pixel> kNames = {
      {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000},    {"green", 0x008000},
      {"lime", 0x00FF00},  {"blue", 0x0000FF},  {"yellow", 0xFFFF00}, {"cyan", 0x00FFFF},
      {"aqua", 0x00FFFF},  {"magenta", 0xFF00FF}, {"fuchsia", 0xFF00FF}, {"gray", 0x808080},
      {"grey", 0x808080},  {"silver", 0xC0C0C0}, {"maroon", 0x800000}, {"navy", 0x000080},
      {"olive", 0x808000}, {"purple", 0x800080}, {"teal", 0x008080},  {"orange", 0xFFA500}};
  if (auto it = kNames.find(v); it != kNames.end()) return colour(it->second);
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if ((v.size() == 7 || v.size() == 4) && v[0] == '#') {
    Pixel p = 0;
    for (std::size_t k = 1; k < v.size(); ++k) {
      const int h = hex(v[k]);
      if (h < 0) return {};
      p = v.size() == 7 ? (p << 4) | static_cast<Pixel>(h) : (p << 8) | static_cast<Pixel>(h * 17);
    }
    return colour(p);
  }
  if (v.rfind("rgb(", 0) == 0 && v.back() == ')') {
    const auto n = Numbers(std::string_view(v).substr(4, v.size() - 5));
    if (n.size() != 3) return {};
    auto c = [](double x) { return static_cast<Pixel>(std::clamp(x, 0.0, 255.0)); };
    return colour((c(n[0]) << 16) | (c(n[1]) << 8) | c(n[2]));
  }
  return {};
}

class Drawing final : public sax::ContentHandler {
 public:
  Drawing(Surface& s, FontEngine& fonts) : s_(s), fonts_(fonts) { stack_.push_back(Paint{}); }

  void startElement(std::string_view, std::string_view name, std::string_view,
                    const sax::Attributes& a) override {
    Paint p = stack_.back();
    Apply(a, p);
    stack_.push_back(p);
    if (name == "svg" && !sized_) return Size(a);
    if (!sized_) return;
    text_.clear();
    auto num = [&](std::string_view key, double fallback = 0) {
      const auto v = a.getValueFromLocalName(key);
      const auto n = v ? ToNumber(*v) : std::nullopt;
      return n.value_or(fallback);
    };
    if (name == "rect") {
      const double x = num("x"), y = num("y"), w = num("width"), h = num("height");
      if (w > 0 && h > 0) Shape({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, true, p);
    } else if (name == "circle" || name == "ellipse") {
      const double r = num("r");
      Ellipse(num("cx"), num("cy"), name == "circle" ? r : num("rx"), name == "circle" ? r : num("ry"), p);
    } else if (name == "line") {
      Shape({{num("x1"), num("y1")}, {num("x2"), num("y2")}}, false, p);
    } else if (name == "polyline" || name == "polygon") {
      const auto v = a.getValueFromLocalName("points");
      const auto n = v ? Numbers(*v) : std::vector<double>{};
      std::vector<Point> pts;
      for (std::size_t k = 0; k + 1 < n.size(); k += 2) pts.push_back({n[k], n[k + 1]});
      Shape(pts, name == "polygon", p);
    } else if (name == "path") {
      if (const auto d = a.getValueFromLocalName("d")) Path(*d, p);
    } else if (name == "text") {
      textAt_ = {num("x"), num("y")};
      inText_ = true;
    }
  }
  void characters(std::string_view t) override {
    if (inText_ && text_.size() < 1000) text_.append(t.substr(0, 1000 - text_.size()));
  }
  void endElement(std::string_view, std::string_view name, std::string_view) override {
    if (name == "text" && inText_) {
      Text(stack_.back());
      inText_ = false;
    }
    if (stack_.size() > 1) stack_.pop_back();
  }
  bool sized() const { return sized_; }

 private:
  void Apply(const sax::Attributes& a, Paint& p) {
    auto set = [&](std::string_view key, std::string_view value) {
      if (key == "fill" || key == "stroke") {
        const PaintValue v = ReadPaint(std::string(value));
        std::optional<Pixel>& target = key == "fill" ? p.fill : p.stroke;
        if (v.kind == PaintValue::None) target.reset();
        else if (v.kind == PaintValue::Colour) target = v.colour;
      } else if (key == "stroke-width") {
        if (auto n = ToNumber(value); n && *n >= 0) p.strokeWidth = std::min(*n, 100.0);
      } else if (key == "font-size") {
        if (auto n = ToNumber(value); n && *n > 0) p.fontSize = std::min(*n, 400.0);
      } else if (key == "transform" && value.rfind("translate(", 0) == 0) {
        const auto n = Numbers(std::string_view(value).substr(10));
        if (!n.empty()) p.dx += n[0] * scale_;
        if (n.size() > 1) p.dy += n[1] * scale_;
      }
    };
    for (int k = 0; k < a.getLength(); ++k) {
      const sax::Attribute& at = a.item(k);
      if (at.localName == "style") {
        std::string_view st = at.value;
        while (!st.empty()) {
          const auto semi = st.find(';');
          const std::string_view part = st.substr(0, semi);
          if (const auto colon = part.find(':'); colon != std::string_view::npos) {
            std::string key(part.substr(0, colon)), value(part.substr(colon + 1));
            key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
            set(key, value);
          }
          if (semi == std::string_view::npos) break;
          st.remove_prefix(semi + 1);
        }
      } else {
        set(at.localName, at.value);
      }
    }
  }

  void Size(const sax::Attributes& a) {
    auto get = [&](std::string_view key) {
      const auto v = a.getValueFromLocalName(key);
      return v ? ToNumber(*v) : std::nullopt;
    };
    std::vector<double> box;
    if (const auto v = a.getValueFromLocalName("viewBox")) box = Numbers(*v);
    double w = get("width").value_or(box.size() == 4 ? box[2] : 300);
    double h = get("height").value_or(box.size() == 4 ? box[3] : 150);
    w = std::clamp(w, 1.0, static_cast<double>(kMaxSide));
    h = std::clamp(h, 1.0, static_cast<double>(kMaxSide));
    if (box.size() == 4 && box[2] > 0 && box[3] > 0) {
      scale_ = std::clamp(std::min(w / box[2], h / box[3]), 1e-6, 1e6);
      ox_ = -box[0] * scale_;
      oy_ = -box[1] * scale_;
    }
    s_ = Surface(static_cast<int>(w), static_cast<int>(h), 0xFFFFFF);
    sized_ = true;
  }

  Point Map(Point p, const Paint& paint) const {
    return {p.x * scale_ + ox_ + paint.dx, p.y * scale_ + oy_ + paint.dy};
  }

  void Ellipse(double cx, double cy, double rx, double ry, const Paint& p) {
    if (!(rx > 0 && ry > 0)) return;
    std::vector<Point> pts;
    const int n = 64;
    for (int k = 0; k < n; ++k) {
      const double t = 2 * 3.141592653589793 * k / n;
      pts.push_back({cx + rx * std::cos(t), cy + ry * std::sin(t)});
    }
    Shape(pts, true, p);
  }

  // Flattens a path's lines and curves into figures, then draws them.
  void Path(std::string_view d, const Paint& p) {
    std::vector<std::vector<Point>> figures;
    Point at, start;
    char command = 0;
    std::size_t k = 0;
    auto next = [&](double& v) {
      while (k < d.size() && (d[k] == ' ' || d[k] == ',' || d[k] == '\t' || d[k] == '\n' || d[k] == '\r')) ++k;
      const auto [end, ec] = std::from_chars(d.data() + k, d.data() + d.size(), v);
      if (ec != std::errc() || !std::isfinite(v)) return false;
      k = static_cast<std::size_t>(end - d.data());
      return true;
    };
    auto add = [&](Point q) {
      if (figures.empty()) figures.push_back({at});
      if (points_ < kMaxPoints) {
        figures.back().push_back(q);
        ++points_;
      }
      at = q;
    };
    while (k < d.size() && points_ < kMaxPoints) {
      while (k < d.size() && (d[k] == ' ' || d[k] == ',' || d[k] == '\t' || d[k] == '\n' || d[k] == '\r')) ++k;
      if (k >= d.size()) break;
      if (std::isalpha(static_cast<unsigned char>(d[k]))) command = d[k++];
      const bool rel = std::islower(static_cast<unsigned char>(command)) != 0;
      const Point base = rel ? at : Point{};
      double a = 0, b = 0, c = 0, e = 0, f = 0, g = 0;
      switch (std::toupper(static_cast<unsigned char>(command))) {
        case 'M':
          if (!next(a) || !next(b)) return Finish(figures, p);
          at = start = {base.x + a, base.y + b};
          figures.push_back({at});
          command = rel ? 'l' : 'L';  // further pairs are lines
          break;
        case 'L':
          if (!next(a) || !next(b)) return Finish(figures, p);
          add({base.x + a, base.y + b});
          break;
        case 'H':
          if (!next(a)) return Finish(figures, p);
          add({rel ? at.x + a : a, at.y});
          break;
        case 'V':
          if (!next(a)) return Finish(figures, p);
          add({at.x, rel ? at.y + a : a});
          break;
        case 'Q':
          if (!next(a) || !next(b) || !next(c) || !next(e)) return Finish(figures, p);
          Curve({base.x + a, base.y + b}, {base.x + a, base.y + b}, {base.x + c, base.y + e}, at, add, true);
          break;
        case 'C':
          if (!next(a) || !next(b) || !next(c) || !next(e) || !next(f) || !next(g)) return Finish(figures, p);
          Curve({base.x + a, base.y + b}, {base.x + c, base.y + e}, {base.x + f, base.y + g}, at, add, false);
          break;
        case 'Z':
          add(start);
          command = 0;
          break;
        default:
          return Finish(figures, p);  // an unknown command ends the path, as in a viewer
      }
    }
    Finish(figures, p);
  }

  template <class Add>
  void Curve(Point c1, Point c2, Point to, Point from, Add& add, bool quadratic) {
    for (int i = 1; i <= 12; ++i) {
      const double t = i / 12.0, u = 1 - t;
      if (quadratic) {
        add({u * u * from.x + 2 * u * t * c1.x + t * t * to.x, u * u * from.y + 2 * u * t * c1.y + t * t * to.y});
      } else {
        add({u * u * u * from.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * to.x,
             u * u * u * from.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * to.y});
      }
    }
  }

  void Finish(const std::vector<std::vector<Point>>& figures, const Paint& p) {
    std::vector<std::vector<Point>> mapped;
    for (const auto& f : figures) {
      mapped.emplace_back();
      for (const Point& q : f) mapped.back().push_back(Map(q, p));
    }
    if (p.fill) Fill(mapped, *p.fill);
    if (p.stroke)
      for (const auto& f : mapped) Stroke(f, false, p);
  }

  void Shape(const std::vector<Point>& pts, bool closed, const Paint& p) {
    if (pts.empty() || points_ + pts.size() > kMaxPoints) return;
    points_ += pts.size();
    std::vector<Point> m;
    for (const Point& q : pts) m.push_back(Map(q, p));
    if (closed && p.fill) Fill({m}, *p.fill);
    if (p.stroke) Stroke(m, closed, p);
  }

  // Even-odd, scan line by scan line, over the picture only.
  void Fill(const std::vector<std::vector<Point>>& rings, Pixel colour) {
    double top = 1e18, bottom = -1e18;
    for (const auto& r : rings)
      for (const Point& q : r) {
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return;
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
      }
    if (!(top <= bottom)) return;
    const int y0 = static_cast<int>(std::clamp(std::ceil(top - 0.5), 0.0, static_cast<double>(s_.height())));
    const int y1 = static_cast<int>(std::clamp(std::floor(bottom - 0.5), -1.0, s_.height() - 1.0));
    std::vector<double> xs;
    for (int y = y0; y <= y1; ++y) {
      const double sy = y + 0.5;
      xs.clear();
      for (const auto& r : rings)
        for (std::size_t k = 0; r.size() > 1 && k < r.size(); ++k) {
          const Point& a = r[k];
          const Point& b = r[(k + 1) % r.size()];
          if ((a.y <= sy) != (b.y <= sy)) {
            const double x = a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y);
            if (std::isfinite(x)) xs.push_back(x);
          }
        }
      std::sort(xs.begin(), xs.end());
      for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
        const int xa = static_cast<int>(std::clamp(std::ceil(xs[k] - 0.5), 0.0, static_cast<double>(s_.width())));
        const int xb = static_cast<int>(std::clamp(std::floor(xs[k + 1] - 0.5), -1.0, s_.width() - 1.0));
        if (xa <= xb) s_.FillRect(xa, y, xb + 1, y + 1, colour);
      }
    }
  }

  void Stroke(const std::vector<Point>& pts, bool closed, const Paint& p) {
    const int w = static_cast<int>(std::lround(std::clamp(p.strokeWidth * scale_, 1.0, 100.0)));
    const std::size_t n = pts.size();
    for (std::size_t k = 0; k + 1 < n + (closed ? 1 : 0); ++k) {
      const Point a = pts[k], b = pts[(k + 1) % n];
      // Segments far off the picture are left out.
      auto near = [](Point q) { return std::fabs(q.x) < 1e6 && std::fabs(q.y) < 1e6; };
      const double span = std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y));
      if (!near(a) || !near(b) || !(span < 20000)) continue;
      const int steps = std::max(1, static_cast<int>(std::ceil(span)));
      for (int i = 0; i <= steps; ++i) {
        const int x = static_cast<int>(std::lround(a.x + (b.x - a.x) * i / steps)) - (w - 1) / 2;
        const int y = static_cast<int>(std::lround(a.y + (b.y - a.y) * i / steps)) - (w - 1) / 2;
        s_.FillRect(x, y, x + w, y + w, *p.stroke);
      }
    }
  }

  void Text(const Paint& p) {
    if (text_.empty() || !p.fill) return;
    LOGFONTA f;
    f.lfHeight = -static_cast<LONG>(std::lround(std::clamp(p.fontSize * scale_, 1.0, 400.0)));
    const Point at = Map(textAt_, p);
    if (!(std::fabs(at.x) < 1e6 && std::fabs(at.y) < 1e6)) return;
    const TextMetrics m = fonts_.Metrics(f);
    fonts_.Draw(f, text_, static_cast<int>(at.x), static_cast<int>(at.y) - m.ascent, *p.fill, s_,
                {0, 0, s_.width(), s_.height()});
  }

  Surface& s_;
  FontEngine& fonts_;
  std::vector<Paint> stack_;
  bool sized_ = false;
  double scale_ = 1, ox_ = 0, oy_ = 0;
  std::size_t points_ = 0;
  bool inText_ = false;
  Point textAt_;
  std::string text_;
};

}  // namespace

std::string DrawSvg(std::string_view document, Surface& out, FontEngine& fonts) {
  Surface picture;
  Drawing drawing(picture, fonts);
  sax::SaxReader reader;
  reader.setContentHandler(&drawing);
  if (!reader.parse(document)) return "not an SVG picture: " + reader.lastError();
  if (!drawing.sized()) return "not an SVG picture: no <svg> element";
  out = std::move(picture);
  return {};
}

std::string ReadSvg(const std::string& path, Surface& out, FontEngine& fonts) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open " + path;
  std::string text(8 << 20, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return DrawSvg(text, out, fonts);
}

}  // namespace altimar::forms
