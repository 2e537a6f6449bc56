#!/bin/sh
# Runs qrvtune_tour into a fresh folder and checks its pictures: every step
# the tour reports as done must have left each of its PNGs, and the steps
# named on the command line must be among them.
#   tour_test.sh QRVTUNE_TOUR STEP...
set -eu
tour=$1; shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A runtime folder of its own: the tour's announced port stays out of the user's list.
mkdir -m 700 "$dir/run"
XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config" "$tour" --out "$dir/shots"

manifest="$dir/shots/tour.txt"
png_magic='89504e470d0a1a0a'
status=0
# The tour opens a temporary port; it must not become the remembered one.
[ ! -e "$dir/config" ] || { echo "the tour wrote settings: $(find "$dir/config" -type f)"; status=1; }
for step in "$@"; do
  grep -q "^$step done" "$manifest" || { echo "step $step did not run"; status=1; }
done
while read -r name outcome rest; do
  [ "$outcome" = done ] || continue
  pictures=${rest%%#*}
  [ -n "$pictures" ] || { echo "step $name left no picture"; status=1; }
  for picture in $pictures; do
    magic=$(head -c 8 "$dir/shots/$picture" 2>/dev/null | od -An -tx1 | tr -d ' \n')
    [ "$magic" = "$png_magic" ] || { echo "step $name: $picture is not a PNG"; status=1; }
  done
done < "$manifest"
exit $status
