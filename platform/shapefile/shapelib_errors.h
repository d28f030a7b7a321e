// Shapelib reports errors through a hook that prints to stderr; these hooks
// keep the message instead, so that it can go into LastError().
#pragma once

#include <shapefil.h>

#include <string>

namespace altimar::shapefile {

class ShapelibErrors {
 public:
  ShapelibErrors();  // forgets earlier messages
  // Default file hooks with the message kept; valid for the whole program.
  SAHooks* hooks();
  // ": <message>" for the last message since construction, or empty.
  std::string Describe() const;
};

}  // namespace altimar::shapefile
