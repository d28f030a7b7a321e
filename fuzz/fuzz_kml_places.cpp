// KML text handed to the globe: parsed into a place tree or refused.
#include <cstdint>
#include <string_view>

#include "platform/earth/kml_places.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto r = altimar::earth::LoadKmlText(std::string_view(reinterpret_cast<const char*>(data), size));
  if (r.root) (void)r.root->GetChildren()->get_Count();
  return 0;
}
