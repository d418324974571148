#!/usr/bin/env bash
# Builds everything and runs it on the demo desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
DERVANE_SKIP_NATIVE=1 scripts/build.sh
echo "Built into build/dist/. There is no program to run yet: only the core library and its tests."
