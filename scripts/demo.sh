#!/usr/bin/env bash
# The first thing to run: installs what is missing, builds the configurator
# and the simulator, starts qrvsim with its default network and then
#   - with a display: opens Qrvtune; the simulated port is first in the port
#     list, so press "打开串口" and then "读取";
#   - without one (or with --headless): runs qrvtune_tour, the scripted tour
#     of the real program on Qt's offscreen platform, and prints where its
#     screenshots are.
# qrvsim is stopped when the program or the tour ends.
#   scripts/demo.sh [--headless] [--out DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

headless=0
out=build/demo-tour
while [ $# -gt 0 ]; do
  case $1 in
    --headless) headless=1 ;;
    --out) out=$2; shift ;;
    *) echo "usage: scripts/demo.sh [--headless] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then headless=1; fi

scripts/deps.sh

# The same build folder and options as scripts/test.sh, so that one build
# serves both; only the demo's programs are built here.
targets=(Qrvtune qrvsim)
[ $headless -eq 1 ] && targets+=(qrvtune_tour)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)" --target "${targets[@]}"

# The headless tour paces the simulator at 9600 baud: a loaded machine cannot
# stretch the gaps inside an answer to the SDK's end-of-answer silence there.
sim_args=()
[ $headless -eq 1 ] && sim_args=(--baud 9600)

# qrvsim prints its pty path as its first line once the port is served;
# that line is the signal to go on.
fifo=$(mktemp -u); mkfifo "$fifo"
build/sim/qrvsim "${sim_args[@]}" > "$fifo" &
sim_pid=$!
app_pid=
# Also when the script itself is stopped: the program goes first, then the
# simulator, which removes its announced link on SIGTERM.
stop_all() {
  [ -n "$app_pid" ] && kill -TERM "$app_pid" 2>/dev/null || true
  kill -TERM "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -f "$fifo"
}
trap stop_all EXIT
exec 3< "$fifo"
if ! IFS= read -r -t 30 port <&3; then
  echo "qrvsim did not start" >&2
  exit 1
fi
echo "qrvsim: the default network is on $port"

# The program runs as a child the script waits for, so that stopping the
# script stops it too.
if [ $headless -eq 0 ]; then
  echo "Qrvtune: the simulated port is first in the port list (串口号); press \"打开串口\", then \"读取\"."
  build/configurator/Qrvtune &
  app_pid=$!
  wait "$app_pid"
else
  rm -rf "$out"
  build/configurator/qrvtune_tour --out "$out" --port "$port" --baud 9600 &
  app_pid=$!
  wait "$app_pid"
  echo "Screenshots: $(cd "$out" && pwd)"
fi
