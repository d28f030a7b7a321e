#!/usr/bin/env bash
# Installs everything Altimar needs to build, test and run (Debian 12).
set -euo pipefail

PACKAGES=(
  build-essential cmake clang pkg-config
  libgdal-dev libcli11-dev libexpat1-dev libshp-dev libsqlite3-dev libfreetype-dev libpng-dev fonts-dejavu-core libsdl2-dev
  xvfb xauth
  libgtest-dev libgmock-dev libbenchmark-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "All dependencies are installed."
  exit 0
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
