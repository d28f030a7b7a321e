// The embedded default terrain: a deterministic, procedural, global relief.
// Continents and ocean basins come from low-frequency noise; mountain belts
// from ridged multifractal noise under a mountain mask. The places the add-on
// flies to (48 N 11 E, 48 N 105 E, 20.52 N 100 W) lie on mountainous land,
// and 10 N 100 E in open sea. Heights run from about -4000 m to 4800 m.
#pragma once

#include "platform/earth/terrain_source.h"

namespace altimar::earth {

class ProceduralTerrain final : public TerrainSource {
 public:
  std::optional<double> HeightAt(double lon, double lat) const override { return Height(lon, lat); }
  double MaxAbsHeight() const override { return 4800.0; }
  // The same, without the optional: the procedural terrain has data everywhere.
  static double Height(double lon, double lat);
};

}  // namespace altimar::earth
