#include "app/window_options.h"

#include <CLI/CLI.hpp>

namespace altimar::app {

void AddWindowOptions(CLI::App& app, WindowOptions& o) {
  // The DEM reader checks the file itself, so a network address or a device
  // gets its own reason rather than "does not exist".
  app.add_option("--dem", o.globe.dem,
                 "DEM file the window's globe shows (default: the embedded terrain)");
  app.add_option("--kml", o.kml,
                 "KML file the globe opens once it runs; if it cannot, the reader's message is printed "
                 "and no window opens");
  app.add_option("--lat", o.globe.lat, "camera focus latitude (default 47.3)")->check(CLI::Range(-90.0, 90.0));
  app.add_option("--lon", o.globe.lon, "camera focus longitude (default 11.4)")->check(CLI::Range(-180.0, 180.0));
  app.add_option("--range", o.globe.range, "camera range in metres (default 30000)")->check(CLI::Range(1.0, 1e8));
  app.add_option("--tilt", o.globe.tilt, "camera tilt in degrees (default 0)")->check(CLI::Range(0.0, 90.0));
  app.add_option("--azimuth", o.globe.azimuth, "camera azimuth in degrees (default 0)")
      ->check(CLI::Range(-360.0, 360.0));
  app.add_option("--dir", o.globe.dir, "program folder where documents go (default .)");
  app.add_option("--quit-after", o.quitAfterMs, "close the window after this many milliseconds")
      ->check(CLI::Range(0, 86400000));
  app.add_option("--screenshot", o.screenshot, "write the screen to this PNG file when the window closes");
}

}  // namespace altimar::app
