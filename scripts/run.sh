#!/usr/bin/env bash
# Installs, builds and runs the main job: contours of the embedded terrain
# written to ./contour.kml and opened in the globe. Arguments go to
# `altimar contour` (see --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DALTIMAR_TESTS=OFF -DALTIMAR_BENCH=OFF
./build/app/altimar contour "$@"
