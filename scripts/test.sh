#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite,
# then again under AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/test.sh            both passes
#   scripts/test.sh --quick    the plain pass only
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_pass() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQRV_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
}

run_pass build
if [ "${1:-}" != "--quick" ]; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_pass build-asan -DQRV_SANITIZERS="address;undefined" -DQRV_BUILD_BENCH=OFF
fi
