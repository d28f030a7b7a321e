#!/usr/bin/env bash
# Wall time of the KML export of 100,000 points with seven attributes, by
# the shapefile library and by ogr2ogr -f KML on the same file. Run from a
# build folder made with -DALTIMAR_BENCH=ON: bench/export_vs_ogr.sh [BUILD]
set -euo pipefail
build="${1:-build}"
cmake --build "$build" -j2 --target shapefile_tool
if ! command -v ogr2ogr >/dev/null; then
  apt-get install -y gdal-bin >/dev/null
fi
command -v bc >/dev/null || apt-get install -y bc >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/shapefile_tool" points "$work/points" 100000

source "$(dirname "$0")/best_of_three.sh"

ours=$(best_of_three "$build/bench/shapefile_tool" export "$work/points" "$work/ours.kml")
ogr=$(best_of_three sh -c "rm -f '$work/ogr.kml' && ogr2ogr -f KML '$work/ogr.kml' '$work/points.shp'")
printf 'export of 100000 points, 7 attributes (best of 3, wall time)\n'
printf '  shapefile library: %6.3f s  (%s bytes)\n' "$ours" "$(stat -c %s "$work/ours.kml")"
printf '  ogr2ogr -f KML:    %6.3f s  (%s bytes)\n' "$ogr" "$(stat -c %s "$work/ogr.kml")"
