// The window's command line: what it takes and what it refuses.
#include "app/window_options.h"

#include <gtest/gtest.h>

#include <CLI/CLI.hpp>

namespace altimar::testing {
namespace {

struct Parsed {
  app::WindowOptions o;
  std::string error;
};

Parsed Parse(std::vector<std::string> args) {
  Parsed p;
  CLI::App cli;
  app::AddWindowOptions(cli, p.o);
  std::reverse(args.begin(), args.end());  // CLI11 takes them last first
  try {
    cli.parse(args);
  } catch (const CLI::ParseError& e) {
    p.error = e.what();
  }
  return p;
}

TEST(WindowOptionsTest, AKmlFileAndTheCameraAreTakenTogether) {
  const Parsed p = Parse({"--kml", "tracks.kml", "--lat", "46.5", "--range", "12000"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.o.kml, "tracks.kml");
  EXPECT_EQ(p.o.globe.lat, 46.5);
  EXPECT_EQ(p.o.globe.range, 12000);
  EXPECT_FALSE(Parse({}).o.kml.has_value()) << "no file unless one is named";
}

TEST(WindowOptionsTest, MissingValuesAndValuesOutOfRangeAreRefused) {
  EXPECT_NE(Parse({"--kml"}).error, "");
  EXPECT_NE(Parse({"--kml", "a.kml", "--kml", "b.kml"}).error, "") << "one file";
  EXPECT_NE(Parse({"--lat", "91"}).error, "");
  EXPECT_NE(Parse({"--quit-after", "-1"}).error, "");
}

}  // namespace
}  // namespace altimar::testing
