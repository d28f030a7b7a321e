// SVG pictures: whatever bytes, drawn on a bounded picture or refused.
#include <cstdint>
#include <string_view>

#include "platform/forms/svg_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::FontEngine fonts;
  altimar::win::Surface s;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (altimar::forms::DrawSvg(text, s, fonts).empty() && s.width() > 0) (void)s.at(s.width() - 1, s.height() - 1);
  return 0;
}
