#!/usr/bin/env bash
# Screenshots of a shot program's windows in a Wine virtual desktop under
# Xvfb: the program (build/dist/tests/<program>.exe) is started once per mode
# with a folder of its own and the mode, and is shot once it has written
# "ready" there, as build/shots/<name>-<mode>.png. Every process is ended by
# its id (the program, the prefix's wineserver, then Xvfb). With DERVANE_DPI=144
# the shots are at that screen scale (150 %), on a desktop as much larger, and
# named <name>-<mode>-144dpi.png.
# Usage: shots.sh <program> <name> <mode>...
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
program=$1
name=$2
shift 2
. tests/harness/session.sh
trap harness_stop EXIT
mkdir -p build/shots
harness_template "$root/build/win" >/dev/null
harness_prefix "$root/build/win" "shots-$$"
dpi=${DERVANE_DPI:-}
suffix=${dpi:+-${dpi}dpi}
size=640x480
if [ -n "$dpi" ]; then
  harness_set_dpi "$dpi"
  size=$((640 * dpi / 96))x$((480 * dpi / 96))
fi
harness_start_xvfb 1024x768x24
harness_start_wineserver
for mode in "$@"; do
  folder="$WINEPREFIX/drive_c/shot-$mode"
  mkdir -p "$folder"
  "$WINE64" explorer /desktop="shot-$mode,$size" "$root/build/dist/tests/$program.exe" \
    "C:\\shot-$mode" "$mode" >/dev/null 2>&1 &
  pid=$!
  harness_wait 30 test -f "$folder/ready" || echo "shot: $mode did not get ready" >&2
  import -window root -crop "$size+0+0" "build/shots/$name-$mode$suffix.png"
  echo "build/shots/$name-$mode$suffix.png"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wineserver -k || true
  harness_wait 10 bash -c "! kill -0 $pid 2>/dev/null" || true
done
harness_stop
rm -rf "$root/build/win/wine/shots-$$"
