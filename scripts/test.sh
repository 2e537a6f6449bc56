#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite;
# the sanitizer pass runs it again under AddressSanitizer and
# UndefinedBehaviorSanitizer (CI runs both).
#   scripts/test.sh            the plain pass (build/; also --plain, --quick)
#   scripts/test.sh --asan     the sanitizer pass only (build-asan/)
#   scripts/test.sh --both     both passes
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Line tables (-g1) are all a test failure's backtrace needs; full debug
# information costs a third of the product's compile time.
run_pass() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" "$@"
  # The build's wall and processor time, for comparing build changes.
  local TIMEFORMAT="build of $dir: %R s wall, %U s user, %S s system"
  time cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

mode=${1:-}
case $mode in ""|--plain|--quick|--asan|--both) ;; *) echo "usage: scripts/test.sh [--asan|--both]" >&2; exit 2 ;; esac

if [ "$mode" != --asan ]; then
  run_pass build
fi
if [ "$mode" = --asan ] || [ "$mode" = --both ]; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_pass build-asan -DQRV_SANITIZERS="address;undefined" -DQRV_BUILD_BENCH=OFF
fi
