#include "contour/chunked_text.h"

#include <algorithm>
#include <cstring>

namespace altimar::contour {
namespace {
// Chunks start small (most levels of a sparse run hold little) and grow to a
// ceiling that keeps the unused tail of each text small.
constexpr std::size_t kFirstChunk = 512;
constexpr std::size_t kLargestChunk = 64 * 1024;
}  // namespace

void ChunkedText::NewChunk(std::size_t atLeast) {
  if (!chunks_.empty()) lengths_.push_back(used_);
  std::size_t cap = capacity_ == 0 ? kFirstChunk : std::min(capacity_ * 2, kLargestChunk);
  cap = std::max(cap, atLeast);
  chunks_.push_back(std::make_unique_for_overwrite<char[]>(cap));
  current_ = chunks_.back().get();
  capacity_ = cap;
  used_ = 0;
}

void ChunkedText::AppendSlow(const char* data, std::size_t n) {
  // Fill the current chunk, then continue in a new one.
  const std::size_t room = capacity_ - used_;
  if (room > 0) {
    std::memcpy(current_ + used_, data, room);
    used_ += room;
    size_ += room;
    data += room;
    n -= room;
  }
  NewChunk(n);
  std::memcpy(current_, data, n);
  used_ = n;
  size_ += n;
}

std::string ChunkedText::str() const {
  std::string s;
  s.reserve(size_);
  ForEachPiece([&](std::string_view p) { s.append(p); });
  return s;
}

}  // namespace altimar::contour
