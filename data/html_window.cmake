# The HTML properties window and the clock face it shows. assets/clock.svg is
# compiled in (embedded/clock_svg.h, its bytes as an array), so the program
# can put the picture into its folder without shipping the file beside it.
set(altimar_clock_svg "${CMAKE_SOURCE_DIR}/assets/clock.svg")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${altimar_clock_svg}")
file(READ "${altimar_clock_svg}" altimar_clock_hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," altimar_clock_bytes "${altimar_clock_hex}")
file(CONFIGURE OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/embedded/clock_svg.h" CONTENT
  "// Generated from assets/clock.svg; edit that file, not this one.
#pragma once
inline constexpr unsigned char kClockSvgBytes[] = {@altimar_clock_bytes@};
" @ONLY)
target_sources(altimar_data PRIVATE html_window.cpp clock_face.cpp)
target_include_directories(altimar_data PRIVATE "${CMAKE_CURRENT_BINARY_DIR}/embedded")
