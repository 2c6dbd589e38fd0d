#!/usr/bin/env bash
# Runs a Windows program in the test session made by wine-session.sh:
#   wine-run.sh <session folder> <program.exe> [args...]
set -euo pipefail
root=$(cd "${1:?session folder}" && pwd)
shift
[ -f "$root/display" ] || { echo "wine-run: no session in $root (wine-session.sh start)" >&2; exit 1; }
export WINEARCH=win32 WINEPREFIX="$root/prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8
DISPLAY=$(cat "$root/display")
export DISPLAY

# Wine starts helper processes (services, the desktop) that outlive the program
# and inherit its output handles; a test runner reading a pipe would wait for
# them too. So the program writes to a file, and the file is passed on.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
wine "$@" </dev/null >"$out" 2>&1 || status=$?
cat "$out"
exit "$status"
