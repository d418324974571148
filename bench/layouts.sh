#!/usr/bin/env bash
# Runs the layout benchmark (bench_layouts.exe) in a throw-away Wine prefix
# under Xvfb and prints its table; "layouts.sh waits" runs only its cases of
# clicks with hide rules and of a large layout. Build first
# (scripts/build.sh). Every process it starts is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build/dist/bench/bench_layouts.exe"
[ -f "$exe" ] || { echo "bench: $exe is missing; build first" >&2; exit 1; }
. tests/harness/session.sh
harness_throwaway_session "$root/build/win" "bench-layouts-$$"
"$WINE64" "$exe" "$@" </dev/null | tr -d '\r'
