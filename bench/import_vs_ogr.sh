#!/usr/bin/env bash
# Wall time of the dBASE import of 100,000 records with seven attributes
# into a new attribute database, by the program and by ogr2ogr -f SQLite on
# the same table. Run from the project folder after a build made with
# -DALTIMAR_BENCH=ON: bench/import_vs_ogr.sh [BUILD]
set -euo pipefail
build="${1:-build}"
cmake --build "$build" -j2 --target shapefile_tool data_tool
if ! command -v ogr2ogr >/dev/null; then
  apt-get install -y gdal-bin >/dev/null
fi
command -v bc >/dev/null || apt-get install -y bc >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/shapefile_tool" points "$work/points" 100000

source "$(dirname "$0")/best_of_three.sh"

ours=$(best_of_three "$build/bench/data_tool" import "$work/points" "$work")
ogr=$(best_of_three sh -c "rm -f '$work/ogr.sqlite' && ogr2ogr -f SQLite '$work/ogr.sqlite' '$work/points.dbf'")
printf 'import of 100000 dBASE records, 7 fields (best of 3, wall time)\n'
printf '  attribute database: %6.3f s\n' "$ours"
printf '  ogr2ogr -f SQLite:   %6.3f s\n' "$ogr"
