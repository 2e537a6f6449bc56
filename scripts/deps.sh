#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need.
# Skips apt entirely when everything is already there.
#   scripts/deps.sh            the Linux build, tests and demo
#   scripts/deps.sh --windows  the Windows cross build (scripts/test-windows.sh,
#                              scripts/package-windows.sh)
#   scripts/deps.sh --wine     64-bit wine for the Windows tests
#   scripts/deps.sh --wine32   32-bit wine as well (adds dpkg's i386 architecture)
#   scripts/deps.sh --wine-gui what drives and photographs a window under Xvfb
#                              (test-windows-configurator.sh)
#   scripts/deps.sh --package  also the Debian packaging tools (scripts/package.sh)
#   scripts/deps.sh --fuzz     clang and its fuzzer runtime (scripts/fuzz.sh)
#   scripts/deps.sh --all      the Linux build, packaging, fuzzing, the Windows
#                              cross build, 64-bit wine, NSIS and the window
#                              tools in one apt run (CI)
#   scripts/deps.sh --qt-mingw what scripts/build-qt-mingw.sh needs, with
#                              Debian's source archive (deb-src) enabled
#   scripts/deps.sh --nsis     the Windows installer builder (package-windows.sh)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config mold
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  qt6-base-dev qt6-l10n-tools qt6-tools-dev libsimpleini-dev
  xvfb xauth fonts-wqy-microhei
  qt6-translations-l10n
  python3 scdoc
  picocom minicom bsdutils
)
case "${1:-}" in
  --windows)
    # googletest: its sources are cross-built for the tests.
    packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest zip) ;;
  --wine)
    packages=(wine wine64) ;;
  --wine32)
    packages=(wine32:i386) ;;
  --wine-gui)
    packages=(xdotool x11-apps netpbm) ;;
  --package)
    packages+=(debhelper dh-python python3-all lintian desktop-file-utils appstream) ;;
  --fuzz)
    packages+=(clang libclang-rt-14-dev) ;;
  --all)
    packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest zip wine wine64
               debhelper dh-python python3-all lintian desktop-file-utils appstream
               clang libclang-rt-14-dev nsis xdotool x11-apps netpbm) ;;
  --qt-mingw)
    packages=(cmake ninja-build ccache dpkg-dev xz-utils g++-mingw-w64-x86-64-posix
              qt6-base-dev qt6-base-dev-tools qt6-l10n-tools) ;;
  --nsis)
    packages=(nsis) ;;
esac

# apt-get source needs the source archive; Debian 12 ships only binaries enabled.
if [ "${1:-}" = --qt-mingw ] && ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' 'Components: main' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  $sudo apt-get update
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
if [ "${1:-}" = --wine32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
