#!/usr/bin/env bash
# Starts or stops the test session: a 32-bit Wine prefix kept in the build tree
# (made once) and an Xvfb display for the windows and message boxes.
#   wine-session.sh start <root>   -> <root>/prefix, <root>/display
#   wine-session.sh stop <root>
set -euo pipefail

action=${1:?start or stop}
root=${2:?session folder}
mkdir -p "$root"
root=$(cd "$root" && pwd)

export WINEARCH=win32 WINEPREFIX="$root/prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8

stop_display() {
  if [ -f "$root/xvfb.pid" ]; then
    kill "$(cat "$root/xvfb.pid")" 2>/dev/null || true
    rm -f "$root/xvfb.pid" "$root/display"
  fi
}

case "$action" in
start)
  # A session left running on this folder (a run by hand, an interrupted one)
  # would keep the old display and server: end it first.
  wineserver -k 2>/dev/null || true
  stop_display
  # Let Xvfb pick a free display, so parallel build trees never collide.
  exec 3> "$root/display.tmp"
  Xvfb -displayfd 3 </dev/null -screen 0 1024x768x24 -nolisten tcp -noreset >"$root/xvfb.log" 2>&1 &
  echo $! > "$root/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$root/display.tmp" ] && break; sleep 0.1; done
  [ -s "$root/display.tmp" ] || { echo "wine-session: Xvfb did not start" >&2; cat "$root/xvfb.log" >&2; exit 1; }
  echo ":$(tr -d '\n' < "$root/display.tmp")" > "$root/display"
  rm -f "$root/display.tmp"
  export DISPLAY=$(cat "$root/display")

  if [ ! -f "$root/prefix/.made" ]; then
    rm -rf "$root/prefix"
    wineboot -i </dev/null >>"$root/wine.log" 2>&1
    # No window manager here: unmanaged windows spare a 2 s wait on every hide.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$root/wine.log" 2>&1
    wineserver -w
    touch "$root/prefix/.made"
  fi
  # One wineserver for the whole session instead of one per test program. Its
  # output goes to the log: a test runner waits for every holder of its pipes.
  wineserver -p </dev/null >>"$root/wine.log" 2>&1
  # Start the prefix's services now, with their output in the log.
  wineboot </dev/null >>"$root/wine.log" 2>&1
  ;;
stop)
  wineserver -k 2>/dev/null || true
  stop_display
  ;;
*)
  echo "wine-session: unknown action $action" >&2; exit 2 ;;
esac
