#!/usr/bin/env bash
# Regenerates the user guides' pictures from the real program: builds
# qrvtune_tour and runs it (with its own simulated network) into docs/images/.
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
out=docs/images
rm -f "$out"/*.png
XDG_RUNTIME_DIR="$scratch/run" XDG_CONFIG_HOME="$scratch/config" \
  build/configurator/qrvtune_tour --out "$out"
rm -f "$out/tour.txt"
echo "pictures: $out"
ls "$out"
