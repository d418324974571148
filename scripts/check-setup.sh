#!/usr/bin/env bash
# Checks that every external program the scripts, the harness, the benches and
# the CMake files call comes from a package that scripts/setup.sh installs (or
# that one of its packages pulls in, or that every Debian system has). A
# machine that has extra packages from earlier work can hide a missing install
# step; this check cannot be fooled by them, since it asks which package owns
# each program and whether setup's list leads to it.
#   scripts/check-setup.sh [--without PACKAGE | --present]
#   --without: as if PACKAGE were not in setup's list, to see the check fail;
#   --present: only that every program and file is there.
set -uo pipefail
cd "$(dirname "$0")/.."

programs=(
  # build
  cmake ctest ninja clang clang++
  x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix
  x86_64-w64-mingw32-windres x86_64-w64-mingw32-objcopy
  chmcmd perl makensis
  # ImageMagick's own (a machine may have another "convert" earlier on the PATH)
  /usr/bin/convert
  # Wine, the display and screenshots
  wine wineboot wineserver /usr/lib/wine/wine64 Xvfb import
  # shell tools of the scripts
  bash awk sed grep tr cat cp ln mkdir mkfifo mktemp readlink stat tee tail
  touch nproc sleep seq sync rm setsid flock dpkg-query apt-get
  # files they read: GoogleTest's sources, the pictures' fonts, Wine's fonts
  /usr/src/googletest/CMakeLists.txt
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
  /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/marlett.ttf
)

without=""
[ "${1:-}" = --without ] && without=${2:?--without PACKAGE}

# --present: only that each is there (what setup.sh checks after installing).
if [ "${1:-}" = --present ]; then
  for prog in "${programs[@]}"; do
    if [[ $prog == /* ]]; then
      [ -e "$prog" ] || { echo "setup: $prog is missing after installing" >&2; exit 1; }
    else
      command -v "$prog" >/dev/null || { echo "setup: $prog is not on the PATH after installing" >&2; exit 1; }
    fi
  done
  exit 0
fi

mapfile -t listed < <(scripts/setup.sh --list | grep -vxF "${without:-//}")

# One reading of dpkg's database: each installed package's dependencies,
# whether it is in every Debian system (essential, or of priority required),
# and which installed packages provide each virtual name.
declare -A deps=() base=() providers=()
# (fields apart by a unit separator: runs of tabs would fold empty fields)
while IFS=$'\x1f' read -r status pkg pre dep prov essential priority; do
  [ "$status" = "install ok installed" ] || continue
  deps[$pkg]="$pre, $dep"
  { [ "$essential" = yes ] || [ "$priority" = required ]; } && base[$pkg]=1
  IFS=',' read -ra names <<<"$prov"
  for n in "${names[@]}"; do
    n=${n%%(*}
    n=${n// /}
    [ -n "$n" ] && providers[$n]+=" $pkg"
  done
done < <(dpkg-query -W -f=$'${Status}\x1f${Package}\x1f${Pre-Depends}\x1f${Depends}\x1f${Provides}\x1f${Essential}\x1f${Priority}\n')

# The dependency closure of setup's list: of each group of alternatives, the
# first one (the one apt takes on a fresh machine), or what provides it.
declare -A closure=()
queue=("${listed[@]}")
while [ ${#queue[@]} -gt 0 ]; do
  pkg=${queue[-1]}
  unset 'queue[-1]'
  [ -n "${closure[$pkg]:-}" ] && continue
  closure[$pkg]=1
  [ -n "${deps[$pkg]+x}" ] || continue
  IFS=',' read -ra groups <<<"${deps[$pkg]}"
  for g in "${groups[@]}"; do
    first=${g%%|*}
    first=${first%%(*}
    first=${first%%:*}
    first=${first// /}
    [ -n "$first" ] || continue
    if [ -n "${deps[$first]+x}" ]; then
      queue+=("$first")
    else
      for p in ${providers[$first]:-}; do queue+=("$p"); done
    fi
  done
done

owner() {
  local path=$1 out
  out=$(dpkg -S "$path" 2>/dev/null) ||
    { [[ $path == /usr/* ]] && out=$(dpkg -S "${path#/usr}" 2>/dev/null); } || return 1
  out=${out%%: *}
  out=${out%%,*}
  echo "${out%%:*}"
}

bad=0
for prog in "${programs[@]}"; do
  if [[ $prog == /* ]] && [ ! -x "$prog" ]; then
    path=$prog
    [ -e "$path" ] || { echo "check-setup: $prog is missing"; bad=1; continue; }
  else
    path=$(command -v "$prog") || { echo "check-setup: $prog is not installed"; bad=1; continue; }
  fi
  real=$(readlink -f "$path")
  pkg=$(owner "$real") || { echo "check-setup: no package owns $real ($prog)"; bad=1; continue; }
  if [ -z "${closure[$pkg]:-}" ] && [ -z "${base[$pkg]:-}" ]; then
    echo "check-setup: $prog comes from $pkg, which scripts/setup.sh does not install"
    bad=1
  fi
done
if [ $bad -eq 0 ]; then
  echo "check-setup: all ${#programs[@]} programs and files come from setup's packages"
fi
exit $bad
