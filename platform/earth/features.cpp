#include "platform/earth/features.h"

namespace altimar::earth {
namespace {

// A snapshot of a feature's children, 1-based as the automation interface counts.
class FeatureCollection final : public automation::IFeatureCollectionGE {
 public:
  explicit FeatureCollection(std::vector<std::shared_ptr<Feature>> items)
      : items_(std::move(items)) {}
  int get_Count() const override { return static_cast<int>(items_.size()); }
  std::shared_ptr<automation::IFeatureGE> Item(int index) const override {
    if (index < 1 || index > get_Count())
      throw automation::AutomationError("Feature index out of range: " + std::to_string(index));
    return items_[static_cast<std::size_t>(index - 1)];
  }

 private:
  std::vector<std::shared_ptr<Feature>> items_;
};

}  // namespace

std::shared_ptr<automation::IFeatureCollectionGE> Feature::GetChildren() const {
  return std::make_shared<FeatureCollection>(children_);
}

void Feature::SetGeometry(std::uint32_t piece, std::uint32_t first, std::uint32_t count) {
  piece_ = piece;
  firstGeometry_ = first;
  geometryCount_ = count;
}

KmlStyle Feature::ResolveStyle() const {
  if (inlineStyle) return *inlineStyle;
  if (!document_) return {};
  const PlaceDocument& root = *document_;
  std::string id = styleUrl.empty() || styleUrl[0] != '#' ? styleUrl : styleUrl.substr(1);
  for (int hop = 0; hop < 4 && !id.empty(); ++hop) {
    if (auto it = root.styles.find(id); it != root.styles.end()) return it->second;
    auto map = root.styleMaps.find(id);
    if (map == root.styleMaps.end()) break;
    id = map->second.empty() || map->second[0] != '#' ? map->second : map->second.substr(1);
  }
  return {};
}

void Feature::ReplaceOrAddBySource(std::shared_ptr<Feature> f) {
  if (!f->source().empty()) {
    for (auto& child : children_) {
      if (child->source() == f->source()) {
        child = std::move(f);
        return;
      }
    }
  }
  children_.push_back(std::move(f));
}

}  // namespace altimar::earth
