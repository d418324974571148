#!/usr/bin/env bash
# Builds the Windows deliverables into build/dist/ and the native core build
# (sanitizers, fuzzers) into build/native/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build build/win -j "$jobs"
if [ "${DERVANE_SKIP_NATIVE:-0}" != 1 ]; then
  CC=clang CXX=clang++ cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/native -j "$jobs"
fi
