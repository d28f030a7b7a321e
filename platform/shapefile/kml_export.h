// KML documents made from shapefiles: the whole file with its attributes,
// and a selection of features found by a search.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/shapefile/shape_set.h"

namespace altimar::shapefile {

using ExportProgress = std::function<void(int done, int total)>;

// Writes every record of base.shp as a Placemark, in FID order:
//   <Placemark id="f12"><name>..</name><styleUrl>#shape</styleUrl>
//   <ExtendedData><Data name="FIELD"><value>..</value></Data>...</ExtendedData>
//   geometry</Placemark>
// The name is the value of the first field called "name" (any case), or else
// of the first whose name starts with "name", or else the FID; a record
// without that value is named by its FID. Attributes come from base.dbf when
// there is one (see dbf_table.h for the value text), decoded to UTF-8. A null
// shape gives a Placemark without geometry. Progress is reported every 1000
// records and at the end. Returns the records written, or -1 with `error`
// (the document at kmlPath is then left as it was).
int ExportShapefileToKml(const std::string& base, const std::string& kmlPath, const ExportProgress& progress,
                         std::string& error);

// A document of the given features (name: the FID, style "selection"), and,
// when `outline` has vertices, a Placemark "outline" with them as a
// LineString.
bool WriteSelectionKml(const std::string& kmlPath, const ShapeSet& set, const std::vector<int>& fids,
                       const std::vector<Vertex>& outline, std::string& error);

}  // namespace altimar::shapefile
