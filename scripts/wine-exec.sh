#!/usr/bin/env bash
# Runs a Windows executable under Wine in the test run's own prefix.
# scripts/test.sh exports WINEPREFIX (a throw-away copy inside build/); without
# it we stop rather than let Wine create or touch ~/.wine.
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "wine-exec: WINEPREFIX is not a prepared prefix (run scripts/test.sh)" >&2
  exit 125
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
# The output goes through a file: a Wine service that the program happens to
# start on demand inherits its output, and would keep ctest's pipe open (and
# the test "running") long after the program itself has ended.
out=$(mktemp "${TMPDIR:-/tmp}/wine-exec.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
rc=$?
# Now and then Wine's own Linux process dies in the system loader's exit
# code ("Inconsistency detected by ld.so: dl-fini.c ... Assertion"), after
# the Windows program has finished: that is no result of the program's. Such
# a run counts for nothing and the program runs once more, from the start.
if [ $rc -ne 0 ] && grep -q '^Inconsistency detected by ld.so: dl-fini' "$out"; then
  cat "$out"
  echo "wine-exec: Wine's loader failed while the process ended; running it again"
  /usr/lib/wine/wine64 "$@" >"$out" 2>&1 </dev/null
  rc=$?
fi
cat "$out"
rm -f "$out"
exit $rc
