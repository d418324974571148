#!/usr/bin/env bash
# Runs one command (by default the automated deletion tests) under Wine in a
# throw-away prefix whose drives lead nowhere outside it and the build folder:
# the deletion code must never see a drive letter that reaches the rest of the
# machine (a fresh prefix maps Z: to the Linux root). The test command runs
# the same tests in its own prefix, confined the same way.
# Usage: wine_session.sh [command...]
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
. tests/harness/session.sh

# As harness_throwaway_session; every prefix of the harness keeps only its own
# C: and the build folder's D:, checked again here before anything runs.
prefix="$root/build/win/wine/autodelete-$$"
trap 'harness_stop; rm -rf "$prefix"' EXIT
trap 'exit 130' INT TERM
harness_template "$root/build/win" || exit 1
harness_prefix "$root/build/win" "autodelete-$$"
harness_drives_confined "$WINEPREFIX" "$(readlink -f "$root/build")" || exit 1
harness_start_xvfb || exit 1
harness_start_wineserver
export WINE64
ls -l "$WINEPREFIX/dosdevices/" >&2
if [ $# -eq 0 ]; then
  set -- ctest --test-dir "$root/build/win" --output-on-failure -R "Deletion|FolderMacro|AutoDelete|DeleteProgress|FileType|TaskFolder|MatchList|FileNameMatch|ReplaceAll"
fi
"$@"
