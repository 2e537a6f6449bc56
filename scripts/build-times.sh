#!/usr/bin/env bash
# Where a build's time went, from ninja's own log: the sum of step times, the
# share of the test programs and the slowest steps. Read it after a cold
# build (a rebuild only logs the steps it ran).
#   scripts/build-times.sh [BUILD_DIR] [TOP]
set -euo pipefail
dir=${1:-build}
top=${2:-15}
log=$dir/.ninja_log
[ -f "$log" ] || { echo "no $log: build first" >&2; exit 1; }

# .ninja_log v5: start ms, end ms, mtime, output, command hash. A step that
# ran more than once keeps its last line.
awk -F'\t' -v top="$top" '
  NR == 1 { next }
  { ms[$4] = $2 - $1; if ($2 > span) span = $2 }
  END {
    for (o in ms) {
      total += ms[o]
      if (o ~ /^tests\// || o ~ /_test(s)?(\.|$)/) tests += ms[o]
      n++
    }
    printf "steps %d, step time %.0f s, wall %.0f s, tests %.0f s (%.0f %%)\n",
           n, total / 1000, span / 1000, tests / 1000, total ? 100 * tests / total : 0
    cmd = "sort -rn | head -" top
    for (o in ms) printf "%8.1f s  %s\n", ms[o] / 1000, o | cmd
    close(cmd)
  }' "$log"
