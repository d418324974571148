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
cat "$out"
rm -f "$out"
exit $rc
