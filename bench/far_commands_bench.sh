#!/bin/sh
# qrvctl's far-module commands against their floor at 115200 and 9600
# baud, on the simulated default network (far modules on the local pair).
# The floor of a command is the sum over the exchanges the SDK's exports
# must make for it of: the command's fixed pause (docs/protocol.md) or the
# request and answer on the wire, whichever is longer, plus the host's read
# interval (40 character times) that ends each read of an answer.
#   bench/far_commands_bench.sh [BUILD_DIR]     (RUNS=3: the median is shown)
set -eu
build=${1:-build}
runs=${RUNS:-3}
work=$(mktemp -d)
sim=""
cleanup() {
    [ -z "$sim" ] || kill "$sim" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"

# exchange: request bytes, answer bytes, pause ms
exchange() {
    case $1 in
        D1) echo "3 10 100" ;; D2) echo "7 63 100" ;; D4) echo "5 4 100" ;; D6) echo "5 8 10" ;;
        D3) echo "59 6 0" ;; D7) echo "7 0 400" ;; DB) echo "7 8 1000" ;; io-D6) echo "5 6 0" ;; io-D7) echo "5 13 0" ;;
        D8) echo "7 8 0" ;; D9) echo "72 8 10" ;; DA) echo "7 8 0" ;;
    esac
}
floor_ms() {  # baud exchanges...
    baud=$1
    shift
    for x in "$@"; do exchange "$x"; done | awk -v b="$baud" '{
        wire = ($1 + $2) * 10000 / b; t = $3 > wire ? $3 : wire
        if ($2 > 0) { ri = 400000 / b; t += ri < 1 ? 1 : ri }
        sum += t } END { printf "%.0f", sum }'
}
# The local module once, then a search for the address on its pair: the
# radio is already there, so no tuning (nor one home at the end).
find="D1 D2 D6"
median_ms() {
    for i in $(seq 1 "$runs"); do
        extra=""
        case $1 in *" set "*) extra="--password 123456" ;; *factory-reset*) extra="--yes" ;; esac
        s=$(date +%s%N)
        # shellcheck disable=SC2086
        "$build/qrvctl/qrvctl" $1 --port "$port" --baud "$baud" $extra -q >/dev/null 2>&1 || echo "$1 failed" >&2
        e=$(date +%s%N)
        echo $(((e - s) / 1000000))
    done | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

# Two blocks in the second region (header: five little-endian words).
image="$work/two-blocks.bin"
printf '\000\000\000\000\000\000\000\000\000\010\000\000\200\010\000\000\020\000\000\000' >"$image"
head -c 128 /dev/zero >>"$image"

echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
printf '%-7s %-34s %9s %9s %6s\n' baud command measured floor ratio
for baud in 115200 9600; do
    # The floor counts no time of the module's own: the simulated modules
    # answer once the request is in (SIM_LATENCY=default keeps qrvsim's
    # 3 ms, plus 2 ms each way over the air).
    latency="--latency 0 --air-latency 0"
    [ "${SIM_LATENCY:-}" = default ] && latency=""
    # shellcheck disable=SC2086
    "$build/sim/qrvsim" --baud "$baud" --no-announce $latency >"$work/path" 2>/dev/null &
    sim=$!
    sleep 0.5
    port=$(head -1 "$work/path")
    while IFS='|' read -r command exchanges; do
        # shellcheck disable=SC2086
        f=$(floor_ms "$baud" $find $exchanges)
        command=$(echo "$command" | sed "s|\$image|$image|")
        m=$(median_ms "$command")
        awk -v b="$baud" -v c="$command" -v m="$m" -v f="$f" 'BEGIN { sub(/ [^ ]*two-blocks.bin/, " IMAGE", c); printf "%-7d %-34s %6d ms %6d ms %6.2f\n", b, c, m, f, m / f }'
    done <<'COMMANDS'
remote 0x0102 info|D2
remote 0x0102 set name=P2P-Node-A|D2 D3 D7 D2
remote 0x0102 reset|D7
remote 0x0102 factory-reset|DB D7
io 0x0203 read|io-D6
ad 0x0203|io-D7
upgrade $image --address 0x0102|D2 D8 D7 D9 D9 DA D7 D7 D2
COMMANDS
    kill "$sim"
    sim=""
done
