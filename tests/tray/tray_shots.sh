#!/usr/bin/env bash
# Screenshot of an open picture menu in a Wine virtual desktop under Xvfb:
# build/shots/tray-menu.png. Every process is ended by its id (the prefix's
# wineserver, then Xvfb).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
. tests/harness/session.sh
trap harness_stop EXIT
mkdir -p build/shots
harness_template "$root/build/win" >/dev/null
harness_prefix "$root/build/win" "trayshot-$$"
harness_start_xvfb 1024x768x24
harness_start_wineserver
folder="$WINEPREFIX/drive_c/shot-tray"
mkdir -p "$folder"
"$WINE64" explorer /desktop="shot-tray,400x240" "$root/build/dist/tests/tray_menu_shot.exe" \
  "C:\\shot-tray" >/dev/null 2>&1 &
pid=$!
harness_wait 30 test -f "$folder/ready" || echo "shot: the menu did not get ready" >&2
import -window root -crop 400x240+0+0 build/shots/tray-menu.png
echo build/shots/tray-menu.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
wineserver -k || true
harness_wait 10 bash -c "! kill -0 $pid 2>/dev/null" || true
harness_stop
rm -rf "$root/build/win/wine/trayshot-$$"
