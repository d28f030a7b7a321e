// The level list as the user types it: any text, any length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "contour/contour.h"
#include "contour/level_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static altimar::win::Desktop desktop(altimar::win::Clock::Kind::Virtual);
  static altimar::runtime::Pcg32 random(1);
  static altimar::contour::Contour c(desktop, random);
  desktop.SetQuietMessageBoxes(true);
  c.LevelList.assign(reinterpret_cast<const char*>(data), size);
  c.NumLevels = 0;
  if (c.LevelsFromList()) {
    if (c.NumLevels < 0 || c.NumLevels > 1001) std::abort();
    for (int k = 0; k < c.NumLevels; ++k)
      if (!std::isfinite(c.Levels[static_cast<std::size_t>(k)])) std::abort();
  }
  (void)altimar::contour::LeadingNumber(c.LevelList);
  return 0;
}
