#include "app/user_kml.h"

#include "app/file_reading.h"

namespace altimar::app {

std::string OpenUserKml(automation::IApplicationGE& globe, const std::string& path) {
  if (std::string why = CheckRegularFile(path); !why.empty()) return path + " " + why;
  try {
    globe.OpenKmlFile(path, 1);
  } catch (const automation::AutomationError& e) {
    return e.what();
  }
  return {};
}

}  // namespace altimar::app
