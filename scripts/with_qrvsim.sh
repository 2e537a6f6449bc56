#!/usr/bin/env bash
# Runs a command against a fresh simulated network:
#   scripts/with_qrvsim.sh QRVSIM [qrvsim options --] COMMAND ARGS...
# Every "{port}" in the command is replaced by the simulator's pty path. The
# simulator is started, awaited (its first output line is the path) and
# stopped again with SIGTERM when the command ends; the command's status is
# the script's.
set -euo pipefail
qrvsim=$1; shift
sim_args=()
if [[ " $* " == *" -- "* ]]; then
  while [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
  shift
fi

fifo=$(mktemp -u); mkfifo "$fifo"
"$qrvsim" --no-announce "${sim_args[@]}" > "$fifo" &
sim_pid=$!
trap 'kill -TERM $sim_pid 2>/dev/null || true; wait $sim_pid 2>/dev/null || true; rm -f "$fifo"' EXIT
exec 3< "$fifo"
if ! IFS= read -r -t 20 port <&3; then
  echo "qrvsim did not start" >&2
  exit 1
fi

cmd=()
for arg in "$@"; do cmd+=("${arg//\{port\}/$port}"); done
status=0
"${cmd[@]}" || status=$?
exit $status
