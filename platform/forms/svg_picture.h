// SVG pictures for the browser control: the plain drawing part of SVG —
// rect, circle, ellipse, line, polyline, polygon, path (lines and curves,
// flattened), text — with fill, stroke and stroke width (as attributes or
// in style), groups that pass them on and translate, and the picture's
// size and viewBox. Anything else is skipped. Files are untrusted: the
// picture is at most 4096 pixels a side and the drawing is bounded.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/font.h"
#include "platform/win/surface.h"

namespace altimar::forms {

// Draws the document on a white picture of its size. Returns "" or why
// it could not (not XML, not SVG).
std::string DrawSvg(std::string_view document, win::Surface& out, win::FontEngine& fonts);
std::string ReadSvg(const std::string& path, win::Surface& out, win::FontEngine& fonts);

}  // namespace altimar::forms
