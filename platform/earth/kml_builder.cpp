#include "platform/earth/kml_builder.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "platform/earth/kml_coordinates.h"

namespace altimar::earth {

// The elements the places are built from; everything else is Other. Each
// name is matched once, when its element starts.
enum class KmlTag : std::uint8_t {
  Other, Document, Folder, Placemark, NetworkLink, GroundOverlay, ScreenOverlay, PhotoOverlay,
  Style, StyleMap, Pair, Key, StyleUrl, LineStyle, PolyStyle, IconStyle, LabelStyle,
  Color, Width, Fill, Outline, Name, Visibility, Href,
  Point, LineString, LinearRing, Polygon, OuterBoundaryIs, InnerBoundaryIs, Coordinates,
  AltitudeMode,
};

namespace {

using Tag = KmlTag;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

KmlTag Classify(std::string_view n) {
  auto is = [&](std::string_view name) { return n == name; };
  switch (n.size()) {
    case 3: return is("key") ? KmlTag::Key : KmlTag::Other;
    case 4:
      return is("Pair") ? KmlTag::Pair : is("name") ? KmlTag::Name : is("fill") ? KmlTag::Fill
           : is("href") ? KmlTag::Href : KmlTag::Other;
    case 5:
      return is("Style") ? KmlTag::Style : is("Point") ? KmlTag::Point : is("color") ? KmlTag::Color
           : is("width") ? KmlTag::Width : KmlTag::Other;
    case 6: return is("Folder") ? KmlTag::Folder : KmlTag::Other;
    case 7: return is("outline") ? KmlTag::Outline : is("Polygon") ? KmlTag::Polygon : KmlTag::Other;
    case 8:
      return is("Document") ? KmlTag::Document : is("StyleMap") ? KmlTag::StyleMap
           : is("styleUrl") ? KmlTag::StyleUrl : KmlTag::Other;
    case 9:
      return is("Placemark") ? KmlTag::Placemark : is("LineStyle") ? KmlTag::LineStyle
           : is("PolyStyle") ? KmlTag::PolyStyle : is("IconStyle") ? KmlTag::IconStyle : KmlTag::Other;
    case 10:
      return is("LineString") ? KmlTag::LineString : is("LabelStyle") ? KmlTag::LabelStyle
           : is("LinearRing") ? KmlTag::LinearRing : is("visibility") ? KmlTag::Visibility : KmlTag::Other;
    case 11:
      return is("coordinates") ? KmlTag::Coordinates : is("NetworkLink") ? KmlTag::NetworkLink : KmlTag::Other;
    case 12:
      return is("PhotoOverlay") ? KmlTag::PhotoOverlay : is("altitudeMode") ? KmlTag::AltitudeMode
           : KmlTag::Other;
    case 13:
      return is("GroundOverlay") ? KmlTag::GroundOverlay : is("ScreenOverlay") ? KmlTag::ScreenOverlay
           : KmlTag::Other;
    case 15:
      return is("outerBoundaryIs") ? KmlTag::OuterBoundaryIs
           : is("innerBoundaryIs") ? KmlTag::InnerBoundaryIs : KmlTag::Other;
    default: return KmlTag::Other;
  }
}

bool IsFeature(KmlTag t) { return t >= KmlTag::Document && t <= KmlTag::PhotoOverlay; }
bool IsGeometry(KmlTag t) { return t >= KmlTag::Point && t <= KmlTag::Polygon; }
bool IsStyleKind(KmlTag t) { return t >= KmlTag::LineStyle && t <= KmlTag::LabelStyle; }

GeometryKind KindOf(KmlTag t) {
  switch (t) {
    case KmlTag::Point: return GeometryKind::Point;
    case KmlTag::LineString: return GeometryKind::LineString;
    case KmlTag::Polygon: return GeometryKind::Polygon;
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

}  // namespace

PlacesBuilder::PlacesBuilder(sax::SaxReader& reader)
    : reader_(reader), document_(std::make_shared<PlaceDocument>()) {}

PlacesBuilder::~PlacesBuilder() = default;

Tag PlacesBuilder::Parent(std::size_t up) const {
  return tags_.size() > up ? tags_[tags_.size() - 1 - up] : Tag::Other;
}

void PlacesBuilder::Collect(bool on) {
  collect_ = on;
  ringHole_.reset();
  text_.clear();
}

void PlacesBuilder::EndPartAt(long long at, std::vector<std::string> open,
                              std::function<bool(bool matched)> finish) {
  partEnd_ = at;
  partEndOpen_ = std::move(open);
  partFinish_ = std::move(finish);
  namesDepth_ = partEndOpen_.size();
}

// At the first start tag at or past the part's end: true when the part
// stops there (the tag is not this part's).
bool PlacesBuilder::AtPartEnd() {
  const long long at = reader_.currentByteIndex();
  if (at < *partEnd_) return false;
  bool matched = at == *partEnd_ && tags_.size() == partEndOpen_.size();
  for (std::size_t i = 0; matched && i < partEndOpen_.size(); ++i)
    matched = openNames_[i] == partEndOpen_[i];
  partEnd_.reset();
  if (!partFinish_) {  // a later part
    endedAtSplit_ = matched;
    failed_ = !matched;
    reader_.stop();
    return true;
  }
  if (!matched) failed_ = true;
  if (partFinish_(matched) && matched) {
    endedAtSplit_ = true;
    reader_.stop();
    return true;
  }
  return false;
}

void PlacesBuilder::Refuse(const std::string& why) {
  if (error_.empty())
    error_ = why + " at line " + std::to_string(reader_.currentLine()) + ", column " +
             std::to_string(reader_.currentColumn());
  failed_ = true;
  reader_.stop();
}

void PlacesBuilder::OpenFeature(Tag tag) {
  const long long at = reader_.currentByteIndex();
  const bool standIn = partBegin_ >= 0 && at < partBegin_;
  if (!standIn) {
    // Checked against what this part has read; a later part also keeps the
    // worst margin, for the check against the whole file when it is joined.
    ++featureCount_;
    const long long used = static_cast<long long>(featureCount_ * kFeatureBytes);
    const long long read = at - std::max(partBegin_, 0LL);
    if (used > kBytesPerFileByte * read + kSpareBytes)
      return Refuse("more features than a file of this size may hold (" + std::to_string(featureCount_) +
                    " in " + std::to_string(read) + " bytes)");
    worstMargin_ = std::max(worstMargin_, used - kBytesPerFileByte * at);
  }
  auto f = std::make_shared<Feature>("");
  f->set_document(document_);
  // Stand-ins belong to no tree: each is joined to the real feature it
  // stands for, and only their children are taken.
  if (standIn) {
    standIns_.push_back({f, std::nullopt, std::nullopt});
  } else {
    features_.push_back(f.get());
    if (!stack_.empty()) stack_.back().feature->AddChild(f);
    else if (!root_) root_ = f;
  }
  stack_.push_back({std::move(f), tags_.size(), tag == Tag::NetworkLink,
                    standIn ? static_cast<int>(standIns_.size()) - 1 : -1});
}

void PlacesBuilder::startElement(std::string_view, std::string_view local, std::string_view qName,
                                 const sax::Attributes& atts) {
  // Once stopped, the reader may still report the end of an empty element.
  if (reader_.stopped()) return;
  if (cancel_ && cancel_->load(std::memory_order_relaxed)) {
    failed_ = true;
    reader_.stop();
    return;
  }
  if (partEnd_ && AtPartEnd()) return;
  if (tags_.size() >= kMaxDepth)
    return Refuse("elements nested deeper than " + std::to_string(kMaxDepth) + " levels");
  const Tag tag = Classify(local);
  const Tag parent = Parent(0);
  if (tag == Tag::Placemark && !firstPlacemarkSeen_) {
    firstPlacemarkSeen_ = true;
    const std::size_t depth = tags_.size();
    // Only containers may stand open across a split: their stand-ins carry
    // nothing a join could lose.
    const bool containers = std::all_of(tags_.begin(), tags_.end(), [](Tag t) {
      return t == Tag::Other || t == Tag::Document || t == Tag::Folder;
    });
    // Inside the root element: a placemark as the root would split the file
    // into several documents.
    if (onFirstPlacemark && containers && depth >= 1 && depth <= openNames_.size()) {
      const std::vector<std::string> open(openNames_.begin(),
                                          openNames_.begin() + static_cast<std::ptrdiff_t>(depth));
      onFirstPlacemark(open, reader_.currentByteIndex());
    }
    namesDepth_ = std::min(namesDepth_, depth);
  }
  tags_.push_back(tag);
  if (tags_.size() <= namesDepth_) {
    openNames_.resize(tags_.size());
    openNames_.back().assign(qName);
  }
  collect_ = false;
  if (tag == Tag::Other) return;
  if (IsFeature(tag)) return OpenFeature(tag);
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
      if (collect_) BeginRing(Parent(2) == Tag::InnerBoundaryIs);
      return;
    case Tag::AltitudeMode:
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
    geometryOwnerStandIn_ = stack_.back().standIn;
    geometryLifted_ = false;
    outer_.clear();
    holes_.clear();
    holeRanges_.clear();
  }
}

void PlacesBuilder::endElement(std::string_view, std::string_view, std::string_view) {
  if (tags_.empty() || reader_.stopped()) return;
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

void PlacesBuilder::characters(std::string_view t) {
  if (!collect_ || reader_.stopped()) return;
  if (ringHole_) return AppendCoordinates(t);
  if (text_.size() < kMaxText) text_.append(t.substr(0, kMaxText - text_.size()));
}

// The end of an element whose text was collected.
void PlacesBuilder::End(Tag tag, Tag parent) {
  switch (tag) {
    case Tag::Name:
    case Tag::Visibility: {
      Open& o = stack_.back();
      const int visible = text_.find('0') == std::string::npos ? 1 : 0;
      if (o.standIn >= 0) {
        StandIn& s = standIns_[static_cast<std::size_t>(o.standIn)];
        if (tag == Tag::Name) s.name = text_;
        else s.visibility = visible;
      }
      if (tag == Tag::Name) o.feature->set_name(text_);
      else o.feature->put_Visibility(visible);
      break;
    }
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
      EndRing();
      break;
    case Tag::AltitudeMode:
      geometryLifted_ = text_.find("relativeTo") != std::string::npos ||
                        text_.find("absolute") != std::string::npos;
      break;
    default:
      break;
  }
}

// Coordinates are read as they come: whole tuples once the text grows, so a
// long line never waits in memory as text. A "tuple" longer than kMaxText
// cannot be numbers: it is dropped up to the blank that ends it. The blanks
// are looked for with a plain loop: the parser hands the text over in many
// short pieces, and find_first_of/find_last_of call memchr once per
// character tested.
void PlacesBuilder::AppendCoordinates(std::string_view t) {
  if (skipTuple_) {
    const auto blank = std::find_if(t.begin(), t.end(), IsBlank);
    if (blank == t.end()) return;
    t.remove_prefix(static_cast<std::size_t>(blank - t.begin()));
    skipTuple_ = false;
  }
  for (std::size_t i = t.size(); i-- > 0;) {
    if (IsBlank(t[i])) {
      lastBlank_ = text_.size() + i;
      break;
    }
  }
  text_.append(t);
  if (text_.size() < kCoordinatesChunk) return;
  if (lastBlank_ != std::string::npos) {
    ParseCoordinates(std::string_view(text_).substr(0, lastBlank_), *ringHole_ ? holes_ : outer_);
    text_.erase(0, lastBlank_);
    lastBlank_ = std::string::npos;
  } else if (text_.size() > kMaxText) {
    text_.clear();
    skipTuple_ = true;
  }
}

// A ring of the open geometry: its outer one (the last given wins), or a hole.
void PlacesBuilder::BeginRing(bool hole) {
  ringHole_ = hole;
  skipTuple_ = false;
  lastBlank_ = std::string::npos;
  if (hole) holeBegin_ = holes_.size();
  else outer_.clear();
}

void PlacesBuilder::EndRing() {
  const bool hole = *ringHole_;
  ParseCoordinates(text_, hole ? holes_ : outer_);
  if (hole) holeRanges_.push_back({holeBegin_, holes_.size()});
  ringHole_.reset();
}

// Stores the open geometry, outer ring first, as its placemark's next one.
// A placemark's geometries are consecutive in the document; one that would
// come after another placemark's (invalid nesting) is dropped.
void PlacesBuilder::CommitGeometry() {
  geometryDepth_ = 0;
  if (geometryOwnerStandIn_ >= 0) {
    failed_ = true;  // geometry of an element open across the split: read whole instead
    return;
  }
  ringEnds_.assign(1, static_cast<std::uint32_t>(outer_.size()));
  for (const auto& [b, e] : holeRanges_) {
    outer_.insert(outer_.end(), holes_.begin() + static_cast<std::ptrdiff_t>(b),
                  holes_.begin() + static_cast<std::ptrdiff_t>(e));
    ringEnds_.push_back(static_cast<std::uint32_t>(outer_.size()));
  }
  Feature* f = geometryOwner_;
  PlaceGeometry& store = *document_->pieces.front();
  const std::size_t next = store.size();
  if (f->geometryCount() != 0 && f->firstGeometry() + f->geometryCount() != next) return;
  if (store.Add(geometryKind_, outer_, ringEnds_, geometryLifted_) < 0) {
    if (error_.empty()) error_ = "the document holds more points than the globe keeps";
    return;
  }
  const auto first = f->geometryCount() != 0 ? f->firstGeometry() : next;
  f->SetGeometry(0, static_cast<std::uint32_t>(first),
                 static_cast<std::uint32_t>(f->geometryCount() + 1));
}

bool PlacesBuilder::CanAbsorb(const PlacesBuilder& part, std::size_t featuresBefore) const {
  if (part.failed_ || part.standIns_.size() != stack_.size()) return false;
  // The features' budget as one reader would have checked it at each of them.
  return part.featureCount_ == 0 ||
         static_cast<long long>(featuresBefore * kFeatureBytes) + part.worstMargin_ <= kSpareBytes;
}

bool PlacesBuilder::Absorb(PlacesBuilder& part) {
  if (!CanAbsorb(part, featureCount_)) return false;
  for (std::size_t i = 0; i < stack_.size(); ++i) {
    Feature& real = *stack_[i].feature;
    StandIn& s = part.standIns_[i];
    for (const auto& child : s.feature->children()) real.AddChild(child);
    if (s.name) real.set_name(*s.name);
    if (s.visibility) real.put_Visibility(*s.visibility);
  }
  for (auto& [id, style] : part.document_->styles) document_->styles[id] = style;
  for (auto& [id, url] : part.document_->styleMaps) document_->styleMaps[id] = url;
  const auto piece = static_cast<std::uint32_t>(document_->pieces.size());
  document_->pieces.push_back(std::move(part.document_->pieces.front()));
  for (Feature* f : part.features_) {
    f->set_document(document_);
    if (f->geometryCount() != 0)
      f->SetGeometry(piece, static_cast<std::uint32_t>(f->firstGeometry()),
                     static_cast<std::uint32_t>(f->geometryCount()));
  }
  features_.insert(features_.end(), part.features_.begin(), part.features_.end());
  featureCount_ += part.featureCount_;
  part.features_.clear();
  for (auto& link : part.links_) links_.push_back(std::move(link));
  if (error_.empty()) error_ = part.error_;
  return true;
}

std::shared_ptr<Feature> PlacesBuilder::Finish(const std::string& fallbackName) {
  if (!root_) {
    root_ = std::make_shared<Feature>(fallbackName);
    root_->set_document(document_);
  } else if (root_->get_Name().empty()) {
    root_->set_name(fallbackName);
  }
  return root_;
}

}  // namespace altimar::earth
