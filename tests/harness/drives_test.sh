#!/usr/bin/env bash
# The test run's prefix has no drive that leads outside itself and the build
# folder: its drive links point only there, and Wine itself finds no drive but
# C: (the prefix's own) and D: (the build folder). Run by ctest inside
# scripts/test.sh's session (WINEPREFIX exported).
set -uo pipefail
build=${1:?usage: drives_test.sh BUILD_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
[ -d "${WINEPREFIX:-}/dosdevices" ] || { echo "no prefix"; exit 1; }
fail=0
echo "drive links of $WINEPREFIX:"
for link in "$WINEPREFIX"/dosdevices/*; do
  echo "  ${link##*/} -> $(readlink "$link")"
done
harness_drives_confined "$WINEPREFIX" "$build" || fail=1
letters=$("$WINE64" cmd /c 'for %d in (A B C D E F G H I J K L M N O P Q R S T U V W X Y Z) do @if exist %d:\nul echo %d' </dev/null 2>/dev/null | tr -d '\r' | tr '\n' ' ')
echo "drives Wine finds: $letters"
[ "$letters" = "C D " ] || { echo "expected only C and D"; fail=1; }
# D: is the build folder itself, not a folder above it.
[ "$(readlink -f "$WINEPREFIX/dosdevices/d:")" = "$(readlink -f "$build")" ] || { echo "D: is not the build folder"; fail=1; }
exit $fail
