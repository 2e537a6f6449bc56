#!/usr/bin/env bash
# scripts/test-windows.sh --configurator: the Windows package under wine.
#  - the installer installs silently (/S) into Program Files with its
#    Start-menu entries and uninstall key, and its uninstaller removes all of it;
#  - with Qt for MinGW (scripts/find-qt-mingw.sh): Qrvtune.exe starts on the
#    windows platform plugin under Xvfb and stays up, with COM5 leading to qrvsim.
# Without that Qt the configurator part is skipped with a one-line note.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --wine
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
  # Qrvtune.exe starts against the simulator on COM5 and is still running
  # after a while (a missing DLL or plugin ends it at once).
  scripts/with_qrvsim.sh build/sim/qrvsim --baud 9600 -- bash -c '
    set -euo pipefail
    ln -sfn "$1" "$WINEPREFIX/dosdevices/com5"
    xvfb-run -a -s "-screen 0 1366x768x24" wine "$2/Qrvtune.exe" &
    pid=$!
    sleep 20
    kill -0 $pid || { echo "Qrvtune.exe ended early" >&2; exit 1; }
    wineserver -k || true
    rm -f "$WINEPREFIX/dosdevices/com5"' run {port} "$program"
  echo "Qrvtune.exe: started under wine"
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
