// The text of a KML <coordinates> element: "lon,lat[,alt]" tuples separated
// by blanks. A tuple that is not two or three numbers (more are ignored), or
// whose longitude is outside -360..360 or latitude outside -90..90, is skipped.
#pragma once

#include <string_view>
#include <vector>

#include "platform/earth/place_geometry.h"

namespace altimar::earth {

// Appends the tuples of text to out.
void ParseCoordinates(std::string_view text, std::vector<StoredPoint>& out);

}  // namespace altimar::earth
