#!/usr/bin/env bash
# Runs the desktop host benchmark in a throw-away Wine prefix under Xvfb and
# prints its measurements. Every process it starts is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
DERVANE_SKIP_NATIVE=1 scripts/build.sh >/dev/null
. tests/harness/session.sh
prefix_name="bench-$$"
trap 'harness_stop; rm -rf "$root/build/win/wine/$prefix_name"' EXIT
trap 'exit 130' INT TERM
harness_template "$root/build/win"
harness_prefix "$root/build/win" "$prefix_name"
harness_start_xvfb
harness_start_wineserver
"$WINE64" "$root/build/dist/bench/bench_desktop_host.exe"
