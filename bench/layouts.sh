#!/usr/bin/env bash
# Runs the layout benchmark (bench_layouts.exe) in a throw-away Wine prefix
# under Xvfb and prints its table. Build first (scripts/build.sh). Every
# process it starts is ended by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build/dist/bench/bench_layouts.exe"
[ -f "$exe" ] || { echo "bench: $exe is missing; build first" >&2; exit 1; }
. tests/harness/session.sh
prefix_name="bench-layouts-$$"
trap 'harness_stop; rm -rf "$root/build/win/wine/$prefix_name"' EXIT
trap 'exit 130' INT TERM
harness_template "$root/build/win"
harness_prefix "$root/build/win" "$prefix_name"
harness_start_xvfb
harness_start_wineserver
"$WINE64" "$exe" </dev/null | tr -d '\r'
