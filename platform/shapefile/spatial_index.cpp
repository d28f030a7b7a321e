#include "platform/shapefile/spatial_index.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace altimar::shapefile {
namespace {

constexpr std::size_t kFanout = 16;

Extent Union(const Extent& a, const Extent& b) {
  return Extent{std::min(a.xmin, b.xmin), std::min(a.ymin, b.ymin), std::max(a.xmax, b.xmax),
                std::max(a.ymax, b.ymax)};
}

bool Meets(const Extent& a, const Extent& b) {
  return a.xmin <= b.xmax && b.xmin <= a.xmax && a.ymin <= b.ymax && b.ymin <= a.ymax;
}

double CentreX(const Extent& e) { return (e.xmin + e.xmax) / 2; }
double CentreY(const Extent& e) { return (e.ymin + e.ymax) / 2; }

// Sort-Tile-Recursive order of items by their extents: vertical slices by x
// centre, each sorted by y centre, so consecutive runs of kFanout are compact.
template <class Item, class ExtentOf>
void StrOrder(std::vector<Item>& items, ExtentOf extentOf) {
  const std::size_t groups = (items.size() + kFanout - 1) / kFanout;
  const auto slices = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(groups))));
  const std::size_t perSlice = std::max<std::size_t>(1, slices) * kFanout;
  std::sort(items.begin(), items.end(),
            [&](const Item& a, const Item& b) { return CentreX(extentOf(a)) < CentreX(extentOf(b)); });
  for (std::size_t s = 0; s < items.size(); s += perSlice) {
    const auto end = items.begin() + static_cast<std::ptrdiff_t>(std::min(items.size(), s + perSlice));
    std::sort(items.begin() + static_cast<std::ptrdiff_t>(s), end,
              [&](const Item& a, const Item& b) { return CentreY(extentOf(a)) < CentreY(extentOf(b)); });
  }
}

}  // namespace

void SpatialIndex::Clear() {
  nodes_.clear();
  entries_.clear();
  entryExtents_.clear();
}

void SpatialIndex::Build(const ShapeSet& set) {
  Clear();
  for (int fid = 0; fid < set.size(); ++fid)
    if (!set.isNull(fid)) entries_.push_back(fid);
  if (entries_.empty()) return;
  StrOrder(entries_, [&](int fid) -> const Extent& { return set.record(fid).extent; });
  entryExtents_.reserve(entries_.size());
  for (int fid : entries_) entryExtents_.push_back(set.record(fid).extent);

  // Leaves over runs of entries, then levels of parents until one node is left.
  std::vector<Node> level;
  for (std::size_t i = 0; i < entries_.size(); i += kFanout) {
    Node n{entryExtents_[i], static_cast<std::uint32_t>(i),
           static_cast<std::uint32_t>(std::min(kFanout, entries_.size() - i)), true};
    for (std::uint32_t k = 1; k < n.count; ++k) n.extent = Union(n.extent, entryExtents_[i + k]);
    level.push_back(n);
  }
  for (;;) {
    if (level.size() > 1) StrOrder(level, [](const Node& n) -> const Extent& { return n.extent; });
    const auto base = static_cast<std::uint32_t>(nodes_.size());
    nodes_.insert(nodes_.end(), level.begin(), level.end());
    if (level.size() == 1) break;
    std::vector<Node> parents;
    for (std::size_t i = 0; i < level.size(); i += kFanout) {
      Node n{level[i].extent, base + static_cast<std::uint32_t>(i),
             static_cast<std::uint32_t>(std::min(kFanout, level.size() - i)), false};
      for (std::uint32_t k = 1; k < n.count; ++k) n.extent = Union(n.extent, level[i + k].extent);
      parents.push_back(n);
    }
    level = std::move(parents);
  }
}

SpatialIndex::Nearest SpatialIndex::FindNearest(const ShapeSet& set, const QueryPoint& q) const {
  if (nodes_.empty()) return {};
  // kind 0: a node; 1: an entry bounded by its extent; 2: an entry measured.
  // At equal keys bounds come first, so a measured tie waits for every shape
  // that could still tie with it, and then the lowest FID wins.
  struct Item {
    double key;
    int kind;
    std::uint32_t id;  // node index, or entry index
    int fid;
  };
  const auto later = [](const Item& a, const Item& b) {
    if (a.key != b.key) return a.key > b.key;
    if (a.kind != b.kind) return a.kind > b.kind;
    return a.fid > b.fid;
  };
  std::vector<Item> storage;
  storage.reserve(256);
  std::priority_queue<Item, std::vector<Item>, decltype(later)> queue(later, std::move(storage));
  const auto root = static_cast<std::uint32_t>(nodes_.size() - 1);
  queue.push(Item{SquaredDistanceToExtent(q, nodes_[root].extent), 0, root, -1});
  while (!queue.empty()) {
    const Item top = queue.top();
    queue.pop();
    if (top.kind == 2) return Nearest{top.fid, top.key};
    if (top.kind == 1) {
      const double d = SquaredDistanceToShape(q, set, top.fid);
      queue.push(Item{d, 2, top.id, top.fid});
      continue;
    }
    const Node& n = nodes_[top.id];
    for (std::uint32_t k = 0; k < n.count; ++k) {
      const std::uint32_t c = n.first + k;
      if (n.leaf)
        queue.push(Item{SquaredDistanceToExtent(q, entryExtents_[c]), 1, c, entries_[c]});
      else
        queue.push(Item{SquaredDistanceToExtent(q, nodes_[c].extent), 0, c, -1});
    }
  }
  return {};
}

template <class NodeTest, class EntryTest>
std::vector<int> SpatialIndex::Collect(NodeTest nodeMayHold, EntryTest entryIsFound) const {
  std::vector<int> found;
  if (nodes_.empty()) return found;
  std::vector<std::uint32_t> stack{static_cast<std::uint32_t>(nodes_.size() - 1)};
  while (!stack.empty()) {
    const Node& n = nodes_[stack.back()];
    stack.pop_back();
    if (!nodeMayHold(n.extent)) continue;
    for (std::uint32_t k = 0; k < n.count; ++k) {
      const std::uint32_t c = n.first + k;
      if (!n.leaf)
        stack.push_back(c);
      else if (entryIsFound(entryExtents_[c], entries_[c]))
        found.push_back(entries_[c]);
    }
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<int> SpatialIndex::FindInExtent(const Extent& box) const {
  return Collect([&](const Extent& e) { return Meets(e, box); },
                 [&](const Extent& e, int) { return Meets(e, box); });
}

std::vector<int> SpatialIndex::FindWithin(const ShapeSet& set, const QueryPoint& q,
                                          double squaredLimit) const {
  return Collect([&](const Extent& e) { return SquaredDistanceToExtent(q, e) <= squaredLimit; },
                 [&](const Extent& e, int record) {
                   return SquaredDistanceToExtent(q, e) <= squaredLimit &&
                          SquaredDistanceToShape(q, set, record) <= squaredLimit;
                 });
}

}  // namespace altimar::shapefile
