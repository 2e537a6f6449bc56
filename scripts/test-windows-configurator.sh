#!/usr/bin/env bash
# scripts/test-windows.sh --configurator: the Windows package under wine.
#  - the installer installs silently (/S) into Program Files with its
#    Start-menu entries and uninstall key, and its uninstaller removes all of it;
#  - with Qt for MinGW (scripts/find-qt-mingw.sh): the installed Qrvtune.exe
#    opens COM5, leading to qrvsim, and reads the local module
#    (scripts/wine-qrvtune-read.sh, on the windows platform plugin under Xvfb).
# Without that Qt the configurator part is skipped with a one-line note.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --wine
scripts/deps.sh --wine-gui
scripts/deps.sh --nsis
qt_prefix=$(scripts/find-qt-mingw.sh) || qt_prefix=""

scripts/package-windows.sh >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win64/CMakeCache.txt)
setup=$PWD/out/qrvtune-$version-setup.exe

export WINEPREFIX=$PWD/build-wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p build-wine
# A wineserver left from an earlier run breaks the next one.
wineserver -k 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
[ -d "$WINEPREFIX/dosdevices" ] || wineboot --init >/dev/null 2>&1
# Qt 6 wants Windows 10; a fresh prefix says 7.
winecfg -v win10 >/dev/null 2>&1

program="$WINEPREFIX/drive_c/Program Files/Qrvtune"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Qrvtune"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qrvtune'

wine "$setup" /S
wineserver -w
for f in Qrvlink.dll qrvctl.exe Uninstall.exe README.md; do
  [ -f "$program/$f" ] || { echo "installer: $f missing" >&2; exit 1; }
done
[ -f "$menu/Uninstall Qrvtune.lnk" ] || { echo "installer: no Start-menu entry" >&2; exit 1; }
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" || { echo "installer: no uninstall key" >&2; exit 1; }
echo "installer: installed $(find "$program" -type f | wc -l) files"

if [ -n "$qt_prefix" ]; then
  [ -f "$program/Qrvtune.exe" ] || { echo "installer: Qrvtune.exe missing" >&2; exit 1; }
  # The installed Qrvtune.exe opens COM5, leading to the simulator, and
  # reads the local module; its window before and after lands in
  # build-wine/shots/ (docs/windows.md shows them).
  scripts/with_qrvsim.sh build/sim/qrvsim --baud 115200 -- \
    scripts/wine-qrvtune-read.sh {port} "$program" build-wine/shots
fi

# The uninstaller runs from a copy of itself; wineserver -w waits for it.
wine "$program/Uninstall.exe" /S
wineserver -w
if [ -e "$program" ] || [ -e "$menu" ] || wine reg query "$key" >/dev/null 2>&1; then
  echo "uninstaller left something behind:" >&2
  find "$program" "$menu" 2>/dev/null >&2 || true
  exit 1
fi
echo "installer: uninstalled, nothing left"
