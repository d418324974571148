#!/usr/bin/env bash
# Builds everything and runs Dervane.exe on the desktop host (with a few
# sample items) in a Wine virtual desktop of a throw-away prefix, with its
# property sheet open. Headless (no DISPLAY): under Xvfb, ending with
# screenshots of the sheet's pages in build/screenshot.png (About),
# build/screenshot-general.png and build/screenshot-icons.png, and the sheet
# alone in build/shots/sheet-about.png, -general.png, -icons.png. With a
# display: until Enter is pressed.
# DERVANE_DPI=144 runs it at that screen scale (150 %; the prefix's
# LogPixels), the screenshots then named with "-144dpi" before ".png";
# DERVANE_SKIP_BUILD=1 takes the programs as last built.
# Every process is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
[ "${DERVANE_SKIP_BUILD:-0}" = 1 ] || DERVANE_SKIP_NATIVE=1 scripts/build.sh
dpi=${DERVANE_DPI:-}
suffix=${dpi:+-${dpi}dpi}

. tests/harness/session.sh
prefix_name="demo-$$"
workdir=$(mktemp -d)
cleanup() {
  exec 7>&- 2>/dev/null || true
  if [ -n "${demo_pid:-}" ]; then
    # Closing its input lets the demo end its processes; wait a bounded time.
    harness_wait 15 demo_gone || kill "$demo_pid" 2>/dev/null || true
    wait "$demo_pid" 2>/dev/null || true
  fi
  harness_stop
  rm -rf "$root/build/win/wine/$prefix_name" "$workdir"
}
demo_gone() { ! kill -0 "$demo_pid" 2>/dev/null; }
trap cleanup EXIT
trap 'exit 130' INT TERM

harness_template "$root/build/win"
harness_prefix "$root/build/win" "$prefix_name"
[ -z "$dpi" ] || harness_set_dpi "$dpi"
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  harness_start_xvfb 1024x768x24
fi
harness_start_wineserver
harness_require import /usr/bin/convert

# Wine maps the current folder to a drive: start in the build folder.
cd "$root/build"
mkfifo "$workdir/in"
"$WINE64" "$root/build/dist/tests/ProgramDemo.exe" "Dervane,1024x768" <"$workdir/in" >"$workdir/out" 2>&1 &
demo_pid=$!
exec 7>"$workdir/in"
if ! harness_wait 60 grep -q '^ready' "$workdir/out"; then
  cat "$workdir/out" >&2
  echo "run: Dervane did not come up" >&2
  exit 1
fi
cat "$workdir/out"
# shot N NAME FILE: has the demo switch the sheet to page N, waits for its
# answer (the sheet is drawn by then), and takes the screen and the sheet.
shot() {
  echo "page $1" >&7
  harness_wait 10 grep -q "^page $1 at" "$workdir/out" || { echo "run: page $1 not shown" >&2; return 1; }
  local at
  at=$(grep "^page $1 at" "$workdir/out" | tail -1 | sed 's/.* at //' | tr -d '\r')
  import -window root "$3"
  /usr/bin/convert "$3" -crop "$at" +repage "$root/build/shots/sheet-$2$suffix.png"
  echo "Screenshot: $3 (the sheet alone: build/shots/sheet-$2$suffix.png)"
}
if [ "$headless" = 1 ]; then
  mkdir -p "$root/build/shots"
  shot 0 about "$root/build/screenshot$suffix.png"
  shot 1 general "$root/build/screenshot-general$suffix.png"
  shot 2 icons "$root/build/screenshot-icons$suffix.png"
  shot 3 tray "$root/build/screenshot-tray$suffix.png"
  shot 4 respond "$root/build/screenshot-respond$suffix.png"
  shot 5 delete "$root/build/screenshot-delete$suffix.png"
  shot 6 backup "$root/build/screenshot-backup$suffix.png"
else
  read -r -p "Dervane runs in a Wine virtual desktop window; press Enter to stop. " _ || true
fi
