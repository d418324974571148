#!/usr/bin/env bash
# Runs the auto-respond benchmark (bench_respond.exe) in a throw-away Wine
# prefix under Xvfb and prints its lines: the time from a matching window
# being shown to its button being pressed, and the engine's cost to a program
# creating 1,000 windows with the ratio. Build first:
#   cmake --build build/win --target bench_respond
# Every process it starts is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build/dist/bench/bench_respond.exe"
[ -f "$exe" ] || { echo "bench: $exe is missing; build first" >&2; exit 1; }
. tests/harness/session.sh
harness_throwaway_session "$root/build/win" "bench-respond-$$"
"$WINE64" "$exe" </dev/null | tr -d '\r'
