#!/usr/bin/env bash
# Runs the benchmarks of both builds (it builds nothing: run scripts/build.sh
# or scripts/test.sh first): the native one directly, the Windows one under
# Wine in a throw-away prefix. Every process started is ended by its id.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
native="$root/build/native/bench/bench_keyed_text"
windows="$root/build/dist/bench/bench_keyed_text.exe"
for f in "$native" "$windows"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "bench: $f is missing; build first" >&2; exit 1; }
done

. tests/harness/session.sh

echo "== native =="
"$native" | tee "$root/build/native/bench/keyed_text.txt" || exit 1

harness_throwaway_session "$root/build/win" "bench-$$" || exit 1
echo "== Windows (Wine) =="
"$WINE64" "$windows" </dev/null | tr -d '\r' | tee "$root/build/win/bench_keyed_text.txt" || exit 1

echo "== ratios =="
echo "native: $(sed -n 's/^ratio: \([0-9.]*\).*/\1/p' "$root/build/native/bench/keyed_text.txt")"
echo "Windows under Wine: $(sed -n 's/^ratio: \([0-9.]*\).*/\1/p' "$root/build/win/bench_keyed_text.txt")"
