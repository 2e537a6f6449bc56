#!/usr/bin/env bash
# Builds the Debian packages of this tree (debian/) with dpkg-buildpackage
# into out/, checks them with lintian and prints their paths.
#   scripts/package.sh             the package build runs the test suite too
#   scripts/package.sh --nocheck   without it (when the suite already ran)
#   scripts/package.sh --noddebs   without the -dbgsym packages (and so
#                                  without compiling debug information)
# Install them with:  sudo apt-get install ./out/qrvtune_*.deb ./out/libqrvlink1_*.deb ...
set -euo pipefail
cd "$(dirname "$0")/.."

options="parallel=$(nproc)"
for arg in "$@"; do
  case $arg in
    --nocheck) options="$options nocheck" ;;
    --noddebs) options="$options noddebs" ;;
    *) echo "usage: scripts/package.sh [--nocheck] [--noddebs]" >&2; exit 2 ;;
  esac
done

scripts/deps.sh --package

# The packages carry the version of debian/changelog; the build, of CMakeLists.txt.
changelog=$(dpkg-parsechangelog -SVersion)
project=$(sed -n 's/^project(Qrvlink VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$changelog" = "$project" ] || { echo "debian/changelog has $changelog, CMakeLists.txt $project" >&2; exit 1; }

# dpkg-buildpackage builds inside its source folder and leaves the packages
# beside it: a copy of the tree (tracked and new files, not the builds).
work=build-deb
rm -rf "$work"
mkdir -p "$work/src"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  xargs -0 cp --parents -t "$work/src"
(cd "$work/src" && DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -us -uc -b)

# No error, no warning; informational tags are fixed or overridden in debian/.
lintian --fail-on error,warning --info "$work"/*.changes

mkdir -p out
rm -f out/*.deb
mv "$work"/*.deb out/
for package in out/*.deb; do echo "$(cd out && pwd)/$(basename "$package")"; done
