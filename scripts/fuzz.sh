#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one on its seed
# corpus (tests/fuzz/corpus/<name>), two at a time.
#   scripts/fuzz.sh              a smoke run: 30 s per target
#   scripts/fuzz.sh 600          ten minutes per target
#   scripts/fuzz.sh 60 scenario  one target
# New inputs found go to build-fuzz/corpus/<name>; crashes to
# build-fuzz/crashes/ and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is not installed (scripts/deps.sh --fuzz)" >&2
  exit 1
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQRV_BUILD_FUZZERS=ON -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF -DQRV_BUILD_CONFIGURATOR=OFF >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(find tests/fuzz/corpus -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
fi
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/crashes
run_one() {
  local name=$1
  mkdir -p "build-fuzz/corpus/$name"
  if "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="build-fuzz/crashes/$name-" -print_final_stats=0 \
       "build-fuzz/corpus/$name" "tests/fuzz/corpus/$name" >"build-fuzz/fuzz-$name.log" 2>&1; then
    echo "fuzz $name: $(grep -Eo 'cov: [0-9]+' "build-fuzz/fuzz-$name.log" | tail -1), no crash in ${seconds} s"
  else
    echo "fuzz $name: FAILED, see build-fuzz/fuzz-$name.log and build-fuzz/crashes/" >&2
    tail -30 "build-fuzz/fuzz-$name.log" >&2
    return 1
  fi
}

status=0
pids=()
for name in "${targets[@]}"; do
  run_one "$name" & pids+=($!)
  if [ ${#pids[@]} -ge "$(nproc)" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
# The settings-file and image-file targets' scratch files (a time-limited
# run ends without its cleanup).
rm -f /dev/shm/qrv-ini-fuzz-* /tmp/qrv-ini-fuzz-* /tmp/qrv-image-fuzz-*
exit $status
