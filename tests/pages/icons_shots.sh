#!/usr/bin/env bash
# Screenshots of the Icons page and the hide-icon rules dialog:
# build/shots/icons-<mode>.png (see tests/harness/shots.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck disable=SC2086
exec tests/harness/shots.sh icons_page_shot icons ${*:-page shortcuts rules}
