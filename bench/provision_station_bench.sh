#!/bin/sh
# Modules per hour of `qrvctl provision --station` on 1, 2 and 4 simulated
# adapters, each a line of MODULES modules with a SWAP_MS gap between two
# (the operator's hand), against the floor: per module the protocol's own
# waits (two loads of 200 ms, the 400 ms restart pause) plus the gap.
# Parallel efficiency is the rate on N adapters over N times the rate on one.
# The first module of each line is in the jig at the start, so a run of M
# modules waits M-1 gaps: the rates come out a little above a long run's.
#   bench/provision_station_bench.sh [BUILD_DIR]    (MODULES=5 SWAP_MS=2000)
set -eu
build=${1:-build}
modules=${MODULES:-5}
swap=${SWAP_MS:-2000}
work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"

floor_ms=$((200 + 400 + 200 + swap))
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; $modules modules an adapter, ${swap} ms swap gap"
printf '%-9s %8s %10s %12s %12s %7s %11s\n' adapters modules seconds modules/h floor/h ratio efficiency
one=""
for adapters in 1 2 4; do
    run="$work/$adapters"
    mkdir -p "$run"
    ports=""
    pids=""
    for a in $(seq 1 "$adapters"); do
        # A module leaves 450 ms after its restart: once its read-back is done.
        "$build/sim/qrvsim" --station "$modules" --swap-gap "$swap" --leave-after 450 --no-announce \
            --link "$run/jig$a" >/dev/null &
        pids="$pids $!"
        ports="$ports --port $run/jig$a"
    done
    rows=$((adapters * modules))
    { echo local-address; for n in $(seq 1 "$rows"); do printf '0x%04X\n' $((0x0100 + n)); done; } >"$run/plan.csv"
    sleep 0.5
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    "$build/qrvctl/qrvctl" provision "$run/plan.csv" --station $ports --password 123456 --poll 100 >/dev/null
    end=$(date +%s.%N)
    for pid in $pids; do kill "$pid"; done
    pids=""
    written=$(grep -c '"result":"written"' "$run/plan.csv.report.jsonl")
    awk -v a="$adapters" -v n="$written" -v s="$start" -v e="$end" -v f="$floor_ms" -v one="$one" 'BEGIN {
        t = e - s; rate = n / t * 3600; floor = a * 3600000 / f
        eff = one == "" ? 1 : rate / (a * one)
        printf "%-9d %8d %10.2f %12.0f %12.0f %7.2f %11.2f\n", a, n, t, rate, floor, floor / rate, eff
    }'
    [ -n "$one" ] || one=$(awk -v n="$written" -v s="$start" -v e="$end" 'BEGIN { print n / (e - s) * 3600 }')
done
