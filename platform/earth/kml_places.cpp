#include "platform/earth/kml_places.h"

#include <vector>

#include "platform/sax/sax_reader.h"

namespace altimar::earth {
namespace {

bool IsFeatureElement(const std::string& local) {
  return local == "Document" || local == "Folder" || local == "Placemark" ||
         local == "NetworkLink" || local == "GroundOverlay" || local == "ScreenOverlay" ||
         local == "PhotoOverlay";
}

// Builds the tree while the reader walks the document. The outermost
// feature (usually the Document) becomes the root itself.
class PlacesBuilder final : public sax::ContentHandler {
 public:
  void startElement(const std::string&, const std::string& local, const std::string&,
                    const sax::Attributes&) override {
    ++depth_;
    text_.clear();
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
  }

  // Network links and the href each names.
  std::vector<std::pair<std::shared_ptr<Feature>, std::string>> links_;

  std::shared_ptr<Feature> Finish(const std::string& fallbackName) {
    if (!root_) root_ = std::make_shared<Feature>(fallbackName);
    else if (root_->get_Name().empty()) root_->set_name(fallbackName);
    return root_;
  }

 private:
  struct Open {
    std::shared_ptr<Feature> feature;
    int depth;
    bool named;
    bool isLink;
  };
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
