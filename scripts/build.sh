#!/usr/bin/env bash
# Configures and builds one build folder:
#   scripts/build.sh DIR [--target T] [cmake options...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
target=()
if [ "${1:-}" = "--target" ]; then
  target=(--target "$2")
  shift 2
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" "${target[@]}"
