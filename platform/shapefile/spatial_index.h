// A packed R-tree (Sort-Tile-Recursive bulk load) over the extents of the
// non-null shapes of a ShapeSet. Built once per open; a shape appended
// afterwards marks it stale and the next search rebuilds it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/shapefile/shape_distance.h"
#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

class SpatialIndex {
 public:
  void Build(const ShapeSet& set);
  void Clear();
  bool empty() const { return nodes_.empty(); }

  struct Nearest {
    int fid = -1;
    double squaredDistance = 0;  // in the scaled degrees of shape_distance.h
  };
  // Best-first search: nodes and shapes come off a queue ordered by the least
  // distance they can have, shapes are measured exactly when they come up, and
  // the first measured shape to come up is the nearest. Ties go to the lowest
  // FID. fid -1 when the set has no geometry.
  Nearest FindNearest(const ShapeSet& set, const QueryPoint& q) const;

  // FIDs (ascending) of the shapes whose extent meets the box, borders
  // included.
  std::vector<int> FindInExtent(const Extent& box) const;

  // FIDs (ascending) of the shapes at a squared distance <= limit.
  std::vector<int> FindWithin(const ShapeSet& set, const QueryPoint& q, double squaredLimit) const;

 private:
  // The records of leaves whose entries pass entryIsFound, walking only
  // into nodes that pass nodeMayHold; ascending.
  template <class NodeTest, class EntryTest>
  std::vector<int> Collect(NodeTest nodeMayHold, EntryTest entryIsFound) const;

  struct Node {
    Extent extent;
    std::uint32_t first;  // first child node, or first entry of a leaf
    std::uint32_t count;
    bool leaf;
  };
  std::vector<Node> nodes_;  // the root is the last node
  std::vector<int> entries_;  // FIDs, grouped by leaf
  std::vector<Extent> entryExtents_;
};

}  // namespace altimar::shapefile
