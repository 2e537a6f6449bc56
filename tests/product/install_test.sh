#!/bin/sh
# Installs the build into a temporary root (cmake --install with DESTDIR),
# checks the layout, then builds the C example against that installation the
# two ways another program would -- pkg-config and find_package(Qrvlink) --
# and runs both against the installed qrvsim.
#   install_test.sh BUILD_DIR SOURCE_DIR C_COMPILER [C_FLAGS [SANITIZER_RUNTIME]]
# SANITIZER_RUNTIME: in a sanitizer build, the runtime python3 must load first.
set -eu
build=$1 source=$2 cc=$3 cflags=${4:-} preload=${5:-}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" >/dev/null
prefix=$root$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")

fail() { echo "$*" >&2; exit 1; }
# Qrvtune finds its shipped files from bin/ in share/qrvtune/.
for file in bin/Qrvtune share/qrvtune/Meshcfg.ini share/qrvtune/desc.ini share/qrvtune/dadar.gxd share/qrvtune/dadar_en.gxd \
            share/qrvtune/qrvtune_en.qm \
            bin/qrvsim include/qrvlink/qrvlink.h share/applications/qrvtune.desktop \
            share/icons/hicolor/scalable/apps/qrvtune.svg share/icons/hicolor/48x48/apps/qrvtune.png; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
metainfo=$(find "$prefix/share/metainfo" -name '*.metainfo.xml')
[ -n "$metainfo" ] || fail "no metainfo installed"
if command -v scdoc >/dev/null; then
  for page in Qrvtune.1 qrvsim.1; do
    [ -f "$prefix/share/man/man1/$page" ] || fail "no manual page $page"
  done
fi
# The checkers the software centres and desktops apply, where installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/qrvtune.desktop" || fail "desktop entry not valid"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --explain "$metainfo" >/dev/null || fail "metainfo not valid"
fi

pc=$(find "$prefix" -name qrvlink.pc)
[ -n "$pc" ] || fail "no qrvlink.pc installed"
libdir=$(dirname "$(dirname "$pc")")
export PKG_CONFIG_LIBDIR="$(dirname "$pc")" PKG_CONFIG_SYSROOT_DIR="$root"
# shellcheck disable=SC2046,SC2086
"$cc" -std=c11 -Wall -Wextra -Werror $cflags -o "$root/read_pkgconfig" \
  "$source/sdk/examples/qrv_read_local.c" $(pkg-config --cflags --libs qrvlink)

mkdir "$root/consumer"
cat > "$root/consumer/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.16)
project(consumer C)
find_package(Qrvlink 1.0 REQUIRED)
add_executable(read_cmake "$source/sdk/examples/qrv_read_local.c")
target_link_libraries(read_cmake PRIVATE Qrvlink::Qrvlink)
CMAKE
cmake -S "$root/consumer" -B "$root/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="$cflags" >/dev/null
cmake --build "$root/consumer/build" >/dev/null

export LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
for program in "$root/read_pkgconfig" "$root/consumer/build/read_cmake"; do
  out=$("$source/scripts/with_qrvsim.sh" "$prefix/bin/qrvsim" --baud 9600 -- "$program" {port} 9600)
  echo "$out" | grep -q '^address   0001$' || fail "$(basename "$program") did not read the module: $out"
done
# The Python package as installed, on the installed library by its soname.
python_dir=$(find "$prefix" -type d -name qrvlink -path '*dist-packages*')
[ -n "$python_dir" ] || fail "no qrvlink Python package installed"
[ ! -e "$python_dir/_build_tree.py" ] || fail "the build tree's library path was installed"
if command -v python3 >/dev/null; then
  python=python3
  [ -z "$preload" ] || python="env LD_PRELOAD=$preload ASAN_OPTIONS=detect_leaks=0 python3"
  out=$(PYTHONPATH="$(dirname "$python_dir")" "$source/scripts/with_qrvsim.sh" "$prefix/bin/qrvsim" --baud 9600 -- \
    $python "$prefix/share/doc/qrvlink/examples/qrvlink_example.py" --baud 9600 {port})
  echo "$out" | grep -q '^far    0102  P2P-Node-A' || fail "the installed Python package did not search: $out"
fi
echo "installed SDK: pkg-config and find_package consumers and the Python package read the simulated module"
