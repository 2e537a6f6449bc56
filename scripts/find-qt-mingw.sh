#!/usr/bin/env bash
# Prints the prefix of Qt for MinGW-w64 (what scripts/build-qt-mingw.sh
# packs), unpacking the pack into build-qt-mingw/ when needed. Looks for
#   ../shared/cache/qt6-mingw64-<version>-<recipe hash>.tar.xz   first,
#   $QRV_QT_MINGW: such a pack, a folder holding it, or an unpacked prefix.
# The recipe hash is that of today's scripts/build-qt-mingw.sh, so a pack
# built by another recipe is never taken. Without one it says in one line
# how to build it and exits with 1.
set -euo pipefail
cd "$(dirname "$0")/.."
recipe=$(sha256sum scripts/build-qt-mingw.sh | cut -c1-12)
pattern="qt6-mingw64-*-$recipe"

candidates=()
for dir in ../shared/cache "${QRV_QT_MINGW:-}"; do
  [ -n "$dir" ] || continue
  if [ -f "$dir" ]; then candidates+=("$dir"); continue; fi
  # An unpacked prefix (its bin/Qt6Core.dll and the recipe it came from).
  if [ -f "$dir/bin/Qt6Core.dll" ] && grep -qs -- "-$recipe " "$dir/QRV_QT_RECIPE"; then
    readlink -f "$dir"; exit 0
  fi
  for pack in "$dir"/$pattern.tar.xz; do [ -f "$pack" ] && candidates+=("$pack"); done
done

for pack in "${candidates[@]}"; do
  name=$(basename "$pack" .tar.xz)
  [[ $name == $pattern ]] || continue
  # A pack with its .sha256 beside it must match it.
  if [ -f "$pack.sha256" ] && ! (cd "$(dirname "$pack")" && sha256sum -c --status "$name.tar.xz.sha256"); then
    echo "$pack: checksum mismatch, skipped" >&2
    continue
  fi
  if [ ! -f "build-qt-mingw/$name/bin/Qt6Core.dll" ]; then
    rm -rf "build-qt-mingw/$name"
    mkdir -p build-qt-mingw
    tar -C build-qt-mingw -xJf "$pack"
  fi
  readlink -f "build-qt-mingw/$name"
  exit 0
done

echo "no Qt for MinGW ($pattern.tar.xz in ../shared/cache or \$QRV_QT_MINGW): scripts/build-qt-mingw.sh builds it (about 30 min on two cores)" >&2
exit 1
