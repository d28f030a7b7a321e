#include "platform/shapefile/kml_export.h"

#include <cctype>

#include "platform/shapefile/atomic_file.h"
#include "platform/shapefile/coordinate_text.h"
#include "platform/shapefile/dbf_table.h"
#include "platform/shapefile/kml_writer.h"
#include "platform/shapefile/shp_reader.h"
#include "platform/shapefile/text_encoding.h"

namespace altimar::shapefile {
namespace {

std::string Lower(const std::string& s) {
  std::string out;
  for (char c : s) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The field that names the Placemarks, or -1.
int NameField(const std::vector<DbfField>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (Lower(fields[i].name) == "name") return static_cast<int>(i);
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (Lower(fields[i].name).rfind("name", 0) == 0) return static_cast<int>(i);
  return -1;
}

std::string FileName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int ExportShapefileToKml(const std::string& base, const std::string& kmlPath, const ExportProgress& progress,
                         std::string& error) {
  ShapeSet set;
  std::string note;
  if (!LoadShapefile(base, set, error, note)) return -1;
  DbfTable table;
  const std::string dbfPath = SiblingFile(base, "dbf");
  if (FileExists(dbfPath) && !table.Open(dbfPath, error)) return -1;
  const int nameField = NameField(table.fields());

  AtomicFile file;
  if (!file.Open(kmlPath, error)) return -1;
  std::string out;
  out.reserve(1u << 21);
  AppendKmlDocumentStart(out, FileName(base), "shape");
  std::vector<std::string> values;
  const int total = set.size();
  for (int fid = 0; fid < total; ++fid) {
    const bool hasValues = table.ReadValues(fid, values);
    out += "<Placemark id=\"f";
    out += std::to_string(fid);
    out += "\"><name>";
    if (hasValues && nameField >= 0 && !values[static_cast<std::size_t>(nameField)].empty())
      AppendXmlEscaped(out, values[static_cast<std::size_t>(nameField)]);
    else
      out += std::to_string(fid);
    out += "</name><styleUrl>#shape</styleUrl>";
    if (hasValues && !values.empty()) {
      out += "<ExtendedData>";
      for (std::size_t i = 0; i < values.size(); ++i) {
        out += "<Data name=\"";
        AppendXmlEscaped(out, table.fields()[i].name);
        out += "\"><value>";
        AppendXmlEscaped(out, values[i]);
        out += "</value></Data>";
      }
      out += "</ExtendedData>";
    }
    AppendShapeGeometry(out, set, fid);
    out += "</Placemark>\n";
    file.WriteIfLarge(out);
    if (progress && (fid + 1) % 1000 == 0) progress(fid + 1, total);
  }
  AppendKmlDocumentEnd(out);
  file.Write(out);
  if (!file.Commit(error)) return -1;
  if (progress) progress(total, total);
  return total;
}

bool WriteSelectionKml(const std::string& kmlPath, const ShapeSet& set, const std::vector<int>& fids,
                       const std::vector<Vertex>& outline, std::string& error) {
  AtomicFile file;
  if (!file.Open(kmlPath, error)) return false;
  std::string out;
  AppendKmlDocumentStart(out, "Selection", "selection");
  for (int fid : fids) {
    out += "<Placemark><name>";
    out += std::to_string(fid);
    out += "</name><styleUrl>#selection</styleUrl>";
    AppendShapeGeometry(out, set, fid);
    out += "</Placemark>\n";
    file.WriteIfLarge(out);
  }
  if (!outline.empty()) {
    out += "<Placemark><name>outline</name><styleUrl>#selection</styleUrl><LineString><coordinates>";
    for (std::size_t i = 0; i < outline.size(); ++i) {
      if (i > 0) out += ' ';
      AppendTuple(out, outline[i]);
    }
    out += "</coordinates></LineString></Placemark>\n";
  }
  AppendKmlDocumentEnd(out);
  file.Write(out);
  return file.Commit(error);
}

}  // namespace altimar::shapefile
