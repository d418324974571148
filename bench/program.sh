#!/usr/bin/env bash
# Runs the program benchmark (Dervane.exe against a minimal tray program, on
# the desktop host) in a throw-away Wine prefix under Xvfb and prints its
# measurements. Every process it starts is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh
DERVANE_SKIP_NATIVE=1 scripts/build.sh >/dev/null
. tests/harness/session.sh
harness_throwaway_session "$root/build/win" "bench-$$"
"$WINE64" "$root/build/dist/bench/bench_program.exe" </dev/null | tr -d '\r'
