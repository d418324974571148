#!/usr/bin/env bash
# Runs one command (by default the automated deletion tests) under Wine in a
# throw-away prefix whose drives lead nowhere outside it: the deletion code
# must never see a drive letter that reaches the rest of the machine (a fresh
# prefix maps Z: to the Linux root). Usage: wine_session.sh [command...]
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
. tests/harness/session.sh

# Removes every drive of the prefix that leads outside it; fails if one stays.
confine_drives() {
  local prefix
  prefix=$(readlink -f "$WINEPREFIX")
  local link target
  for link in "$WINEPREFIX"/dosdevices/?:*; do
    [ -e "$link" ] || [ -L "$link" ] || continue
    target=$(readlink -f "$link" 2>/dev/null || true)
    case "$target" in
      "$prefix"/*) ;;
      *) rm -f "$link" ;;
    esac
  done
  for link in "$WINEPREFIX"/dosdevices/?:*; do
    [ -e "$link" ] || [ -L "$link" ] || continue
    target=$(readlink -f "$link")
    case "$target" in
      "$prefix"/*) ;;
      *) echo "wine_session: drive $link still leads to $target" >&2; return 1 ;;
    esac
  done
}

# As harness_throwaway_session, with the drives confined before anything
# runs in the prefix.
prefix="$root/build/win/wine/autodelete-$$"
trap 'harness_stop; rm -rf "$prefix"' EXIT
trap 'exit 130' INT TERM
harness_template "$root/build/win" || exit 1
harness_prefix "$root/build/win" "autodelete-$$"
confine_drives || exit 1
harness_start_xvfb || exit 1
harness_start_wineserver
export WINE64
ls -l "$WINEPREFIX/dosdevices/" >&2
if [ $# -eq 0 ]; then
  set -- ctest --test-dir "$root/build/win" --output-on-failure -R "Deletion|FolderMacro|AutoDelete|DeleteProgress|FileType|TaskFolder|MatchList|FileNameMatch|ReplaceAll"
fi
"$@"
