# Sourced by scripts/test.sh and scripts/run.sh: the Wine prefix, Xvfb and the
# persistent wineserver of one run. Every process started here is recorded by
# its id and ended by harness_stop, which the callers run from an EXIT trap.

HARNESS_PIDS=()
HARNESS_PREFIXES=()
WINE64=/usr/lib/wine/wine64

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# harness_wait SECONDS COMMAND...: polls COMMAND every 50 ms until it succeeds.
harness_wait() {
  local limit=$1; shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.05
  done
}

# The user folders of a new prefix are links into the home folder: make them
# real folders inside the prefix before anything runs in it.
harness_realise_user_folders() {
  local users="$1/drive_c/users"
  local d
  for d in "$users"/*/*; do
    if [ -L "$d" ]; then
      rm -f "$d"
      mkdir -p "$d"
    fi
  done
}

# harness_require PROGRAM...: stops with one line naming the first program
# that is not on the PATH (setup installs them all; this says which is not).
harness_require() {
  local p
  for p in "$@"; do
    command -v "$p" >/dev/null 2>&1 || { echo "harness: $p not found (run scripts/setup.sh)" >&2; return 1; }
  done
}

# A new prefix maps Z: to the Linux root, and tests run as root: a deletion or
# backup gone wrong could reach every file of the machine. Every prefix here
# keeps C: (its own drive_c) and gets D: for the build folder only, where the
# programs and tests live; no other drive.
harness_confine_drives() {
  local prefix=$1 build=$2 link
  for link in "$prefix"/dosdevices/[a-z]:; do
    [ -e "$link" ] || [ -L "$link" ] || continue
    case "${link##*/}" in
      c:) ;;
      *) rm -f "$link" ;;
    esac
  done
  ln -sfn "$build" "$prefix/dosdevices/d:"
}

# harness_drives_confined PREFIX BUILD: succeeds when every drive of PREFIX
# leads into PREFIX or BUILD.
harness_drives_confined() {
  local prefix build link target
  prefix=$(readlink -f "$1")
  build=$(readlink -f "$2")
  for link in "$1"/dosdevices/[a-z]: "$1"/dosdevices/[a-z]::; do
    [ -e "$link" ] || [ -L "$link" ] || continue
    target=$(readlink -f "$link") || return 1
    case "$target/" in
      "$prefix"/* | "$build"/*) ;;
      *) echo "harness: drive ${link##*/} of $1 leads to $target" >&2; return 1 ;;
    esac
  done
}

# harness_template BUILD_DIR: makes BUILD_DIR/wine/template once. A template
# that a run left half-made (interrupted) has no ready mark and is made again.
harness_template() {
  local tpl="$1/wine/template"
  local build
  build=$(readlink -f "$1/..")
  [ -f "$tpl/.dervane-ready-5" ] && harness_drives_confined "$tpl" "$build" && return 0
  harness_require wineboot wineserver "$WINE64" || return 1
  rm -rf "$tpl"
  mkdir -p "$tpl"
  echo "harness: creating template Wine prefix (once per build folder)"
  # No display while booting: the template must not depend on one.
  if ! WINEPREFIX="$tpl" DISPLAY= wineboot -i >"$1/wine/wineboot.log" 2>&1; then
    echo "harness: wineboot failed (see $1/wine/wineboot.log)" >&2
    return 1
  fi
  WINEPREFIX="$tpl" wineserver -w
  harness_confine_drives "$tpl" "$build"
  harness_realise_user_folders "$tpl"
  [ -d "$tpl/drive_c/windows" ] || { echo "harness: wineboot made no Windows folder" >&2; return 1; }
  # Debian's Wine says it is Windows 7 unless told otherwise; the program is
  # for Windows 10 and 11, and Setup refuses a Windows before 10 version 1903.
  WINEPREFIX="$tpl" DISPLAY= "$WINE64" reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1 ||
    { echo "harness: cannot set the template's Windows version" >&2; return 1; }
  # Wine's default registry gives .exe and .txt no class, so the shell shows
  # programs, shortcuts to them and text files with the generic icon; a
  # Windows desktop shows their own.
  local ext
  for ext in .exe=exefile .txt=txtfile; do
    WINEPREFIX="$tpl" DISPLAY= "$WINE64" reg add "HKCR\\${ext%%=*}" /ve /d "${ext#*=}" /f >/dev/null 2>&1 ||
      { echo "harness: cannot register ${ext%%=*} in the template" >&2; return 1; }
  done
  # Wine looks for its own fonts (Tahoma for the dialog font, Marlett for the
  # caption buttons' glyphs) only through fontconfig, which does not know the
  # folder they are installed in; without them the close button of a caption
  # shows the letter "r". Copies in the prefix's Fonts folder are found.
  local fonts=/usr/share/wine/fonts
  if ! ls "$fonts"/marlett.ttf "$fonts"/tahoma.ttf >/dev/null 2>&1; then
    echo "harness: Wine's fonts are missing in $fonts (package fonts-wine)" >&2
    return 1
  fi
  mkdir -p "$tpl/drive_c/windows/Fonts"
  cp "$fonts"/*.ttf "$tpl/drive_c/windows/Fonts/"
  WINEPREFIX="$tpl" wineserver -w
  # Booting again must not have brought a drive back.
  harness_drives_confined "$tpl" "$build" || return 1
  touch "$tpl/.dervane-ready-5"
}

# harness_prefix BUILD_DIR NAME: a fresh copy of the template as WINEPREFIX.
harness_prefix() {
  local dest="$1/wine/$2"
  rm -rf "$dest"
  cp -a "$1/wine/template" "$dest"
  harness_realise_user_folders "$dest"
  harness_confine_drives "$dest" "$(readlink -f "$1/..")"
  export WINEPREFIX="$dest"
}

# harness_set_dpi DPI: the screen scale of WINEPREFIX (LogPixels; 144 is
# 150 %). Programs read it when they start: call it before anything runs.
harness_set_dpi() {
  local key
  case "$1" in
    [1-9][0-9] | [1-9][0-9][0-9]) ;;
    *) echo "harness: $1 is not a number of dots per inch, such as 144" >&2; return 1 ;;
  esac
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    DISPLAY= "$WINE64" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
      { echo "harness: cannot set LogPixels in $key" >&2; return 1; }
  done
  wineserver -w
}

# Starts Xvfb on a free display number and exports DISPLAY; arguments after
# the screen size go to Xvfb.
harness_start_xvfb() {
  local size=${1:-1024x768x24}
  shift || true
  harness_require Xvfb || return 1
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp "$@" 3>"$fifo" >/dev/null 2>&1 &
  HARNESS_PIDS+=($!)
  local num=""
  read -r -t 10 num <"$fifo" || true
  rm -f "$fifo"
  [ -n "$num" ] || { echo "harness: Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$num"
}

# Starts a persistent wineserver for WINEPREFIX, in the foreground of its own
# background job, so its id is known.
harness_start_wineserver() {
  harness_require wineserver "$WINE64" || return 1
  wineserver -f -p >/dev/null 2>&1 &
  HARNESS_PIDS+=($!)
  HARNESS_PREFIXES+=("$WINEPREFIX")
  # The server's socket lives in a folder named after the prefix's device and
  # inode; wait for it so the first client does not start a second server.
  # (Debian's Wine keeps that folder under a per-user /tmp/wine-XXXXXX.)
  local id
  id="server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"
  harness_wait 10 harness_socket_exists "$id" || echo "harness: wineserver socket not seen ($id)" >&2
  # The first client of a server starts Wine's services (services.exe,
  # explorer, ...), which inherit that client's output; start them now, or
  # ctest would wait for the first test's output pipe until they exit.
  "$WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

harness_socket_exists() {
  local s
  for s in /tmp/.wine-"$(id -u)"/"$1"/socket /tmp/wine-*/"$1"/socket; do
    [ -S "$s" ] && return 0
  done
  return 1
}

# harness_throwaway_session BUILD_DIR NAME: the benchmarks' session: a fresh
# prefix NAME, removed at exit with everything started here, Xvfb and a
# persistent wineserver.
harness_throwaway_session() {
  HARNESS_THROWAWAY="$1/wine/$2"
  trap 'harness_stop; rm -rf "$HARNESS_THROWAWAY"' EXIT
  trap 'exit 130' INT TERM
  harness_template "$1" || return 1
  harness_prefix "$1" "$2"
  harness_start_xvfb || return 1
  harness_start_wineserver
}

# Ends the Wine processes of every prefix whose server was started here (and
# of WINEPREFIX), then every process this run started.
harness_stop() {
  local p
  for p in "${HARNESS_PREFIXES[@]}" "${WINEPREFIX:-}"; do
    [ -n "$p" ] && [ -d "$p" ] && { WINEPREFIX="$p" wineserver -k >/dev/null 2>&1 || true; }
  done
  HARNESS_PREFIXES=()
  local i
  for ((i = ${#HARNESS_PIDS[@]} - 1; i >= 0; i--)); do
    kill "${HARNESS_PIDS[$i]}" 2>/dev/null || true
  done
  for i in "${HARNESS_PIDS[@]}"; do
    wait "$i" 2>/dev/null || true
  done
  HARNESS_PIDS=()
}

# Ids of the Wine processes (and the Xvfb) that run for the prefix $1,
# found by the WINEPREFIX in their environment.
harness_prefix_pids() {
  local f pid exe
  for f in /proc/[0-9]*/environ; do
    pid=${f#/proc/}
    pid=${pid%/environ}
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
    case "${exe##*/}" in
      wine* | Xvfb) ;;
      *) continue ;;
    esac
    { tr '\0' '\n' <"$f" | grep -qxF "WINEPREFIX=$1"; } 2>/dev/null && echo "$pid"
  done
  return 0
}

harness_prefix_idle() { [ -z "$(harness_prefix_pids "$1")" ]; }
