#!/usr/bin/env bash
# Captures every frame of the module protocol: runs
# sdk/examples/qrvlink_every_command.py against `qrvsim --trace`, writes the
# SDK's steps interleaved with the simulator's trace to
# docs/protocol-trace.txt (or the file given) and, for the default file,
# refreshes the excerpts in docs/protocol.md.
#   scripts/protocol_trace.sh [OUTPUT]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/protocol-trace.txt}

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON >/dev/null
cmake --build build --target Qrvlink qrvsim >/dev/null

# One stream: the example's step titles (stdout) and the trace (stderr) in
# the order they happen. 9600 baud keeps every answer whole on a busy machine.
scripts/with_qrvsim.sh build/sim/qrvsim --baud 9600 --trace -- \
  python3 -u sdk/examples/qrvlink_every_command.py --lib build/sdk/libQrvlink.so --baud 9600 {port} \
  > "$out" 2>&1
echo "trace: $out"
if [ $# -eq 0 ]; then
  python3 scripts/trace_into_doc.py "$out" docs/protocol.md
  echo "excerpts: docs/protocol.md"
fi
