#!/usr/bin/env bash
# Wall time of opening a 100,000-point shapefile with seven fields end to end
# (`altimar open`: attribute database, KML export, the globe opening it) and
# of ogr2ogr writing the same shapefile to SQLite and to KML. Run from the
# project folder after a build made with -DALTIMAR_BENCH=ON:
# bench/open_vs_ogr.sh [BUILD]
set -euo pipefail
build="${1:-build}"
cmake --build "$build" -j2 --target shapefile_tool altimar
if ! command -v ogr2ogr >/dev/null; then
  apt-get install -y gdal-bin >/dev/null
fi
command -v bc >/dev/null || apt-get install -y bc >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/shapefile_tool" points "$work/points" 100000
mkdir -p "$work/program"

source "$(dirname "$0")/best_of_three.sh"

ours=$(best_of_three "$build/app/altimar" open "$work/points.shp" --dir "$work/program")
ogr=$(best_of_three sh -c "rm -f '$work/ogr.sqlite' '$work/ogr.kml' && \
  ogr2ogr -f SQLite '$work/ogr.sqlite' '$work/points.shp' && \
  ogr2ogr -f KML '$work/ogr.kml' '$work/points.shp'")
printf 'open of a 100000-point shapefile, 7 fields (best of 3, wall time)\n'
printf '  altimar open (database, KML, globe): %6.3f s\n' "$ours"
printf '  ogr2ogr to SQLite and to KML:        %6.3f s\n' "$ogr"
