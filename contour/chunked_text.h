// A text that grows by appending, kept in chunks so that it never has to be
// copied as it grows and wastes at most one partly filled chunk. The contour
// document is held this way per level and written out piece by piece.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace altimar::contour {

class ChunkedText {
 public:
  void append(const char* data, std::size_t n) {
    if (n <= capacity_ - used_) {
      std::memcpy(current_ + used_, data, n);
      used_ += n;
      size_ += n;
      return;
    }
    AppendSlow(data, n);
  }
  void append(std::string_view s) { append(s.data(), s.size()); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // Calls f(std::string_view) for every piece, in order.
  template <typename F>
  void ForEachPiece(F&& f) const {
    for (std::size_t c = 0; c < chunks_.size(); ++c)
      f(std::string_view(chunks_[c].get(), c + 1 == chunks_.size() ? used_ : lengths_[c]));
  }
  std::string str() const;

 private:
  void AppendSlow(const char* data, std::size_t n);
  void NewChunk(std::size_t atLeast);

  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<std::size_t> lengths_;  // filled length of each chunk but the last
  char* current_ = nullptr;
  std::size_t used_ = 0, capacity_ = 0, size_ = 0;
};

}  // namespace altimar::contour
