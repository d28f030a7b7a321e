// The clock face the properties window shows inside the globe's render
// window: assets/clock.svg, compiled into the program.
#pragma once

#include <string>
#include <string_view>

namespace altimar::data {

// The picture's SVG text.
std::string_view ClockSvg();

// Makes sure programDir has clock.svg and returns its path. When no file is
// there it writes the compiled-in picture, through a temporary file so that a
// failed write never leaves half a picture; one already there is left as it
// is. A folder that takes no file is no error: the path is returned anyway.
std::string EnsureClockSvg(const std::string& programDir);

}  // namespace altimar::data
