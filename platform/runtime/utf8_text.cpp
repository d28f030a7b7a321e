#include "platform/runtime/utf8_text.h"

#include <algorithm>

namespace altimar::runtime {
namespace {
bool IsLead(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
}  // namespace

std::size_t Utf8Length(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), IsLead));
}

std::string_view Utf8Prefix(std::string_view text, std::size_t n) {
  std::size_t i = 0, count = 0;
  for (; i < text.size(); ++i) {
    if (IsLead(text[i])) {
      if (count == n) break;
      ++count;
    }
  }
  return text.substr(0, i);
}

}  // namespace altimar::runtime
