#!/usr/bin/env bash
# Installs, builds and runs the main job: contours of the embedded terrain
# written to ./contour.kml and opened in the globe. Arguments go to
# `altimar contour` (see --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build --target altimar -DALTIMAR_TESTS=ON -DALTIMAR_BENCH=ON
./build/app/altimar contour "$@"
