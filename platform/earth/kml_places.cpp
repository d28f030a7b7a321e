#include "platform/earth/kml_places.h"

#include <charconv>
#include <cstdlib>
#include <vector>

#include "platform/earth/kml_coordinates.h"
#include "platform/sax/sax_reader.h"

namespace altimar::earth {
namespace {

// The elements the places are built from; everything else is Other. Each
// name is matched once, when its element starts.
enum class Tag : std::uint8_t {
  Other, Document, Folder, Placemark, NetworkLink, GroundOverlay, ScreenOverlay, PhotoOverlay,
  Style, StyleMap, Pair, Key, StyleUrl, LineStyle, PolyStyle, IconStyle, LabelStyle,
  Color, Width, Fill, Outline, Name, Visibility, Href,
  Point, LineString, LinearRing, Polygon, OuterBoundaryIs, InnerBoundaryIs, Coordinates,
};

Tag Classify(std::string_view n) {
  auto is = [&](std::string_view name) { return n == name; };
  switch (n.size()) {
    case 3: return is("key") ? Tag::Key : Tag::Other;
    case 4:
      return is("Pair") ? Tag::Pair : is("name") ? Tag::Name : is("fill") ? Tag::Fill
           : is("href") ? Tag::Href : Tag::Other;
    case 5:
      return is("Style") ? Tag::Style : is("Point") ? Tag::Point : is("color") ? Tag::Color
           : is("width") ? Tag::Width : Tag::Other;
    case 6: return is("Folder") ? Tag::Folder : Tag::Other;
    case 7: return is("outline") ? Tag::Outline : is("Polygon") ? Tag::Polygon : Tag::Other;
    case 8:
      return is("Document") ? Tag::Document : is("StyleMap") ? Tag::StyleMap
           : is("styleUrl") ? Tag::StyleUrl : Tag::Other;
    case 9:
      return is("Placemark") ? Tag::Placemark : is("LineStyle") ? Tag::LineStyle
           : is("PolyStyle") ? Tag::PolyStyle : is("IconStyle") ? Tag::IconStyle : Tag::Other;
    case 10:
      return is("LineString") ? Tag::LineString : is("LabelStyle") ? Tag::LabelStyle
           : is("LinearRing") ? Tag::LinearRing : is("visibility") ? Tag::Visibility : Tag::Other;
    case 11:
      return is("coordinates") ? Tag::Coordinates : is("NetworkLink") ? Tag::NetworkLink : Tag::Other;
    case 12: return is("PhotoOverlay") ? Tag::PhotoOverlay : Tag::Other;
    case 13:
      return is("GroundOverlay") ? Tag::GroundOverlay : is("ScreenOverlay") ? Tag::ScreenOverlay
           : Tag::Other;
    case 15:
      return is("outerBoundaryIs") ? Tag::OuterBoundaryIs
           : is("innerBoundaryIs") ? Tag::InnerBoundaryIs : Tag::Other;
    default: return Tag::Other;
  }
}

bool IsFeature(Tag t) { return t >= Tag::Document && t <= Tag::PhotoOverlay; }
bool IsGeometry(Tag t) { return t >= Tag::Point && t <= Tag::Polygon; }
bool IsStyleKind(Tag t) { return t >= Tag::LineStyle && t <= Tag::LabelStyle; }

GeometryKind KindOf(Tag t) {
  switch (t) {
    case Tag::Point: return GeometryKind::Point;
    case Tag::LineString: return GeometryKind::LineString;
    case Tag::Polygon: return GeometryKind::Polygon;
    default: return GeometryKind::LinearRing;
  }
}

// aabbggrr, eight hexadecimal digits (fewer are read as far as they go).
std::uint32_t ParseColor(std::string_view text, std::uint32_t otherwise) {
  std::string t;
  for (char c : text)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '#') t += c;
  std::uint32_t v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v, 16);
  return (r.ec == std::errc() && !t.empty()) ? v : otherwise;
}

// Builds the tree while the reader walks the document. The outermost
// feature (usually the Document) becomes the root itself; every feature
// shares the document's geometry and styles.
class PlacesBuilder final : public sax::ContentHandler {
 public:
  PlacesBuilder() : document_(std::make_shared<PlaceDocument>()) {}

  void startElement(std::string_view, std::string_view local, std::string_view,
                    const sax::Attributes& atts) override {
    const Tag tag = Classify(local);
    const Tag parent = Parent(0);
    tags_.push_back(tag);
    collect_ = false;
    if (tag == Tag::Other) return;
    if (IsFeature(tag)) {
      auto f = std::make_shared<Feature>("");
      f->set_document(document_);
      if (!stack_.empty()) stack_.back().feature->AddChild(f);
      else if (!root_) root_ = f;
      stack_.push_back({std::move(f), tags_.size(), tag == Tag::NetworkLink});
      return;
    }
    switch (tag) {
      case Tag::Style:
        style_ = KmlStyle{};
        styleId_ = atts.getValueFromLocalName("id").value_or("");
        inStyle_ = true;
        styleInPlacemark_ = parent == Tag::Placemark;
        return;
      case Tag::StyleMap:
        styleMapId_ = atts.getValueFromLocalName("id").value_or("");
        return;
      case Tag::Name:
      case Tag::Visibility:
        Collect(!stack_.empty() && stack_.back().depth + 1 == tags_.size());
        return;
      case Tag::Href:
        Collect(!stack_.empty() && stack_.back().isLink);
        return;
      case Tag::Color:
      case Tag::Width:
      case Tag::Fill:
      case Tag::Outline:
        Collect(inStyle_ && IsStyleKind(parent));
        return;
      case Tag::StyleUrl:
      case Tag::Key:
        Collect(true);
        return;
      case Tag::Coordinates:
        Collect(geometryDepth_ != 0);
        return;
      default:
        break;
    }
    if (IsGeometry(tag) && geometryDepth_ == 0 && !stack_.empty() &&
        !(tag == Tag::LinearRing &&
          (parent == Tag::OuterBoundaryIs || parent == Tag::InnerBoundaryIs))) {
      geometryDepth_ = tags_.size();
      geometryKind_ = KindOf(tag);
      geometryOwner_ = stack_.back().feature.get();
      points_.clear();
      rings_.clear();
      outer_.clear();
    }
  }

  void endElement(std::string_view, std::string_view, std::string_view) override {
    const Tag tag = tags_.back();
    const Tag parent = Parent(1);
    if (collect_) End(tag, parent);
    collect_ = false;
    if (tag == Tag::Style && inStyle_) {
      inStyle_ = false;
      if (styleInPlacemark_ && !stack_.empty()) stack_.back().feature->inlineStyle = style_;
      else if (!styleId_.empty()) document_->styles[styleId_] = style_;
    } else if (tag == Tag::Pair) {
      if (pairKey_.find("normal") != std::string::npos && !styleMapId_.empty())
        document_->styleMaps[styleMapId_] = pairUrl_;
      pairKey_.clear();
      pairUrl_.clear();
    } else if (geometryDepth_ == tags_.size()) {
      CommitGeometry();
    } else if (IsFeature(tag) && !stack_.empty() && stack_.back().depth == tags_.size()) {
      stack_.pop_back();
    }
    tags_.pop_back();
  }

  void characters(std::string_view t) override {
    if (collect_ && text_.size() < kMaxLeafText)
      text_.append(t.substr(0, kMaxLeafText - text_.size()));
  }

  // Network links and the href each names.
  std::vector<std::pair<std::shared_ptr<Feature>, std::string>> links_;
  std::string error_;  // why loading stopped early, if it did

  std::shared_ptr<Feature> Finish(const std::string& fallbackName) {
    if (!root_) {
      root_ = std::make_shared<Feature>(fallbackName);
      root_->set_document(document_);
    } else if (root_->get_Name().empty()) {
      root_->set_name(fallbackName);
    }
    return root_;
  }

 private:
  struct Open {
    std::shared_ptr<Feature> feature;
    std::size_t depth;  // tags_.size() while it is open
    bool isLink;
  };
  static constexpr std::size_t kMaxLeafText = 64u << 20;  // one element's text

  // The tag `up` levels above the innermost open element (0: the innermost).
  Tag Parent(std::size_t up) const {
    return tags_.size() > up ? tags_[tags_.size() - 1 - up] : Tag::Other;
  }
  void Collect(bool on) {
    collect_ = on;
    text_.clear();
  }

  // The end of an element whose text was collected.
  void End(Tag tag, Tag parent) {
    switch (tag) {
      case Tag::Name:
        stack_.back().feature->set_name(text_);
        break;
      case Tag::Visibility:
        stack_.back().feature->put_Visibility(text_.find('0') == std::string::npos ? 1 : 0);
        break;
      case Tag::Href:
        links_.push_back({stack_.back().feature, text_});
        break;
      case Tag::Color:
        if (parent == Tag::LineStyle) style_.lineColor = ParseColor(text_, style_.lineColor);
        if (parent == Tag::PolyStyle) style_.polyColor = ParseColor(text_, style_.polyColor);
        if (parent == Tag::IconStyle) style_.iconColor = ParseColor(text_, style_.iconColor);
        if (parent == Tag::LabelStyle) style_.labelColor = ParseColor(text_, style_.labelColor);
        break;
      case Tag::Width:
        if (parent == Tag::LineStyle) style_.lineWidth = std::atof(text_.c_str());
        break;
      case Tag::Fill:
        if (parent == Tag::PolyStyle) style_.fill = text_.find('0') == std::string::npos;
        break;
      case Tag::Outline:
        if (parent == Tag::PolyStyle) style_.outline = text_.find('0') == std::string::npos;
        break;
      case Tag::StyleUrl:
        if (parent == Tag::Pair) pairUrl_ = text_;
        else if (parent == Tag::Placemark && !stack_.empty()) stack_.back().feature->styleUrl = text_;
        break;
      case Tag::Key:
        if (parent == Tag::Pair) pairKey_ = text_;
        break;
      case Tag::Coordinates:
        AddRing(Parent(2) == Tag::InnerBoundaryIs);
        break;
      default:
        break;
    }
  }

  // A ring of the open geometry: its outer one (the last given wins), or a hole.
  void AddRing(bool hole) {
    if (hole) {
      const std::size_t begin = points_.size();
      ParseCoordinates(text_, points_);
      rings_.push_back({begin, points_.size()});
    } else {
      outer_.clear();
      ParseCoordinates(text_, outer_);
    }
  }

  // Stores the open geometry, outer ring first, as its placemark's next one.
  // A placemark's geometries are consecutive in the document; one that
  // would come after another placemark's (invalid nesting) is dropped.
  void CommitGeometry() {
    geometryDepth_ = 0;
    ringEnds_.assign(1, static_cast<std::uint32_t>(outer_.size()));
    for (const auto& [b, e] : rings_) {
      outer_.insert(outer_.end(), points_.begin() + static_cast<std::ptrdiff_t>(b),
                    points_.begin() + static_cast<std::ptrdiff_t>(e));
      ringEnds_.push_back(static_cast<std::uint32_t>(outer_.size()));
    }
    Feature* f = geometryOwner_;
    const std::size_t next = document_->geometry.size();
    if (f->geometryCount() != 0 && f->firstGeometry() + f->geometryCount() != next) return;
    if (document_->geometry.Add(geometryKind_, outer_, ringEnds_) < 0) {
      if (error_.empty()) error_ = "the document holds more points than the globe keeps";
      return;
    }
    const auto first = f->geometryCount() != 0 ? f->firstGeometry() : next;
    f->SetGeometry(document_, static_cast<std::uint32_t>(first),
                   static_cast<std::uint32_t>(f->geometryCount() + 1));
  }

  std::shared_ptr<PlaceDocument> document_;
  std::vector<Tag> tags_;
  std::vector<Open> stack_;
  std::shared_ptr<Feature> root_;

  bool collect_ = false;
  std::string text_;  // the collected text of the element that is ending

  KmlStyle style_;
  std::string styleId_, styleMapId_, pairKey_, pairUrl_;
  bool inStyle_ = false, styleInPlacemark_ = false;

  std::size_t geometryDepth_ = 0;  // tags_.size() while a geometry is open, else 0
  GeometryKind geometryKind_ = GeometryKind::Point;
  Feature* geometryOwner_ = nullptr;
  std::vector<StoredPoint> outer_, points_;  // the outer ring; the holes
  std::vector<std::pair<std::size_t, std::size_t>> rings_;  // holes in points_
  std::vector<std::uint32_t> ringEnds_;
};

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

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
  reader.setNamespaces(false);  // elements are known by their local names
  reader.setContentHandler(&builder);
  if (!reader.parseURL(path)) return {nullptr, reader.lastError()};
  if (!builder.error_.empty()) return {nullptr, builder.error_};
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
  reader.setNamespaces(false);  // elements are known by their local names
  reader.setContentHandler(&builder);
  if (!reader.parse(text)) return {nullptr, reader.lastError()};
  if (!builder.error_.empty()) return {nullptr, builder.error_};
  return {builder.Finish("Untitled"), {}};
}

}  // namespace altimar::earth
