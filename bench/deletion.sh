#!/usr/bin/env bash
# The deletion engine against Wine's own commands and Linux rm -rf on
# identical trees inside a throw-away prefix whose drives lead nowhere
# outside it; each tree is written out (sync) before it is deleted, and each
# measure is the best of BENCH_ROUNDS rounds (default 2).
# Build first: cmake --build build/win --target bench_deletion
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
exe="$root/build/dist/bench/bench_deletion.exe"
[ -f "$exe" ] || { echo "bench: $exe is missing; build first" >&2; exit 1; }
out="$root/build/win/bench_deletion.txt"
rounds=${BENCH_ROUNDS:-2}
tests/autodelete/wine_session.sh bash -c '
  exe=$0; out=$1; rounds=$2
  : >"$out"
  ms() { awk -v n="$1" "BEGIN { printf \"%.4f\", n / 1e9 }"; }
  for round in $(seq "$rounds"); do
    for part in tree flat10000 flat20000 half; do
      "$WINE64" "$exe" make $part </dev/null >/dev/null || { echo "make $part failed"; exit 1; }
      sync
      "$WINE64" "$exe" time $part </dev/null | tr -d "\r" >>"$out" || { echo "time $part failed"; exit 1; }
      "$WINE64" cmd /c rmdir /s /q C:\\bench </dev/null >/dev/null 2>&1
    done
    # The floor: Linux rm -rf of the same tree, in the same drive.
    tree="$WINEPREFIX/drive_c/bench-rm"
    for d in $(seq 0 99); do
      mkdir -p "$tree/folder$d"
      (cd "$tree/folder$d" && for f in $(seq 0 99); do printf data >"file$f.dat"; done)
    done
    sync
    start=$(date +%s%N)
    rm -rf "$tree"
    end=$(date +%s%N)
    echo "rm_tree: $(ms $((end - start)))" >>"$out"
  done
' "$exe" "$out" "$rounds" >/dev/null 2>&1 || { echo "bench failed" >&2; cat "$out" 2>/dev/null; exit 1; }
awk -f bench/best.awk -f /dev/stdin "$out" <<'EOF'
END {
  measures("runtask_tree rmdir_tree cmd_start rm_tree flat_10000 flat_20000 del_flat_10000 del_flat_20000 runtask_half del_half")
  ratio("RunTask *.* 100x100 / cmd rmdir /s /q", t["runtask_tree"] / t["rmdir_tree"])
  ratio("RunTask *.* 100x100 / (rmdir less cmd start)", t["runtask_tree"] / (t["rmdir_tree"] - t["cmd_start"]))
  ratio("RunTask *.* 100x100 / Linux rm -rf (floor)", t["runtask_tree"] / t["rm_tree"])
  ratio("flat 20,000 / flat 10,000 (linear: <= 2.2)", t["flat_20000"] / t["flat_10000"])
  ratio("cmd del /q flat 20,000 / 10,000 (the system alone)", t["del_flat_20000"] / t["del_flat_10000"])
  ratio("RunTask flat 20,000 / cmd del /q flat 20,000", t["flat_20000"] / t["del_flat_20000"])
  ratio("RunTask *.tmp half / cmd del /s /q *.tmp", t["runtask_half"] / t["del_half"])
}
EOF
