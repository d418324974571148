#!/usr/bin/env bash
# Screenshots of the tray icons' menu editor with a program item, a system
# command and the separator selected: build/shots/tray-editor-<mode>.png
# (see tests/harness/shots.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
# shellcheck disable=SC2086
exec tests/harness/shots.sh tray_menu_dlg_shot tray-editor ${*:-program command separator}
