#!/usr/bin/env bash
# Screenshots of Setup's and the uninstaller's pages, not silent, in a Wine
# virtual desktop under Xvfb: build/shots/setup-<n>.png and uninstall-<n>.png.
# Each page is shot once the screen has changed from the last page and holds
# still; Return presses the page's default button (Next, Install, Uninstall).
# Every process is ended by its id (Setup, the prefix's wineserver, Xvfb).
# Usage: installer/shots.sh (after a build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. tests/harness/session.sh
prefix_name="installer-shots-$$"
trap 'harness_stop; rm -rf "$root/build/win/wine/$prefix_name"' EXIT
harness_require xdotool import
mkdir -p build/shots
harness_template "$root/build/win" >/dev/null
harness_prefix "$root/build/win" "$prefix_name"
harness_start_xvfb 1024x768x24
harness_start_wineserver
size=640x480
last=$(mktemp --suffix=.png)
now=$(mktemp --suffix=.png)
convert -size $size xc:black "$last"

# Waits until the screen differs from the last shot and then holds still
# for half a second; saves it as $1.
shoot() {
  local i same=0 prev=""
  for i in $(seq 120); do
    import -window root -crop $size+0+0 "$now"
    if ! compare -metric AE "$now" "$last" null: >/dev/null 2>&1; then
      if [ -n "$prev" ] && compare -metric AE "$now" "$prev" null: >/dev/null 2>&1; then
        same=$((same + 1))
        [ $same -ge 2 ] && break
      else
        same=0
      fi
      prev=$(mktemp --suffix=.png)
      cp "$now" "$prev"
    fi
    sleep 0.25
  done
  cp "$now" "$last"
  cp "$now" "build/shots/$1.png"
  echo "build/shots/$1.png"
}

press() { xdotool key --clearmodifiers "$1"; }

setup=$(ls build/release/Dervane-*-Setup.exe | head -1)
"$WINE64" explorer /desktop="setup,$size" "$root/$setup" >/dev/null 2>&1 &
HARNESS_PIDS+=($!)
shoot setup-1-welcome
press Return
shoot setup-2-folder
press Return
shoot setup-3-finish
# Finish without starting the program.
press space
press Return
harness_wait 30 bash -c "! kill -0 ${HARNESS_PIDS[-1]} 2>/dev/null" || true

user=$(ls "$WINEPREFIX/drive_c/users" | grep -v Public | head -1)
installed="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Dervane"
# A layout and a list of the user's, which the ticked choice removes.
mkdir -p "$installed/Positions"
echo layout >"$installed/Positions/Mine.dvl"
echo list >"$installed/IconHide.txt"
uninstaller="C:\\users\\$user\\AppData\\Local\\Programs\\Dervane\\Uninstall.exe"
"$WINE64" explorer /desktop="uninstall,$size" "$uninstaller" >/dev/null 2>&1 &
HARNESS_PIDS+=($!)
shoot uninstall-1-confirm
press Return
shoot uninstall-2-components
# Tick "Your layouts and lists" (the list has the focus, its first item chosen).
press Down
press space
shoot uninstall-3-components-ticked
press Return
shoot uninstall-4-done
left=$(find "$installed" 2>/dev/null | wc -l || true)
echo "installer/shots.sh: $left entries left of the program folder"
