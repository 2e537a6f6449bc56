#!/usr/bin/env bash
# Cross-builds Qrvlink.dll for 64- and 32-bit Windows (MinGW-w64), checks what
# each DLL exports and imports, and runs the exchange tests and the C example
# under wine against qrvsim through a COM port.
#   scripts/test-windows.sh            everything; the 32-bit wine run when
#                                      32-bit wine is installed; the
#                                      configurator's run (--configurator) when
#                                      Qt for MinGW is cached
#   scripts/test-windows.sh --wine32   installs 32-bit wine first (i386 packages)
#   scripts/test-windows.sh --ci       64-bit wine run only; the 32-bit DLL is
#                                      built and checked without its tests;
#                                      the configurator's run as above
#   scripts/test-windows.sh --no-wine  builds and checks only
#   scripts/test-windows.sh --configurator
#                                      Qrvtune.exe with Qt for MinGW (found by
#                                      scripts/find-qt-mingw.sh, else skipped
#                                      with a note), the installer, under wine
# Needs no display. Wine runs in a private prefix under build-wine/.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}

scripts/deps.sh
scripts/deps.sh --windows
if [ "$mode" = --configurator ]; then
  exec scripts/test-windows-configurator.sh
fi
[ "$mode" = --no-wine ] || scripts/deps.sh --wine
[ "$mode" = --wine32 ] && scripts/deps.sh --wine32

jobs=$(nproc)
qt_prefix=$(scripts/find-qt-mingw.sh) || qt_prefix=""
baud=9600

# The Linux library (its export list) and the simulator.
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON
fi
cmake --build build -j "$jobs" --target Qrvlink qrvsim

# build_windows ARCH TESTS: build-<ARCH> from cmake/mingw-w64-<triplet>.cmake.
build_windows() {
  local arch=$1 tests=$2 toolchain
  case $arch in
    win64) toolchain=cmake/mingw-w64-x86_64.cmake ;;
    win32) toolchain=cmake/mingw-w64-i686.cmake ;;
  esac
  cmake --no-warn-unused-cli -S . -B "build-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DQRV_WERROR=ON -DQRV_BUILD_TESTS="$tests" >/dev/null
  cmake --build "build-$arch" -j "$jobs"
}

# build_qrvtune: Qrvtune.exe in build-win64-qt, through Qt's own toolchain
# file, which adds the Qt prefix and the host's Qt tools (QT_HOST_PATH) to
# what a cross build may find and then loads ours.
build_qrvtune() {
  cmake --no-warn-unused-cli -S . -B build-win64-qt -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DQT_HOST_PATH=/usr \
    -DCMAKE_BUILD_TYPE=Release -DQRV_WERROR=ON -DQRV_BUILD_TESTS=OFF >/dev/null
  cmake --build build-win64-qt -j "$jobs" --target Qrvtune
}

# Only the Q_ functions leave the DLL, by their plain names, and they are the
# Linux library's set; the DLL needs nothing beyond system DLLs.
check_dll() {
  local arch=$1 objdump dll=build-$1/bin/Qrvlink.dll
  case $arch in
    win64) objdump=x86_64-w64-mingw32-objdump ;;
    win32) objdump=i686-w64-mingw32-objdump ;;
  esac
  local linux windows imports
  linux=$(nm -D --defined-only build/sdk/libQrvlink.so | awk '{print $3}' | sort)
  windows=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
            sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort)
  if [ "$linux" != "$windows" ]; then
    echo "$arch: Qrvlink.dll exports differ from libQrvlink.so:" >&2
    diff <(echo "$linux") <(echo "$windows") >&2 || true
    return 1
  fi
  imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort -u)
  if [ "$imports" != "$(printf 'kernel32.dll\nmsvcrt.dll')" ]; then
    echo "$arch: Qrvlink.dll needs more than system DLLs:" $imports >&2
    return 1
  fi
  echo "$arch: Qrvlink.dll exports the $(echo "$windows" | wc -l) Q_ functions of libQrvlink.so; imports:" $imports
}

# on_com5 ARCH PTY: COM5 leads to the simulator's pty; the tests, then the C
# example. The tests open the port at the simulator's own rate.
on_com5() {
  local arch=$1 bin=build-$1/bin out
  ln -sfn "$2" "$WINEPREFIX/dosdevices/com5"
  trap 'rm -f "$WINEPREFIX/dosdevices/com5"' EXIT
  QRV_TEST_PORT='\\.\COM5' QRV_TEST_BAUD=$baud wine "$bin/qrvlink_wine_tests.exe"
  out=$(wine "$bin/qrv_read_local.exe" COM5 "$baud")
  grep -q '^address   0001' <<<"$out" || { echo "$arch: qrv_read_local.exe: $out" >&2; return 1; }
  # qrvctl.exe on the same client as on Linux: record text and Chinese file
  # names, then the local module as JSON.
  wine "$bin/qrvctl_wine_tests.exe"
  out=$(wine "$bin/qrvctl.exe" info --port COM5 --baud "$baud" --json)
  grep -q '"name": "本地主机"' <<<"$out" || { echo "$arch: qrvctl.exe info: $out" >&2; return 1; }
  echo "$arch: wine run passed"
}
export -f on_com5
export baud

# run_under_wine ARCH: against a fresh simulator.
run_under_wine() {
  scripts/with_qrvsim.sh build/sim/qrvsim --baud "$baud" -- \
    bash -c 'set -euo pipefail; on_com5 "$@"' on_com5 "$1" {port}
}

wine32=no
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" && wine32=yes
win32_tests=ON
[ "$mode" = --ci ] || [ "$mode" = --no-wine ] || [ $wine32 = no ] && win32_tests=OFF
win64_tests=ON
[ "$mode" = --no-wine ] && win64_tests=OFF

build_windows win64 $win64_tests
build_windows win32 $win32_tests
check_dll win64
[ -n "$qt_prefix" ] && build_qrvtune
check_dll win32
[ "$mode" = --no-wine ] && exit 0

# A private prefix, no display, no Mono or Gecko installers, no debug chatter.
export WINEPREFIX=$PWD/build-wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p build-wine
trap 'wineserver -k 2>/dev/null || true' EXIT
[ -d "$WINEPREFIX/dosdevices" ] || wineboot --init >/dev/null 2>&1

run_under_wine win64
if [ $win32_tests = ON ]; then
  run_under_wine win32
else
  echo "win32: wine run skipped (${mode:-no 32-bit wine; scripts/test-windows.sh --wine32 installs it})"
fi

# The configurator needs Qt for MinGW, too long a build for CI: it is built
# and run under wine only when a packed Qt is cached.
if [ -n "$qt_prefix" ]; then
  wineserver -w
  scripts/test-windows-configurator.sh
else
  echo "configurator: Windows build and wine run skipped, no Qt for MinGW cached ($(scripts/find-qt-mingw.sh 2>&1 >/dev/null))"
fi
