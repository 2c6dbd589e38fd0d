#!/usr/bin/env bash
# The main job: builds UPDTAV01.EXE, makes a sample installation of Tavresk in
# a Wine prefix of its own and runs the tool there, as a user would, from a
# Downloads folder.
#
#   tools/update-demo.sh [--save-screenshots] [members folder]
#
# With a desktop ($DISPLAY set) you click through the tool's boxes yourself.
# Without one it runs on its own Xvfb display, answers every box with OK, saves
# a screenshot of each box (and of the progress window when it catches it) to
# build/demo/screenshots/, and checks the four files it wrote. It ends with the
# tool's exit status. --save-screenshots also copies the PNGs to docs/screenshots/.
# UPDTAV_BUILD_DIR chooses another build folder than build/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${UPDTAV_BUILD_DIR:-$here/build}
demo=$build/demo
prefix=$demo/prefix
install_folder='C:\Games\Tavresk'
install_host=$prefix/drive_c/Games/Tavresk
downloads_host=$prefix/drive_c/Downloads
explorer_host=$prefix/drive_c/windows/explorer.exe

# The member names, in block order, as the build reads them.
member_names() {
  sed -n 's/^UPDATE_MEMBER("\([^"]*\)".*/\1/p' "$here/updatedata/member_table.def"
}

# build_tool <members folder>: configures (with those members) and builds the
# tool, the runner and the explorer stand-in.
build_tool() {
  mkdir -p "$build"
  cmake -S "$here" -B "$build" -DUPDATE_MEMBERS_DIR="$1" >"$build/demo-configure.log" 2>&1 ||
    { cat "$build/demo-configure.log" >&2; return 1; }
  build_targets
}

build_targets() {
  cmake --build "$build" -j "$(nproc)" --target update_tool updtav_runner updtav_explorer_stub \
    >"$build/demo-build.log" 2>&1 || { tail -40 "$build/demo-build.log" >&2; return 1; }
}

wine_env() {
  export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8
}

# The prefix for a real desktop: the same one the Xvfb session makes.
prepare_desktop_prefix() {
  wine_env
  if [ ! -f "$prefix/.made" ]; then
    rm -rf "$prefix"
    mkdir -p "$demo"
    wineboot -i </dev/null >>"$demo/wine.log" 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$demo/wine.log" 2>&1
    wineserver -w
    touch "$prefix/.made"
  fi
}

# The title as its installer leaves it: the registry value and an install
# folder whose MPX folder holds older copies of the four files. Made anew on
# every run, so each run really replaces them.
make_sample_installation() {
  wine_env
  wine reg add 'HKLM\SOFTWARE\Quorvane\TAVS\Installed' /v 'Distination Path' /t REG_SZ \
    /d "$install_folder" /f </dev/null >>"$demo/wine.log" 2>&1
  if ! wine reg query 'HKLM\SOFTWARE\Quorvane\TAVS\Installed' /v 'Distination Path' </dev/null 2>/dev/null |
       grep -q 'REG_SZ'; then
    echo "update-demo: the install folder did not reach the registry as REG_SZ" >&2
    return 1
  fi
  rm -rf "$install_host"
  mkdir -p "$install_host/MPX"
  local name
  for name in $(member_names); do
    printf 'Tavresk %s.MPX, as installed before the update\n' "$name" >"$install_host/MPX/$name.MPX"
  done
  mkdir -p "$downloads_host"
  cp "$build/UPDTAV01.EXE" "$downloads_host/UPDTAV01.EXE"
}

# Puts the explorer stand-in over the prefix's explorer.exe (a copy left by an
# interrupted run is put back first); restore_explorer undoes it.
swap_in_explorer_stub() {
  [ -f "$explorer_host.updtav-orig" ] && mv -f "$explorer_host.updtav-orig" "$explorer_host"
  cp "$explorer_host" "$explorer_host.updtav-orig"
  cp "$build/tools/runner/updtav_explorer_stub.exe" "$explorer_host"
  rm -f "$prefix/drive_c/windows/explorer-calls.txt"
  # Native first for the tool's C:\windows\explorer.exe; Wine's own desktop
  # (system32's explorer) falls back to the builtin one.
  export WINEDLLOVERRIDES=explorer.exe=n,b
}

restore_explorer() {
  if [ -f "$explorer_host.updtav-orig" ]; then mv -f "$explorer_host.updtav-orig" "$explorer_host"; fi
}

# Windows form of a host path, through Wine's Z: drive.
windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

runner_exe() {
  printf '%s' "$build/tools/runner/updtav_runner.exe"
}

stop_session() {
  restore_explorer
  "$here/tools/wine-session.sh" stop "$demo" >/dev/null 2>&1 || true
}

report_files() {
  local members=$1 name all_same=0
  echo "Files written (host paths):"
  for name in $(member_names); do
    local out="$install_host/MPX/$name.MPX"
    if cmp -s "$out" "$members/$name.MPX"; then
      echo "  $out  ($(stat -c %s "$out") bytes, same bytes as $members/$name.MPX)"
    else
      echo "  $out  DIFFERS from $members/$name.MPX"
      all_same=1
    fi
  done
  return $all_same
}

main() {
  local save_shots=0 members=$here/samples/members
  while [ $# -gt 0 ]; do
    case "$1" in
      --save-screenshots) save_shots=1 ;;
      -h|--help) sed -n '2,15p' "$0"; return 0 ;;
      -*) echo "update-demo: unknown option $1" >&2; return 2 ;;
      *) members=$1 ;;
    esac
    shift
  done
  [ -d "$members" ] || { echo "update-demo: no members folder $members" >&2; return 2; }
  members=$(cd "$members" && pwd)

  "$here/tools/install-deps.sh"
  echo "Building UPDTAV01.EXE with the members in $members ..."
  build_tool "$members"
  echo "  $build/UPDTAV01.EXE ($(stat -c %s "$build/UPDTAV01.EXE") bytes)"

  local status=0
  if [ -n "${DISPLAY:-}" ]; then
    prepare_desktop_prefix
    restore_explorer
    make_sample_installation
    echo "Sample installation: $install_folder (host $install_host), tool in C:\\Downloads"
    echo "Running UPDTAV01.EXE on $DISPLAY: answer its boxes yourself."
    (cd "$downloads_host" && wine UPDTAV01.EXE </dev/null >>"$demo/wine.log" 2>&1) || status=$?
    report_files "$members" || true
    echo "Explorer may stay open on the install folder; this prefix's Wine ends when you close it."
  else
    trap stop_session EXIT
    "$here/tools/wine-session.sh" start "$demo"
    make_sample_installation
    echo "Sample installation: $install_folder (host $install_host), tool in C:\\Downloads"
    swap_in_explorer_stub
    local bmp=$demo/shots-bmp shots=$demo/screenshots
    rm -rf "$bmp" "$shots"
    mkdir -p "$bmp" "$shots"
    echo "Running UPDTAV01.EXE under Xvfb; every box is answered OK:"
    "$here/tools/wine-run.sh" "$demo" "$(runner_exe)" --shots "$(windows_path "$bmp")" \
      'C:\Downloads\UPDTAV01.EXE' 'C:\Downloads' >"$demo/runner.log" || status=$?
    sed 's/^/  /' "$demo/runner.log"
    restore_explorer
    local file
    for file in "$bmp"/*.bmp; do
      [ -e "$file" ] || continue
      convert "$file" "$shots/$(basename "${file%.bmp}").png"
    done
    echo "Screenshots: $shots/"
    for file in "$shots"/*.png; do [ -e "$file" ] && echo "  $(basename "$file")"; done
    report_files "$members" || true
    if [ -s "$prefix/drive_c/windows/explorer-calls.txt" ]; then
      echo "Explorer started with: $(tr -d '\r' <"$prefix/drive_c/windows/explorer-calls.txt")"
    else
      echo "Explorer was not started."
    fi
    if [ "$save_shots" = 1 ]; then
      mkdir -p "$here/docs/screenshots"
      cp "$shots"/*.png "$here/docs/screenshots/"
      echo "Copied the screenshots to $here/docs/screenshots/"
    fi
  fi
  # Wine reports the tool's -1 as 255.
  echo "Tool exit status: $status$([ "$status" = 255 ] && echo ' (-1)')"
  return "$status"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  main "$@"
fi
