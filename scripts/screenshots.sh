#!/usr/bin/env bash
# Regenerates the user guides' pictures from the real program: builds
# qrvtune_tour and runs it (with its own simulated network) into
# docs/images/ (Chinese interface) and docs/images/en/ (English), then the
# main window as it opens on a 1366x768 laptop screen and on a 1920x1080
# screen at 150 % scaling (QT_SCALE_FACTOR=1.5), in both languages.
#   scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON >/dev/null
cmake --build build --target qrvtune_tour Qrvtune >/dev/null

# Private runtime and configuration folders: the pictures do not depend on
# other simulators announced on this machine or on the user's own settings.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run" "$scratch/config"

# tour OUT_DIR [qrvtune_tour options...]
tour() {
  local out=$1
  shift
  mkdir -p "$out"
  rm -f "$out"/*.png
  XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" \
    build/configurator/qrvtune_tour --out "$out" "$@" >/dev/null
  rm -f "$out/tour.txt"
}

tour docs/images --lang zh
tour docs/images/en --lang en

# The window as it opens on the screen, with the local module read.
for lang in zh en; do
  dest=docs/images
  [ "$lang" = en ] && dest=docs/images/en
  tour "$scratch/laptop-$lang" --lang "$lang" --screen 1366x768
  cp "$scratch/laptop-$lang/03-local-read.png" "$dest/layout-1366x768.png"
  QT_SCALE_FACTOR=1.5 tour "$scratch/scaled-$lang" --lang "$lang" --screen 1920x1080
  cp "$scratch/scaled-$lang/03-local-read.png" "$dest/layout-1920x1080-150.png"
done
echo "pictures: docs/images docs/images/en"
ls docs/images docs/images/en
