#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages.
# Idempotent: asks apt only when something is missing. "setup.sh --list"
# prints the packages, one a line (scripts/check-setup.sh reads them).
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine xvfb xdotool imagemagick x11-utils x11-xserver-utils
  fp-utils nsis fonts-dejavu-core
)
if [ "${1:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# Stop here, with one line naming it, when something a script calls is still
# missing: a later step would fail with a less clear message.
"$(dirname "$0")/check-setup.sh" --present
