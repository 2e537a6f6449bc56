#!/usr/bin/env bash
# Qrvtune.exe under wine reads the module behind a pty, as a user would:
#   scripts/wine-qrvtune-read.sh PTY PROGRAM_DIR SHOTS_DIR [zh|en]
# COM5 is registered as the pty (Software\Wine\Ports) so that wine's port
# list (SERIALCOMM, read by SetupAPI) shows it at the next start; the window
# runs on the real "windows" platform plugin on a private X server, xdotool
# types COM5 into the port field, presses "打开串口" and Ctrl+R ("读取"),
# and SHOTS_DIR gets the window before and after (the name read is in the
# second; a user-looking check of it stays with whoever views it). Succeeds when the open was
# remembered in %APPDATA%\Qrvtune\Meshcfg.ini (only a successful open is).
# Needs WINEPREFIX set; the language is zh unless given.
set -euo pipefail
pty=$1 program=$2 shots=$3 lang=${4:-zh}
mkdir -p "$shots"

wineserver -w
wine reg add 'HKLM\Software\Wine\Ports' /v COM5 /d "$pty" /f >/dev/null 2>&1
# The prefix has none of Windows' own fonts, and the faces wine puts in their
# place draw no Latin text in line edits: the names Qt and Windows ask for
# become WenQuanYi Micro Hei, which has both scripts.
for face in "Segoe UI" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" "SimSun" "MS Sans Serif" "Arial"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
done
# The entries take effect at the next start: wait for this server to end.
# (Killed, a wine server writes out all its objects where its first client wrote.)
wineserver -w
user_settings="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Qrvtune/Meshcfg.ini"
rm -f "$user_settings"

# A private display; Xvfb writes the number it took.
exec {display_fd}< <(exec Xvfb -displayfd 1 -screen 0 1366x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
# The port entry goes again: at its next start wine would link COM5 to a
# pty that is gone.
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wine reg delete 'HKLM\Software\Wine\Ports' /v COM5 /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com5"
}
trap cleanup EXIT
read -r -t 20 number <&$display_fd
export DISPLAY=:$number

wine "$program/Qrvtune.exe" --lang "$lang" >/dev/null 2>&1 &
# The title carries the version from the shipped Meshcfg.ini beside the program.
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Qrvtune V[0-9]')
window=${window%%$'\n'*}
xdotool windowmove --sync "$window" 0 0
sleep 2

# shot NAME: the whole screen as SHOTS_DIR/NAME.png, cut to the window.
shot() {
  local geometry width height
  geometry=$(xdotool getwindowgeometry --shell "$window")
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  xwd -root -silent | xwdtopnm 2>/dev/null | pamcut -left 0 -top 0 -width "$width" -height "$height" |
    pnmtopng >"$shots/$1.png"
}

# click X Y: a left click at a point of the window (placed at 0,0; the
# points are those of the Chinese window on this screen).
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

shot window-start
click 150 63     # 串口号
xdotool key ctrl+a type COM5
click 515 93     # 打开串口
sleep 2
# Ctrl+R presses "读取"; the pointer leaves so no tooltip covers the pages.
xdotool key ctrl+r mousemove 1300 700
sleep 6
shot window-read
grep -q '^Port=COM5' "$user_settings" || { echo "Qrvtune.exe did not open COM5" >&2; exit 1; }
echo "Qrvtune.exe: opened COM5 and read the local module ($shots/window-read.png)"
