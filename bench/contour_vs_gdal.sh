#!/usr/bin/env bash
# The contour command against gdal_contour on the same DEM and levels, side
# by side in one run: wall time and peak memory of each, and their ratios.
#   bench/contour_vs_gdal.sh [BUILD_DIR] [INTERVAL]   (defaults: build, 10)
# Needs gdal-bin (gdal_contour) and GNU time; installs them when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
interval="${2:-10}"
for p in gdal-bin time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { apt-get update >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$p" >/dev/null; }
done
scripts/build.sh "$build" --target altimar >/dev/null
scripts/build.sh "$build" --target procedural_dem >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dem="$work/alps_999.tif"
"$build/bench/procedural_dem" "$dem" 999
# Levels from the lowest height up, as the contour command takes them.
low=$(gdalinfo -mm "$dem" | sed -n 's/.*Computed Min\/Max=\([-0-9.]*\),.*/\1/p')
offset=$(awk -v l="$low" -v i="$interval" 'BEGIN { o = l - i * int(l / i); if (o < 0) o += i; print o }')

measure() {  # NAME COMMAND...: prints "NAME wall_s peak_MiB"
  local name="$1"
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err"; exit 1; }
  read -r wall kib <"$work/time"
  echo "$name $wall $((kib / 1024))"
}

mkdir -p "$work/altimar"
for round in 1 2 3; do
  rm -f "$work/gdal.kml"
  a=$(measure altimar "$build/app/altimar" contour --dem "$dem" --levels "interval:$interval" --dir "$work/altimar" --seed 1)
  g=$(measure gdal_contour gdal_contour -q -f KML -i "$interval" -off "$offset" "$dem" "$work/gdal.kml")
  size=$(stat -c %s "$work/altimar/contour.kml")
  read -r _ aw am <<<"$a"
  read -r _ gw gm <<<"$g"
  awk -v r="$round" -v aw="$aw" -v am="$am" -v gw="$gw" -v gm="$gm" -v s="$size" 'BEGIN {
    printf "round %d: altimar %.2f s %d MiB | gdal_contour %.2f s %d MiB | wall ratio %.2f | altimar peak / document %.2f (document %.0f MB)\n",
      r, aw, am, gw, gm, aw / gw, am * 1048576 / s, s / 1e6 }'
done
