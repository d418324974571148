#!/usr/bin/env bash
# Screenshots of the backup configuration editor, the advanced settings and
# the progress dialog (with a failure, and while it works):
# build/shots/backup-<mode>.png (see tests/harness/shots.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck disable=SC2086
exec tests/harness/shots.sh backup_dialogs_shot backup ${*:-config advanced progress working}
