#!/usr/bin/env bash
# Real monitors at start: one wide Xvfb screen split into two monitors, which
# Wine reads through Xinerama (no virtual desktop), the primary on the right
# so that the other has negative coordinates; then a new Wine session on the
# same screen with the primary alone. hook_monitors_at_start runs in each
# (see HookMonitorsAtStart.cpp). Every process started here is ended by its id.
# Usage: monitors_at_start.sh BUILD_WIN_DIR PROGRAM
set -uo pipefail
build=$1
program=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/tests/harness/session.sh"
harness_require xrandr Xvfb || exit 1
name="monitors-$$"
trap 'harness_stop; rm -rf "$build/wine/$name"' EXIT
trap 'exit 130' INT TERM
harness_template "$build" || exit 1
harness_prefix "$build" "$name"
# Wine's RandR path sees one monitor: the split is read through Xinerama.
DISPLAY= "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 ||
  { echo "cannot turn Wine's RandR path off" >&2; exit 1; }
wineserver -w
# Without -noreset the split is lost when xrandr ends.
harness_start_xvfb 2304x1024x24 -noreset || exit 1
xrandr --setmonitor SIDE 1024/270x768/203+0+100 none &&
  xrandr --setmonitor '*MAIN' 1280/338x1024/270+1024+0 screen || { echo "cannot split the screen" >&2; exit 1; }
harness_start_wineserver
folder='C:\monitors'
"$WINE64" "$program" keep "$folder" </dev/null || { echo "the session on two monitors failed" >&2; exit 1; }
ls "$WINEPREFIX/drive_c/monitors/Positions/"
# The arrangement cannot change while a session runs: the session ends, the
# side monitor goes, a new one starts.
wineserver -k
wineserver -w
xrandr --delmonitor SIDE || { echo "cannot remove the side monitor" >&2; exit 1; }
harness_start_wineserver
"$WINE64" "$program" start "$folder" </dev/null || { echo "the session on the primary alone failed" >&2; exit 1; }
