// A plain text of a place tree: each feature's name, visibility, resolved
// style and geometry, indented by depth. For comparing two loadings.
#pragma once

#include <string>

#include "platform/earth/features.h"

namespace altimar::earth {

std::string DumpPlaces(const Feature& root);

}  // namespace altimar::earth
