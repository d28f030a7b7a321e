#include "platform/earth/kml_places.h"

#include <charconv>
#include <cstdlib>
#include <vector>

#include "platform/sax/sax_reader.h"

namespace altimar::earth {
namespace {

bool IsFeatureElement(const std::string& local) {
  return local == "Document" || local == "Folder" || local == "Placemark" ||
         local == "NetworkLink" || local == "GroundOverlay" || local == "ScreenOverlay" ||
         local == "PhotoOverlay";
}

// "lon,lat[,alt]" tuples separated by white space; a tuple that is not
// numbers is skipped.
std::vector<GeoPoint> ParseCoordinates(std::string_view text) {
  std::vector<GeoPoint> out;
  std::size_t p = 0;
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (p < text.size()) {
    while (p < text.size() && isSpace(text[p])) ++p;
    std::size_t e = p;
    while (e < text.size() && !isSpace(text[e])) ++e;
    if (e > p) {
      std::string_view tuple = text.substr(p, e - p);
      double v[3] = {0, 0, 0};
      int n = 0;
      std::size_t q = 0;
      bool ok = true;
      while (n < 3 && q <= tuple.size()) {
        const std::size_t comma = std::min(tuple.find(',', q), tuple.size());
        std::string_view part = tuple.substr(q, comma - q);
        if (!part.empty() && part.front() == '+') part.remove_prefix(1);
        auto r = std::from_chars(part.data(), part.data() + part.size(), v[n]);
        if (r.ec != std::errc() || r.ptr != part.data() + part.size()) {
          ok = false;
          break;
        }
        ++n;
        q = comma + 1;
        if (comma == tuple.size()) break;
      }
      if (ok && n >= 2 && v[0] >= -360 && v[0] <= 360 && v[1] >= -90 && v[1] <= 90)
        out.push_back({v[0], v[1], v[2]});
    }
    p = e;
  }
  return out;
}

// aabbggrr, eight hexadecimal digits (fewer are read as far as they go).
std::uint32_t ParseColor(const std::string& text, std::uint32_t otherwise) {
  std::string t;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '#') t += c;
  std::uint32_t v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v, 16);
  return (r.ec == std::errc() && !t.empty()) ? v : otherwise;
}

// Builds the tree while the reader walks the document. The outermost
// feature (usually the Document) becomes the root itself.
class PlacesBuilder final : public sax::ContentHandler {
 public:
  void startElement(const std::string&, const std::string& local, const std::string&,
                    const sax::Attributes& atts) override {
    ++depth_;
    text_.clear();
    leaf_.clear();
    path_.push_back(local);
    StartStyleOrGeometry(local, atts);
    if (IsFeatureElement(local)) {
      auto f = std::make_shared<Feature>("");
      if (!stack_.empty()) stack_.back().feature->AddChild(f);
      else if (!root_) root_ = f;
      stack_.push_back({f, depth_, false, local == "NetworkLink"});
    } else if (local == "href" && !stack_.empty() && stack_.back().isLink) {
      inHref_ = true;
      href_.clear();
    }
  }
  void endElement(const std::string&, const std::string& local, const std::string&) override {
    EndStyleOrGeometry(local);
    path_.pop_back();
    leaf_.clear();
    if (local == "href" && !stack_.empty() && stack_.back().isLink) {
      links_.push_back({stack_.back().feature, href_});
      href_.clear();
    }
    inHref_ = false;
    if (!stack_.empty()) {
      Open& o = stack_.back();
      if (o.depth == depth_) {
        stack_.pop_back();
      } else if (o.depth + 1 == depth_ && local == "name") {
        o.feature->set_name(text_);
        o.named = true;
      } else if (o.depth + 1 == depth_ && local == "visibility") {
        o.feature->put_Visibility(text_.find('0') == std::string::npos ? 1 : 0);
      }
    }
    text_.clear();
    --depth_;
  }
  void characters(std::string_view t) override {
    if (!stack_.empty() && stack_.back().depth + 1 == depth_) text_.append(t);
    if (inHref_) href_.append(t);
    if (leaf_.size() < kMaxLeafText) leaf_.append(t);
  }

  // Network links and the href each names.
  std::vector<std::pair<std::shared_ptr<Feature>, std::string>> links_;

  std::shared_ptr<Feature> Finish(const std::string& fallbackName) {
    if (!root_) root_ = std::make_shared<Feature>(fallbackName);
    else if (root_->get_Name().empty()) root_->set_name(fallbackName);
    root_->styles = std::move(styles_);
    root_->styleMaps = std::move(styleMaps_);
    return root_;
  }

 private:
  struct Open {
    std::shared_ptr<Feature> feature;
    int depth;
    bool named;
    bool isLink;
  };
  static constexpr std::size_t kMaxLeafText = 64u << 20;  // one element's text

  const std::string& Parent(std::size_t up = 1) const {
    static const std::string kNone;
    return path_.size() > up ? path_[path_.size() - 1 - up] : kNone;
  }
  Feature* Placemark() const {
    return !stack_.empty() ? stack_.back().feature.get() : nullptr;
  }

  void StartStyleOrGeometry(const std::string& local, const sax::Attributes& atts) {
    if (local == "Style") {
      style_ = KmlStyle{};
      const std::string* id = atts.getValueFromLocalName("id");
      styleId_ = id ? *id : "";
      inStyle_ = true;
      styleInPlacemark_ = Parent() == "Placemark";
    } else if (local == "StyleMap") {
      const std::string* id = atts.getValueFromLocalName("id");
      styleMapId_ = id ? *id : "";
    } else if (Placemark() && (local == "Point" || local == "LineString" || local == "Polygon" ||
                               (local == "LinearRing" && Parent() != "outerBoundaryIs" &&
                                Parent() != "innerBoundaryIs"))) {
      Geometry g;
      g.kind = local == "Point" ? Geometry::Point
               : local == "LineString" ? Geometry::LineString
               : local == "Polygon" ? Geometry::Polygon : Geometry::LinearRing;
      Placemark()->geometry.push_back(std::move(g));
    }
  }

  void EndStyleOrGeometry(const std::string& local) {
    if (inStyle_) {
      const std::string& parent = Parent();
      if (local == "color" && parent == "LineStyle") style_.lineColor = ParseColor(leaf_, style_.lineColor);
      if (local == "width" && parent == "LineStyle") style_.lineWidth = std::atof(leaf_.c_str());
      if (local == "color" && parent == "PolyStyle") style_.polyColor = ParseColor(leaf_, style_.polyColor);
      if (local == "fill" && parent == "PolyStyle") style_.fill = leaf_.find('0') == std::string::npos;
      if (local == "outline" && parent == "PolyStyle") style_.outline = leaf_.find('0') == std::string::npos;
      if (local == "color" && parent == "IconStyle") style_.iconColor = ParseColor(leaf_, style_.iconColor);
      if (local == "color" && parent == "LabelStyle") style_.labelColor = ParseColor(leaf_, style_.labelColor);
      if (local == "Style") {
        inStyle_ = false;
        if (styleInPlacemark_ && Placemark()) Placemark()->inlineStyle = style_;
        else if (!styleId_.empty()) styles_[styleId_] = style_;
      }
      return;
    }
    if (local == "styleUrl") {
      if (Parent() == "Pair") pairUrl_ = leaf_;
      else if (Placemark() && Parent() == "Placemark") Placemark()->styleUrl = leaf_;
    } else if (local == "key" && Parent() == "Pair") {
      pairKey_ = leaf_;
    } else if (local == "Pair") {
      if (pairKey_.find("normal") != std::string::npos && !styleMapId_.empty())
        styleMaps_[styleMapId_] = pairUrl_;
      pairKey_.clear();
      pairUrl_.clear();
    } else if (local == "coordinates" && Placemark() && !Placemark()->geometry.empty()) {
      Geometry& g = Placemark()->geometry.back();
      auto points = ParseCoordinates(leaf_);
      if (Parent(2) == "innerBoundaryIs") g.holes.push_back(std::move(points));
      else g.coords = std::move(points);
    }
  }

  std::vector<std::string> path_;
  std::string leaf_;
  KmlStyle style_;
  std::string styleId_, styleMapId_, pairKey_, pairUrl_;
  bool inStyle_ = false, styleInPlacemark_ = false;
  std::map<std::string, KmlStyle> styles_;
  std::map<std::string, std::string> styleMaps_;

  int depth_ = 0;
  bool inHref_ = false;
  std::string href_;
  std::string text_;
  std::vector<Open> stack_;
  std::shared_ptr<Feature> root_;
};

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

namespace {

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

// A network link whose href is a local file loads that file under it
// (relative to the linking file; at most a few links deep).
KmlLoadResult LoadFile(const std::string& path, int depth) {
  PlacesBuilder builder;
  sax::SaxReader reader;
  reader.setContentHandler(&builder);
  if (!reader.parseURL(path)) return {nullptr, reader.lastError()};
  auto root = builder.Finish(BaseName(path));
  root->set_source(path);
  if (depth < 4) {
    const auto slash = path.find_last_of("/\\");
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    for (auto& [link, href] : builder.links_) {
      std::string target = Trim(href);
      if (target.rfind("file://", 0) == 0) target = target.substr(7);
      if (target.empty() || target.find("://") != std::string::npos) continue;  // not local
      if (target.front() != '/') target = dir + target;
      KmlLoadResult linked = LoadFile(target, depth + 1);
      if (linked.root) link->AddChild(linked.root);
    }
  }
  return {root, {}};
}

}  // namespace

KmlLoadResult LoadKmlFile(const std::string& path) { return LoadFile(path, 0); }

KmlLoadResult LoadKmlText(std::string_view text) {
  PlacesBuilder builder;
  sax::SaxReader reader;
  reader.setContentHandler(&builder);
  if (!reader.parse(text)) return {nullptr, reader.lastError()};
  return {builder.Finish("Untitled"), {}};
}

}  // namespace altimar::earth
