#include "platform/shapefile/shapelib_errors.h"

namespace altimar::shapefile {
namespace {

thread_local std::string lastMessage;

void Keep(const char* message) { lastMessage = message ? message : ""; }

SAHooks MakeHooks() {
  SAHooks h;
  SASetupDefaultHooks(&h);
  h.Error = &Keep;
  return h;
}

}  // namespace

ShapelibErrors::ShapelibErrors() { lastMessage.clear(); }

SAHooks* ShapelibErrors::hooks() {
  static SAHooks h = MakeHooks();
  return &h;
}

std::string ShapelibErrors::Describe() const {
  if (lastMessage.empty()) return {};
  std::string m = lastMessage;
  while (!m.empty() && (m.back() == '\n' || m.back() == '.')) m.pop_back();
  return ": " + m;
}

}  // namespace altimar::shapefile
