// The globe's places: a tree of features with a name, a visibility and
// children (My Places, Temporary Places, and what KML loads into them).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/ge_interfaces.h"

namespace altimar::earth {

// KML colours are aabbggrr.
struct KmlStyle {
  std::uint32_t lineColor = 0xFFFFFFFF;
  double lineWidth = 1.0;
  std::uint32_t polyColor = 0xFFFFFFFF;
  bool fill = true, outline = true;
  std::uint32_t iconColor = 0xFFFFFFFF;
  std::uint32_t labelColor = 0xFFFFFFFF;
};

struct GeoPoint {
  double lon = 0, lat = 0, alt = 0;
};

struct Geometry {
  enum Kind { Point, LineString, LinearRing, Polygon } kind = Point;
  std::vector<GeoPoint> coords;              // the outer ring of a polygon
  std::vector<std::vector<GeoPoint>> holes;  // a polygon's inner rings
};

class Feature final : public host::IFeatureGE {
 public:
  explicit Feature(std::string name) : name_(std::move(name)) {}

  std::string get_Name() const override { return name_; }
  void set_name(std::string n) { name_ = std::move(n); }
  int get_Visibility() const override { return visible_ ? 1 : 0; }
  void put_Visibility(int v) override { visible_ = v != 0; }
  std::shared_ptr<host::IFeatureCollectionGE> GetChildren() const override;

  const std::vector<std::shared_ptr<Feature>>& children() const { return children_; }
  void AddChild(std::shared_ptr<Feature> f) { children_.push_back(std::move(f)); }
  void ClearChildren() { children_.clear(); }
  // Replaces the child loaded from the same source, or adds it at the end.
  void ReplaceOrAddBySource(std::shared_ptr<Feature> f);

  // Where a loaded feature came from: a file path, or empty for KML text.
  const std::string& source() const { return source_; }
  void set_source(std::string s) { source_ = std::move(s); }

  // A placemark's geometry and style; a document's shared styles.
  std::vector<Geometry> geometry;
  std::string styleUrl;
  std::optional<KmlStyle> inlineStyle;
  std::map<std::string, KmlStyle> styles;         // by id, kept on the loaded document's root
  std::map<std::string, std::string> styleMaps;   // id -> the normal style's url
  // The style that applies to this feature, looked up in root's shared styles.
  KmlStyle ResolveStyle(const Feature& root) const;

 private:
  std::string name_;
  bool visible_ = true;
  std::string source_;
  std::vector<std::shared_ptr<Feature>> children_;
};

}  // namespace altimar::earth
