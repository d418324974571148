#!/usr/bin/env bash
# The backup engine against Wine's xcopy, a plain CopyFile of each file and
# Linux cp -a, on one tree (5,000 files of 4 KB and 10 of 32 MB, about
# 340 MB) inside a throw-away prefix whose drives lead nowhere outside it:
# to an empty target and over an existing copy. The tree is written out
# (sync) before the first measure and after each one; each measure is the
# best of BENCH_ROUNDS rounds (default 2). The tree and every copy are
# deleted with the prefix at the end.
# Build first: cmake --build build/win --target bench_backup
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build/dist/bench/bench_backup.exe"
[ -f "$exe" ] || { echo "bench: $exe is missing; build first" >&2; exit 1; }
avail=$(df -Pk "$root/build" | awk 'NR == 2 { print $4 }')
[ "${avail:-0}" -gt $((4 * 1024 * 1024)) ] || { echo "bench: less than 4 GB free under $root/build" >&2; exit 1; }
out="$root/build/win/bench_backup.txt"
rounds=${BENCH_ROUNDS:-2}
tests/autodelete/wine_session.sh bash -c '
  exe=$0; out=$1; rounds=$2
  : >"$out"
  s() { awk -v n="$1" "BEGIN { printf \"%.4f\", n / 1e9 }"; }
  c="$WINEPREFIX/drive_c/bench"
  "$WINE64" "$exe" make </dev/null >/dev/null || { echo "make failed"; exit 1; }
  sync
  timed() {
    "$WINE64" "$exe" time "$1" </dev/null | tr -d "\r" >>"$out" || { echo "time $1 failed"; exit 1; }
    sync
  }
  for round in $(seq "$rounds"); do
    rm -rf "$c/engine" "$c/plain" "$c/xcopy" "$c/cp"
    sync
    timed cmd_start
    timed engine_empty
    timed engine_skip
    timed engine_full
    timed plain_empty
    timed xcopy_empty
    timed xcopy_over
    # The floor: Linux cp -a of the same tree, in the same drive.
    start=$(date +%s%N); cp -a "$c/src" "$c/cp"; end=$(date +%s%N)
    echo "cp_empty: $(s $((end - start)))" >>"$out"
    sync
    start=$(date +%s%N); cp -a "$c/src/." "$c/cp/"; end=$(date +%s%N)
    echo "cp_over: $(s $((end - start)))" >>"$out"
    sync
  done
  rm -rf "$c"
' "$exe" "$out" "$rounds" >/dev/null 2>&1 || { echo "bench failed" >&2; cat "$out" 2>/dev/null; exit 1; }
awk -f bench/best.awk -f /dev/stdin "$out" <<'EOF'
END {
  measures("engine_empty plain_empty xcopy_empty xcopy_start cp_empty engine_skip engine_full xcopy_over cp_over")
  ratio("empty target: engine / xcopy /e /i /y /q", t["engine_empty"] / t["xcopy_empty"])
  ratio("empty target: engine / (xcopy less its start)", t["engine_empty"] / (t["xcopy_empty"] - t["xcopy_start"]))
  ratio("empty target: engine / Linux cp -a (floor)", t["engine_empty"] / t["cp_empty"])
  ratio("empty target: engine / plain CopyFile", t["engine_empty"] / t["plain_empty"])
  ratio("over a copy: engine, all copied / xcopy", t["engine_full"] / t["xcopy_over"])
  ratio("over a copy: engine, all copied / Linux cp -a", t["engine_full"] / t["cp_over"])
  ratio("over a copy: unchanged skipped / all copied", t["engine_skip"] / t["engine_full"])
  ratio("over a copy: unchanged skipped / xcopy", t["engine_skip"] / t["xcopy_over"])
}
EOF
