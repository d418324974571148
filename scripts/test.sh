#!/usr/bin/env bash
# The whole test suite: installs what it needs, builds both builds, runs the
# native tests (ASan/UBSan, fuzzers) and the Windows tests under Wine in a
# throw-away prefix, and ends every process it started.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup.sh || exit 1
# Every program the scripts call must come from setup's packages, not from
# whatever else this machine happens to have.
scripts/check-setup.sh || { echo "setup check failed"; echo "0 passed, 1 failed"; exit 1; }
scripts/build.sh win || { echo "build failed"; exit 1; }

. tests/harness/session.sh
# The native half runs in a process group of its own (below), ended by its id
# if the run stops early.
native_pid=
trap 'harness_stop; [ -z "$native_pid" ] || kill -- -"$native_pid" 2>/dev/null' EXIT
trap 'exit 130' INT TERM

# The tests that need a desktop (the host, the screen and the input) mostly
# wait on Wine: the run has DESKTOPS of them, each its own prefix, wineserver
# and Xvfb display, and one test more than there are processors runs at once.
desktops=${DESKTOPS:-2}
jobs=${JOBS:-$(($(nproc) + 1))}
total_pass=0
total_fail=0
# count_ctest LOG: adds the counts of one ctest run's log.
count_ctest() {
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" 2>/dev/null | tail -1)
  if [ -z "$line" ]; then
    total_fail=$((total_fail + 1))
    return
  fi
  local failed all
  failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  all=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
  total_pass=$((total_pass + all - failed))
  total_fail=$((total_fail + failed))
}
# run_ctest DIR LABEL [RESOURCES]: runs one build's tests and adds their counts.
run_ctest() {
  echo "== $2 tests =="
  ctest --test-dir "$1" --output-on-failure --timeout 300 -j "$jobs" ${3:+--resource-spec-file "$3"} 2>&1 |
    tee "$1/ctest.log"
  count_ctest "$1/ctest.log"
}

# The native build and its tests (sanitizers, fuzzers) want the processor,
# while the Windows tests mostly wait, one at a time, for the desktop host:
# the two run side by side, the native one on a single core so that Wine
# always has the other. Its output follows the Windows tests'.
native_log="$root/build/native-run.log"
rm -f "$native_log" build/native/ctest.log
setsid bash -c 'JOBS=1 scripts/build.sh native || { echo "native build failed"; exit 1; }
  ctest --test-dir build/native --output-on-failure --timeout 300 -j 1 > build/native/ctest.log 2>&1' \
  > "$native_log" 2>&1 &
native_pid=$!

harness_template "$root/build/win" || { echo "0 passed, 1 failed"; exit 1; }
# Desktop 0 is the run's own prefix (made last, so WINEPREFIX and DISPLAY are
# its own); scripts/wine-exec.sh finds the others by these names.
run_prefixes=()
desktop_list='{"id":"0","slots":1}'
for ((d = 1; d < desktops; d++)); do
  harness_prefix "$root/build/win" "run-$$-desktop$d"
  run_prefixes+=("$WINEPREFIX")
  harness_start_xvfb || exit 1
  harness_start_wineserver || exit 1
  export "DERVANE_DESKTOP_PREFIX_$d=$WINEPREFIX" "DERVANE_DESKTOP_DISPLAY_$d=$DISPLAY"
  desktop_list+=",{\"id\":\"$d\",\"slots\":1}"
done
harness_prefix "$root/build/win" "run-$$"
run_prefixes+=("$WINEPREFIX")
harness_start_xvfb || exit 1
harness_start_wineserver || exit 1
resources="$root/build/win/desktops-$$.json"
printf '{"version":{"major":1,"minor":0},"local":[{"desktops":[%s]}]}\n' "$desktop_list" >"$resources"
run_ctest build/win "Windows (Wine)" "$resources"
rm -f "$resources"
harness_stop
wait "$native_pid"
native_pid=
echo "== native (ASan, UBSan, fuzzing) build and tests =="
cat "$native_log" build/native/ctest.log 2>/dev/null
count_ctest build/native/ctest.log
# A run leaves no process behind: everything in its prefixes has ended.
for prefix in "${run_prefixes[@]}"; do
  if ! harness_wait 10 harness_prefix_idle "$prefix"; then
    echo "processes of the run still running in $prefix:"
    for pid in $(harness_prefix_pids "$prefix"); do
      echo "  $pid $(tr '\0' ' ' </proc/"$pid"/cmdline 2>/dev/null)"
    done
    total_fail=$((total_fail + 1))
  fi
  rm -rf "$prefix"
done

echo "== summary =="
echo "$total_pass passed, $total_fail failed"
[ "$total_fail" -eq 0 ]
