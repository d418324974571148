#!/usr/bin/env bash
# Runs a Windows executable under Wine in the test run's own prefix.
# scripts/test.sh exports WINEPREFIX (a throw-away copy inside build/); without
# it we stop rather than let Wine create or touch ~/.wine.
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "wine-exec: WINEPREFIX is not a prepared prefix (run scripts/test.sh)" >&2
  exit 125
fi
# A test that needs a desktop runs in the one ctest handed it (its resource
# group "desktops", "id:N,slots:1"): desktop 0 is the run's own prefix and
# display, any other one a prefix and display that scripts/test.sh made for
# it and named in DERVANE_DESKTOP_PREFIX_N and DERVANE_DESKTOP_DISPLAY_N. One
# test at a time holds a desktop; the lock also queues such tests when ctest
# hands out none (a run without the resource file).
if [ "${DERVANE_DESKTOP_TEST:-}" = 1 ]; then
  desktop=0
  case "${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}" in
    id:*) desktop=${CTEST_RESOURCE_GROUP_0_DESKTOPS#id:}; desktop=${desktop%%,*} ;;
  esac
  case "$desktop" in
    0) ;;
    [1-9])
      prefix_var=DERVANE_DESKTOP_PREFIX_$desktop
      display_var=DERVANE_DESKTOP_DISPLAY_$desktop
      if [ -z "${!prefix_var:-}" ] || [ ! -d "${!prefix_var}/drive_c" ] || [ -z "${!display_var:-}" ]; then
        echo "wine-exec: desktop $desktop has no prepared prefix and display" >&2
        exit 125
      fi
      export WINEPREFIX="${!prefix_var}" DISPLAY="${!display_var}"
      ;;
    *) echo "wine-exec: desktop '$desktop' is not one of the run's" >&2; exit 125 ;;
  esac
  # (the lock's descriptor is closed for Wine: a service a test starts on
  # demand outlives it and would hold the lock for good)
  exec 9>"$WINEPREFIX/.desktop-lock"
  flock 9
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
# The output goes through a file: a Wine service that the program happens to
# start on demand inherits its output, and would keep ctest's pipe open (and
# the test "running") long after the program itself has ended.
out=$(mktemp "${TMPDIR:-/tmp}/wine-exec.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null 9>&-
rc=$?
# Now and then Wine's own Linux process dies in the system loader's exit
# code ("Inconsistency detected by ld.so: dl-fini.c ... Assertion"), after
# the Windows program has finished: that is no result of the program's. Such
# a run counts for nothing and the program runs once more, from the start.
# Rarely, too, a process fails before the program prints its first line
# (every program run here prints one: GoogleTest's), without a word from
# Wine: the program never ran, and it runs once more.
if [ $rc -ne 0 ] && grep -q '^Inconsistency detected by ld.so: dl-fini' "$out"; then
  cat "$out"
  echo "wine-exec: Wine's loader failed while the process ended; running it again"
  /usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null 9>&-
  rc=$?
elif [ $rc -ne 0 ] && [ ! -s "$out" ]; then
  echo "wine-exec: the process ended with code $rc before the program wrote anything; running it again"
  /usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null 9>&-
  rc=$?
fi
cat "$out"
rm -f "$out"
exit $rc
