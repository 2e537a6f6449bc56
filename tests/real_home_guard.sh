#!/bin/sh
# The suite never touches the real user's files: a listing of what our
# programs keep in the user's folders, taken before the first test and
# compared after the last.
#   real_home_guard.sh snapshot|check FILE
set -u
list() {
  for d in "$HOME/.config/qrvtune" "$HOME/.config/qrvctl" "$HOME/.local/share/qrvtune"; do
    [ -e "$d" ] && find "$d" -printf '%p %s %T@\n'
  done | sort
}
case $1 in
  snapshot) list > "$2" ;;
  check)
    list | diff -u "$2" - && exit 0
    echo "a test changed the real user's files above: give it its own HOME/XDG_CONFIG_HOME" >&2
    exit 1 ;;
esac
