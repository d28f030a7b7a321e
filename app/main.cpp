// altimar: contour lines and a small GIS workspace for a desktop globe.
#include <CLI/CLI.hpp>
#include <iostream>

#include "app/contour_batch.h"
#include "app/open_batch.h"
#include "app/script.h"
#include "app/terminal_progress.h"
#include "app/window_front_end.h"
#include "platform/runtime/partial_files.h"

namespace {

using altimar::app::ContourOptions;

void AddContourCommand(CLI::App& app, ContourOptions& o, bool& chosen) {
  auto* cmd = app.add_subcommand(
      "contour",
      "Start the globe on the embedded terrain (or --dem), look at the view given by the camera "
      "options (default: straight down over the Alps near 47.3 N 11.4 E), sample it, and contour "
      "it into DIR/contour.kml, which the globe opens. With --dem and no camera option, the grid "
      "is the DEM's own cells instead.");
  cmd->callback([&chosen] { chosen = true; });

  auto* dem = cmd->add_option(
      "--dem", o.dem,
      "DEM file (GeoTIFF, SRTM HGT, ESRI ASCII grid, anything GDAL reads); the grid "
      "takes its cell centres, resampled to at most 999 per side; a local file only, "
      "never a network address");
  cmd->add_option_function<std::string>(
         "--window",
         [&o](const std::string& s) {
           altimar::contour::GridWindow w;
           if (auto e = altimar::app::ParseWindow(s, w); !e.empty()) throw CLI::ValidationError(e);
           o.window = w;
         },
         "the part of the DEM to contour, W,S,E,N in degrees (default: the DEM's extent); needs "
         "--dem, and is refused with a camera option or --screenshot, which contour the globe's "
         "view")
      ->type_name("W,S,E,N")
      ->needs(dem);
  cmd->add_option("--cols", o.cols, "grid columns, west to east (default 20, or the DEM's)")
      ->check(CLI::Range(2, 999));
  cmd->add_option("--rows", o.rows, "grid rows, south to north (default 20, or the DEM's)")
      ->check(CLI::Range(2, 999));
  cmd->add_option_function<std::string>(
         "--levels",
         [&o](const std::string& s) {
           altimar::app::LevelSetting l;
           if (auto e = altimar::app::ParseLevels(s, l); !e.empty()) throw CLI::ValidationError(e);
           o.levels = l;
         },
         "count:N levels over the height range (default count:5), interval:M metres apart, or "
         "list:a,b,c")
      ->type_name("MODE:VALUE");
  cmd->add_flag("--labels", o.labels, "add height labels (about one segment in fifty)");
  cmd->add_option("--width", o.width, "line width (default 1)")->check(CLI::Range(0.1, 100.0));
  cmd->add_option("--opacity", o.opacity, "line opacity in percent (default 100)")
      ->check(CLI::Range(0, 100));
  auto color = [](std::optional<std::int32_t>& target) {
    return [&target](const std::string& s) {
      std::int32_t c = 0;
      if (auto e = altimar::app::ParseColor(s, c); !e.empty()) throw CLI::ValidationError(e);
      target = c;
    };
  };
  cmd->add_option_function<std::string>("--low-color", color(o.lowColor),
                                        "colour of the lowest level, #RRGGBB (default #FF0000)")
      ->type_name("#RRGGBB");
  cmd->add_option_function<std::string>("--high-color", color(o.highColor),
                                        "colour the levels run toward, #RRGGBB (default #FF0000)")
      ->type_name("#RRGGBB");
  cmd->add_option("--dir", o.dir, "program folder where contour.kml is written (default .)");
  cmd->add_option("--seed", o.seed, "seed of the label generator (default: the clock)");
  cmd->add_option("--lat", o.lat, "camera focus latitude (default 47.3)")
      ->check(CLI::Range(-90.0, 90.0));
  cmd->add_option("--lon", o.lon, "camera focus longitude (default 11.4)")
      ->check(CLI::Range(-180.0, 180.0));
  cmd->add_option("--range", o.range,
                  "camera range in metres (default 30000; sampling needs 50000 or less)")
      ->check(CLI::Range(1.0, 1e8));
  cmd->add_option("--tilt", o.tilt, "camera tilt in degrees, 0 looks straight down (default 0)")
      ->check(CLI::Range(0.0, 90.0));
  cmd->add_option("--azimuth", o.azimuth, "camera azimuth in degrees, 0 north (default 0)")
      ->check(CLI::Range(-360.0, 360.0));
  cmd->add_option_function<std::string>(
         "--sampling",
         [&o](const std::string& s) {
           if (s == "screen")
             o.sampling = 0;
           else if (s == "fly")
             o.sampling = 1;
           else
             throw CLI::ValidationError("--sampling takes screen or fly");
         },
         "sample the view by the screen grid (default) or by flying over it")
      ->type_name("screen|fly");
  cmd->add_option("--screenshot", o.screenshot,
                  "write the screen, with the globe showing the new contours, to this PNG file");
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Altimar: contour lines and a small GIS workspace for a desktop globe."};
  app.require_subcommand(0, 1);
  ContourOptions options;
  bool contour = false;
  AddContourCommand(app, options, contour);
  altimar::app::WindowOptions window;
  app.description(
      "Altimar: contour lines and a small GIS workspace for a desktop globe.\n"
      "Without a command: opens a window with the globe and Altimar embedded in it.");
  altimar::app::AddWindowOptions(app, window);
  std::string scriptPath;
  altimar::app::ScriptSettings scriptSettings;
  auto* run = app.add_subcommand(
      "run",
      "Drive the globe and the program headless from a script, line by line (see the README's "
      "script language): start them, click controls by name, press keys, answer dialogs, wait, "
      "take screenshots, print and check properties. Exits non-zero at the first failing line.");
  run->add_option("SCRIPT", scriptPath, "the script file, or - for standard input")->required();
  run->add_option("--dir", scriptSettings.dir, "program folder where documents go (default .)");
  altimar::app::OpenOptions openOptions;
  auto* open = app.add_subcommand(
      "open",
      "Start the globe and the program headless, dock the workspace beside the globe and open "
      "FILE (a shapefile or a KML file) with its open button: the attribute database bexo.mdb "
      "and, for a shapefile, its KML export are written to DIR and shown in the globe. One "
      "summary line; exits non-zero with the program's message when the open fails.");
  open->add_option("FILE", openOptions.file, "the .shp or .kml file to open")->required();
  open->add_option("--dir", openOptions.dir, "program folder where the files go (default .)");
  open->add_option("--screenshot", openOptions.screenshot,
                   "write the screen, with the globe showing the opened data, to this PNG file");
  CLI11_PARSE(app, argc, argv);

  // A headless run ended by Ctrl+C or kill leaves no half-written document
  // behind. The window keeps the display library's own handling, which
  // closes it as the close button does.
  if (run->parsed() || contour || open->parsed()) altimar::runtime::RemovePartialFilesOnSignals();
  if (open->parsed()) {
    altimar::win::Desktop desktop(altimar::win::Clock::Kind::Virtual);
    desktop.SetQuietMessageBoxes(true);
    const auto result = altimar::app::RunOpenBatch(openOptions, desktop);
    if (result.exitCode != 0) {
      std::cerr << "altimar open: " << result.error << '\n';
      return result.exitCode;
    }
    std::cout << result.summary << '\n';
    return 0;
  }
  if (run->parsed()) {
    altimar::app::Script script(scriptSettings, std::cout, std::cerr);
    if (scriptPath == "-") return script.Run(std::cin, "stdin");
    return script.RunFile(scriptPath);
  }
  if (!contour) return altimar::app::RunWindow(window);
  // A batch run: nobody watches, so the desktop's time is virtual and the
  // globe's waits (start-up, flights, streaming) cost nothing.
  altimar::win::Desktop desktop(altimar::win::Clock::Kind::Virtual);
  desktop.SetQuietMessageBoxes(true);
  altimar::app::TerminalProgress progress;
  auto result = altimar::app::RunContourBatch(options, desktop, &progress);
  progress.SetVisible(false);
  if (result.exitCode != 0) {
    std::cerr << "altimar contour: " << result.error << '\n';
    return result.exitCode;
  }
  std::cout << result.summary << '\n';
  return 0;
}
