#include "contour/chunked_text.h"

#include <gtest/gtest.h>

#include <string>

namespace altimar::testing {
namespace {

TEST(ChunkedText, KeepsEveryByteInOrderAcrossChunks) {
  contour::ChunkedText t;
  std::string expected;
  for (int n = 0; n < 5000; ++n) {
    std::string piece(static_cast<std::size_t>(n % 97 + (n % 500 == 0 ? 70000 : 0)),
                      static_cast<char>('a' + n % 26));
    t.append(piece);
    expected += piece;
  }
  EXPECT_EQ(t.size(), expected.size());
  EXPECT_EQ(t.str(), expected);
}

}  // namespace
}  // namespace altimar::testing
