#!/usr/bin/env bash
# Screenshots of the auto-respond rule editor: build/shots/respond-<mode>.png
# (see tests/harness/shots.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck disable=SC2086
exec tests/harness/shots.sh respond_entry_shot respond ${*:-button sound}
