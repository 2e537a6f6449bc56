#!/usr/bin/env bash
# Builds the Windows SDK zips out/qrvlink-<version>-win64.zip and -win32.zip
# from the MinGW-w64 cross builds and prints their paths. Each holds:
#   bin/      Qrvlink.dll and the C example qrv_read_local.exe
#   lib/      libQrvlink.dll.a (MinGW), Qrvlink.def (lib.exe makes an MSVC
#             Qrvlink.lib from it), lib/cmake/Qrvlink (find_package)
#   include/  qrvlink/qrvlink.h
#   examples/ the C and Python examples
#   docs/     the SDK reference, the Windows notes
#   README.md how to call it from C and from Python (Chinese and English)
#   scripts/package-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."

# The DLLs are built and their exports and imports checked first.
scripts/test-windows.sh --no-wine >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win64/CMakeCache.txt)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p out
for arch in win64 win32; do
  name=qrvlink-$version-$arch
  root=$stage/$name
  cmake --install "build-$arch" --prefix "$root" --strip >/dev/null
  mkdir -p "$root/examples" "$root/docs"
  cp sdk/examples/qrv_read_local.c sdk/examples/qrvlink_example.py sdk/examples/qrvlink_every_command.py \
    "$root/examples/"
  # The Python examples import the qrvlink package from their own folder.
  mkdir -p "$root/examples/qrvlink"
  cp python/qrvlink/*.py "$root/examples/qrvlink/"
  cp docs/sdk-reference.md docs/protocol.md docs/protocol-trace.txt docs/windows.md docs/python.md "$root/docs/"
  cp sdk/windows/README.md "$root/README.md"
  rm -f "out/$name.zip"
  (cd "$stage" && zip -q -r -X "$OLDPWD/out/$name.zip" "$name")
  echo "$PWD/out/$name.zip"
done
