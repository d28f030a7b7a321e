// The globe's places: a tree of features with a name, a visibility and
// children (My Places, Temporary Places, and what KML loads into them).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/ge_interfaces.h"

namespace altimar::earth {

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
  // Replaces the child loaded from the same source, or adds it at the end.
  void ReplaceOrAddBySource(std::shared_ptr<Feature> f);

  // Where a loaded feature came from: a file path, or empty for KML text.
  const std::string& source() const { return source_; }
  void set_source(std::string s) { source_ = std::move(s); }

 private:
  std::string name_;
  bool visible_ = true;
  std::string source_;
  std::vector<std::shared_ptr<Feature>> children_;
};

}  // namespace altimar::earth
