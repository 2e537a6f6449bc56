#!/usr/bin/env bash
# Installs the packages of out/ on this machine with dpkg -i, checks them as
# installed, purges them with apt-get and checks that nothing of theirs is
# left. Needs root (CI runs it on its own machine); build them first with
# scripts/package.sh.
#   scripts/package_install_test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "run as root: it installs and purges packages" >&2; exit 1; }

debs=(out/*.deb)
[ -e "${debs[0]}" ] || { echo "no packages in out/: run scripts/package.sh" >&2; exit 1; }
packages=()
for deb in "${debs[@]}"; do packages+=("$(dpkg-deb -f "$deb" Package)"); done
for package in "${packages[@]}"; do
  if dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qv '^not-installed$'; then
    echo "$package is already on this machine: purge it first" >&2; exit 1
  fi
done

fail() { echo "$*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every path the packages ship, and which of them were there before.
for deb in "${debs[@]}"; do dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's#^\./#/#; s#/$##'; done |
  grep -v '^\.\?$' | sort -u > "$work/paths"
while read -r path; do [ -e "$path" ] || [ -L "$path" ] || echo "$path"; done < "$work/paths" > "$work/new"

export DEBIAN_FRONTEND=noninteractive
dpkg -i "${debs[@]}"

# As installed: the library resolves, the pages and entries are found and
# valid, and a program built against the installed SDK reads a module of the
# installed simulator.
! ldd /usr/bin/Qrvtune | grep -q 'not found' || fail "Qrvtune misses a library"
for page in Qrvtune qrvsim; do
  grep -qx "/usr/share/man/man1/$page.1.gz" "$work/paths" || fail "no manual page $page(1)"
done
desktop-file-validate /usr/share/applications/qrvtune.desktop || fail "desktop entry not valid"
appstreamcli validate --no-net /usr/share/metainfo/*qrvtune.metainfo.xml >/dev/null || fail "metainfo not valid"
[ -f /usr/share/qrvtune/Meshcfg.ini ] || fail "Qrvtune's files are not in /usr/share/qrvtune"
cc -std=c11 -Wall -Werror -o "$work/read_local" /usr/share/doc/libqrvlink-dev/examples/qrv_read_local.c \
  $(pkg-config --cflags --libs qrvlink)
out=$(scripts/with_qrvsim.sh /usr/bin/qrvsim --baud 9600 -- "$work/read_local" {port} 9600)
echo "$out" | grep -q '^address   0001$' || fail "the installed SDK did not read the module: $out"
# The Python package from its installed place (not this tree), in the
# system's Python (the one dist-packages belongs to), on the library found
# by its soname: the installed example reads the module.
version=$(cd / && /usr/bin/python3 -c 'import qrvlink; print(qrvlink.__file__, qrvlink.library_version())')
expected="/usr/lib/python3/dist-packages/qrvlink/__init__.py $(dpkg-query -W -f='${Version}' libqrvlink1)"
[ "$version" = "$expected" ] || fail "import qrvlink: $version, not $expected"
out=$(cd / && "$OLDPWD/scripts/with_qrvsim.sh" /usr/bin/qrvsim --baud 9600 -- \
  /usr/bin/python3 /usr/share/doc/qrvlink-doc/examples/qrvlink_example.py --baud 9600 {port})
echo "$out" | grep -q '^far    0102  P2P-Node-A' || fail "the installed Python package did not search: $out"

apt-get purge -y "${packages[@]}"

# Nothing of ours is left: no package record, no file, no folder we made.
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ -z "$status" ] || [ "$status" = not-installed ] || fail "$package left behind as $status"
done
left=$(while read -r path; do [ -e "$path" ] || [ -L "$path" ] && echo "$path"; done < "$work/new" || true)
[ -z "$left" ] || fail "left after purge: $left"
# Compiled at installation, so in no package's list: gone with the package.
[ ! -e /usr/lib/python3/dist-packages/qrvlink ] || fail "left after purge: the qrvlink Python folder"
echo "installed, checked and purged ${#packages[@]} packages; nothing left"
