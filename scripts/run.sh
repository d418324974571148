#!/usr/bin/env bash
# Builds everything and runs Dervane.exe on the desktop host (with a few
# sample items) in a Wine virtual desktop of a throw-away prefix, with its
# property sheet open. Headless (no DISPLAY): under Xvfb, ending with
# screenshots of the sheet's pages in build/screenshot.png (About) and
# build/screenshot-general.png. With a display: until Enter is pressed.
# Every process is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
DERVANE_SKIP_NATIVE=1 scripts/build.sh

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
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  harness_start_xvfb 1024x768x24
fi
harness_start_wineserver

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
# show_page N: has the demo switch the sheet to page N and waits for its answer.
show_page() {
  echo "page $1" >&7
  harness_wait 10 grep -q "^page $1" "$workdir/out"
}
if [ "$headless" = 1 ]; then
  # The sheet is drawn before the demo reports ready or a page shown.
  import -window root "$root/build/screenshot.png"
  echo "Screenshot: $root/build/screenshot.png"
  show_page 1
  import -window root "$root/build/screenshot-general.png"
  echo "Screenshot: $root/build/screenshot-general.png"
else
  read -r -p "Dervane runs in a Wine virtual desktop window; press Enter to stop. " _ || true
fi
