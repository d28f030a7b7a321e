#!/usr/bin/env bash
# Checks that every #include "..." in a source folder points down the layer
# order (see "Layout" in the README): a folder may include its own files and
# those of the folders listed for it, nothing else. tests/, bench/ and fuzz/
# may include anything. Prints each offending include as FILE:LINE and exits
# 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may_use
base="platform/win platform/sax platform/runtime"
addon_platform="platform/automation platform/forms platform/shapefile platform/dao $base"
may_use[platform/runtime]=""
may_use[platform/win]="platform/runtime"
may_use[platform/automation]="platform/win platform/runtime"
may_use[platform/sax]="platform/runtime"
may_use[platform/shapefile]="platform/runtime"
may_use[platform/dao]="platform/runtime"
may_use[platform/forms]="$base"
may_use[platform/earth]="platform/automation $base"
may_use[host]="$addon_platform"
may_use[ui]="host $addon_platform"
may_use[contour]="ui host $addon_platform"
may_use[data]="ui host $addon_platform"
may_use[workspace]="contour data ui host $addon_platform"
may_use[app]="workspace contour data ui host platform/earth $addon_platform"
exempt=" tests bench fuzz "

# The layer a repository path belongs to: platform/X, or its top folder.
layer_of() {
  case "$1" in
    platform/*/*) local rest="${1#platform/}"; echo "platform/${rest%%/*}" ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

failures=0
fail() {
  echo "$1" >&2
  failures=$((failures + 1))
}

# Source folders are those with a CMakeLists.txt (build folders have none).
folders=()
for list in */CMakeLists.txt platform/*/CMakeLists.txt; do
  folder="${list%/CMakeLists.txt}"
  [ "$folder" = platform ] && continue
  [[ "$exempt" == *" $folder "* ]] && continue
  if [ -z "${may_use[$folder]+set}" ]; then
    fail "$folder/: not in the layer order; add it to scripts/check-layers.sh and the README"
    continue
  fi
  folders+=("$folder")
done

checked=0
for folder in "${folders[@]}"; do
  allowed=" $folder ${may_use[$folder]} "
  while IFS= read -r hit; do
    [ -z "$hit" ] && continue
    file="${hit%%:*}"
    rest="${hit#*:}"
    line="${rest%%:*}"
    text="${rest#*:}"
    included="${text#*\"}"
    included="${included%%\"*}"
    checked=$((checked + 1))
    # An include without a folder is the including file's neighbour (or a
    # library header found elsewhere): either way not another layer.
    [[ "$included" == */* ]] || continue
    if [[ "$included" == ./* || "$included" == ../* || "$included" == */../* ]]; then
      included="$(realpath -m --relative-to=. "$(dirname "$file")/$included")"
    fi
    target="$(layer_of "$included")"
    # Headers of outside libraries ("gdal/...") are not ours to order.
    [ -d "${included%%/*}" ] || continue
    [[ "$allowed" == *" $target "* ]] && continue
    if [ "$target" = platform/earth ]; then
      fail "$file:$line: #include \"$included\": $folder/ may not include the globe (only app/, tests/, bench/ and fuzz/ start it)"
    else
      fail "$file:$line: #include \"$included\": $folder/ may not include $target/"
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" \
             --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' || true)
done

# The contouring engine draws no form: outside the contour dialog, contour/
# takes of the form runtime only its progress interface (a header), and
# nothing of ui/ or of host/'s forms, so its library links no form.
while IFS= read -r hit; do
  [ -z "$hit" ] && continue
  file="${hit%%:*}"
  rest="${hit#*:}"
  fail "$file:${rest%%:*}: the contouring engine may not include a form (only contour_dialog may)"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(ui/|platform/forms/|host/menu_bar_form|host/view_capture)' \
           contour --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' |
           grep -v '^contour/contour_dialog\.' | grep -v '"platform/forms/progress.h"' || true)

if [ "$failures" -gt 0 ]; then
  echo "layers: $failures include(s) against the layer order" >&2
  exit 1
fi
echo "layers: ${#folders[@]} folders, $checked includes, all point down the layer order"
