// Conversions the selection tools share: client pixels of the 3D view to
// the view coordinates the globe takes (x = 2 px / w - 1, y = 1 - 2 py / h),
// the text boxes that carry them, a circle as KML coordinate text, and FID
// lists as the shapefile library gives them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/desktop.h"

namespace altimar::workspace {

// Whether Esc is held down now (the tools' clients end on it).
inline bool EscHeld(win::Desktop& d) {
  return (d.GetAsyncKeyState(win::VK_ESCAPE) & 0x8000) != 0;
}

struct ViewPoint {
  double x = 0, y = 0;
};

// The view coordinates of a client pixel; nullopt for a view of no size.
std::optional<ViewPoint> ToViewPoint(win::POINT client, const win::RECT& view);
// Decimal text of a view coordinate, "." always.
std::string ViewText(double v);
// A view coordinate read back from its text box: nullopt when the text is
// not a number, not finite, or outside -1..1 ("no point" is below -2).
std::optional<double> ViewValue(const std::string& text);

// The circle around (lon, lat) of `radius` metres as KML coordinate text:
// n + 1 tuples "x,y,0" from the angle 0 round to 360 degrees, the last the
// same as the first. Flat: longitudes are not widened with the latitude.
// At a pole the circle is the parallel `radius` away from it.
std::string CircleOutline(double lon, double lat, double radius, int n, bool flat);

// The FIDs of a list "3,17,20," (digits and "-" make a number, any other
// character ends it; empty pieces are skipped; a number without a separator
// after it is not taken).
std::vector<std::int32_t> ParseFidList(std::string_view list);

}  // namespace altimar::workspace
