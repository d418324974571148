#!/usr/bin/env bash
# Builds the Windows deliverables into build/dist/ and the native core build
# (sanitizers, fuzzers) into build/native/. "build.sh win" or "build.sh
# native" builds only the one (DERVANE_SKIP_NATIVE=1 also leaves the native
# build out).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
which=${1:-both}
if [ "$which" != native ]; then
  cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
  cmake --build build/win -j "$jobs"
fi
if [ "$which" != win ] && [ "${DERVANE_SKIP_NATIVE:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/native -j "$jobs"
fi
