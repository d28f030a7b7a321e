// The globe's places: a tree of features with a name, a visibility and
// children (My Places, Temporary Places, and what KML loads into them).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/ge_interfaces.h"
#include "platform/earth/place_geometry.h"

namespace altimar::earth {

class Feature final : public automation::IFeatureGE {
 public:
  explicit Feature(std::string name) : name_(std::move(name)) {}

  std::string get_Name() const override { return name_; }
  void set_name(std::string n) { name_ = std::move(n); }
  int get_Visibility() const override { return visible_ ? 1 : 0; }
  void put_Visibility(int v) override { visible_ = v != 0; }
  std::shared_ptr<automation::IFeatureCollectionGE> GetChildren() const override;

  const std::vector<std::shared_ptr<Feature>>& children() const { return children_; }
  void AddChild(std::shared_ptr<Feature> f) { children_.push_back(std::move(f)); }
  void ClearChildren() { children_.clear(); }
  // Replaces the child loaded from the same source, or adds it at the end.
  void ReplaceOrAddBySource(std::shared_ptr<Feature> f);

  // Where a loaded feature came from: a file path, or empty for KML text.
  const std::string& source() const { return source_; }
  void set_source(std::string s) { source_ = std::move(s); }

  // A placemark's geometry: geometries [first, first + count) of its
  // document's (a count of 0 for features without geometry).
  std::size_t geometryCount() const { return geometryCount_; }
  std::size_t firstGeometry() const { return firstGeometry_; }
  std::uint32_t geometryPiece() const { return piece_; }
  GeometryView geometry(std::size_t i) const {
    return (*document_->pieces[piece_])[firstGeometry_ + i];
  }
  // Geometries [first, first + count) of the document's piece `piece`.
  void SetGeometry(std::uint32_t piece, std::uint32_t first, std::uint32_t count);
  // The document this feature was loaded with (its styles), or null.
  const std::shared_ptr<const PlaceDocument>& document() const { return document_; }
  void set_document(std::shared_ptr<const PlaceDocument> d) { document_ = std::move(d); }

  std::string styleUrl;
  std::optional<KmlStyle> inlineStyle;
  // The style that applies to this feature: its own, or the one its
  // styleUrl names in its document's styles (through style maps).
  KmlStyle ResolveStyle() const;

 private:
  std::string name_;
  bool visible_ = true;
  std::string source_;
  std::vector<std::shared_ptr<Feature>> children_;
  std::shared_ptr<const PlaceDocument> document_;
  std::uint32_t piece_ = 0, firstGeometry_ = 0, geometryCount_ = 0;
};

}  // namespace altimar::earth
