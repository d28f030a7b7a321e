#!/usr/bin/env bash
# Installs, checks the includes against the layer order, builds and runs
# every test: the suite plain, the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzzer for a short while.
# FUZZ_SECONDS sets the fuzzing time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
passed=0

echo "== includes against the layer order"
scripts/check-layers.sh
passed=$((passed + 1))

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Runs ctest in a build folder and adds its count of tests to the total.
run_ctest() {
  local dir="$1"
  (cd "$dir" && ctest --output-on-failure -j"$(nproc)") | tee "$work/ctest.log"
  local n
  n=$(grep -oE 'tests passed, 0 tests failed out of [0-9]+' "$work/ctest.log" | grep -oE '[0-9]+$' || true)
  if [ -z "$n" ] || [ "$n" -eq 0 ]; then
    echo "no tests ran in $dir" >&2
    exit 1
  fi
  passed=$((passed + n))
}

echo "== plain build"
scripts/build.sh build -DALTIMAR_TESTS=ON -DALTIMAR_BENCH=ON
run_ctest build

echo "== the windowed front end under a virtual display (Xvfb)"
rm -f build/window.png
xvfb-run -a build/app/altimar --quit-after 2000 --screenshot build/window.png --dir "$work"
test -s build/window.png
echo "build/window.png written"
passed=$((passed + 1))

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
scripts/build.sh build-asan -DALTIMAR_SANITIZE=ON -DALTIMAR_TESTS=ON -DALTIMAR_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build-asan

echo "== fuzzers (libFuzzer, clang, sanitizers on)"
scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DALTIMAR_FUZZ=ON \
  -DALTIMAR_TESTS=OFF -DALTIMAR_BENCH=OFF
seconds="${FUZZ_SECONDS:-20}"
for target in level_list dem dem_vrt kml_places kml_parts bmp html svg script shapefile dbf kml_reader; do
  mkdir -p "$work/$target"
  # Absolute paths: a fuzzer may change its current folder (the script
  # fuzzer runs in a program folder of its own).
  seeds=("$PWD/fuzz/corpus/$target")
  [ "$target" = dem ] && seeds+=("$PWD/tests/data/dem")
  [ "$target" = kml_places ] && seeds+=("$PWD/tests/data/kml")
  [ "$target" = dbf ] && seeds+=("$PWD/tests/data/shp")
  [ "$target" = kml_reader ] && seeds+=("$PWD/tests/data/kml")
  [ "$target" = kml_parts ] && seeds+=("$PWD/fuzz/corpus/kml_places" "$PWD/tests/data/kml")
  echo "-- fuzz_$target, ${seconds}s"
  ./build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=0 "$work/$target" "${seeds[@]}" 2>&1 | tail -n 1
  passed=$((passed + 1))
done

echo "all: $passed passed, 0 failed"
