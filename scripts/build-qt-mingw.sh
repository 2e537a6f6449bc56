#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source with Debian's
# MinGW-w64 cross compiler, and packs the installed prefix as
#   qt6-mingw64-<qtversion>-<recipe hash>.tar.xz  (+ .sha256)
# The recipe hash covers this script, so any change to the options below
# gives a new file name and a stale pack is never mistaken for a fresh one.
# Only what Qrvtune needs is built: Core, Gui, Widgets and the "windows"
# platform plugin, as shared DLLs (users may replace them, as the LGPL asks).
# moc, rcc, uic and lrelease are the host's (qt6-base-dev-tools,
# qt6-l10n-tools), which are the same 6.4.2.
#   scripts/build-qt-mingw.sh [WORKDIR]     default /work/qtbuild
# Environment: QT_JOBS (default 2), QT_NICE (default 19), QT_BUILD_DIR (below).
# The pack lands in WORKDIR/out; copy it into ../shared/cache/ to share it.
set -euo pipefail
script=$(readlink -f "$0")
repo=$(dirname "$(dirname "$script")")
work=$(readlink -m "${1:-/work/qtbuild}")
jobs=${QT_JOBS:-2}
nice=${QT_NICE:-19}

qt_version=6.4.2
deb_version=6.4.2+dfsg-10
# The .dsc lists the checksums of the tarballs; dpkg-source checks them.
dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970
triplet=x86_64-w64-mingw32

recipe=$(sha256sum "$script" | cut -c1-12)
name=qt6-mingw64-$qt_version-$recipe
prefix=$work/prefix/$name
out=$work/out
mkdir -p "$work/src" "$out"

# Tools: the cross compiler, the host's Qt tools, and deb-src for apt-get source.
"$repo/scripts/deps.sh" --qt-mingw

# --- source -------------------------------------------------------------------
cd "$work/src"
dsc=qt6-base_$deb_version.dsc
if ! echo "$dsc_sha256  $dsc" | sha256sum -c --status 2>/dev/null; then
  apt-get source --download-only "qt6-base=$deb_version"
  echo "$dsc_sha256  $dsc" | sha256sum -c
fi
if [ ! -f qtbase/.unpacked ]; then
  rm -rf qtbase
  dpkg-source -x --skip-debianization "$dsc" qtbase
  touch qtbase/.unpacked
fi
# With OpenGL off the windows plugin still compiles its software-OpenGL
# check: the dynamicgl feature follows the configure input INPUT_opengl, not
# FEATURE_opengl, and stays on, and the check names OpenGL's classes. Here it
# also needs OpenGL; the plugin's other uses are guarded already.
window_cpp=qtbase/src/plugins/platforms/windows/qwindowswindow.cpp
if grep -qx '#if QT_CONFIG(dynamicgl)' "$window_cpp"; then
  sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$window_cpp"
fi

# --- toolchain ----------------------------------------------------------------
toolchain=$work/mingw64-toolchain.cmake
cat >"$toolchain" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER $triplet-gcc-posix)
set(CMAKE_CXX_COMPILER $triplet-g++-posix)
set(CMAKE_RC_COMPILER $triplet-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triplet)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# --- configure ------------------------------------------------------------------
# Left out: OpenGL, Vulkan, D-Bus, network, SQL, print support, XML,
# Concurrent, test lib, ICU, FreeType (Windows draws text with GDI and
# DirectWrite). Debian's source drops the wintab sources, so no tablet
# events. DirectWrite's font engine is compiled only together with Direct2D
# (qtbase/src/gui/CMakeLists.txt), so Direct2D stays on; direct2d1_1 off
# leaves out the separate direct2d platform plugin we do not ship.
# Third-party libraries are Qt's bundled copies (the MinGW root has none).
options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF
  -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_testlib=OFF
  -DFEATURE_icu=OFF -DFEATURE_freetype=OFF -DFEATURE_harfbuzz=ON
  -DFEATURE_tabletevent=OFF
  -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
  -DFEATURE_directwrite=ON -DFEATURE_directwrite3=ON
  -DFEATURE_pkg_config=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  -DFEATURE_system_md4c=OFF
)
# QT_BUILD_DIR resumes the tree of an earlier recipe whose configure options
# were the same (a fix to the sources alone), keeping its finished objects.
build=${QT_BUILD_DIR:-$work/build-$recipe}
# Qt's objects get their own cache, so the project's shared cache keeps its room.
export CCACHE_DIR=$work/ccache
start=$(date +%s)
if [ ! -f "$build/build.ninja" ]; then
  nice -n "$nice" cmake -S "$work/src/qtbase" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    "${options[@]}"
fi
nice -n "$nice" cmake --build "$build" -j "$jobs"
rm -rf "$prefix"
# Into this recipe's prefix, whatever name a resumed tree was configured with.
cmake --install "$build" --prefix "$prefix" >/dev/null

# The MinGW runtime DLLs the Qt DLLs need go beside them, so a prefix is
# complete on its own.
for dll in /usr/lib/gcc/$triplet/12-posix/libstdc++-6.dll \
           /usr/lib/gcc/$triplet/12-posix/libgcc_s_seh-1.dll \
           /usr/$triplet/lib/libwinpthread-1.dll; do
  cp "$dll" "$prefix/bin/"
done
echo "$name built from qt6-base $deb_version ($dsc_sha256)" >"$prefix/QRV_QT_RECIPE"

# --- pack -----------------------------------------------------------------------
tar -C "$(dirname "$prefix")" -cf - "$name" | nice -n "$nice" xz -T"$jobs" -6 >"$out/$name.tar.xz"
(cd "$out" && sha256sum "$name.tar.xz" >"$name.tar.xz.sha256")
secs=$(( $(date +%s) - start ))
echo "$out/$name.tar.xz: $(du -h "$out/$name.tar.xz" | cut -f1) packed, prefix $(du -sh "$prefix" | cut -f1), built in $((secs / 60)) min $((secs % 60)) s"
