#!/usr/bin/env bash
# Screenshot of the tray icon picker filled with the program's TrayIcons.dll:
# build/shots/tray-icon-library.png (see tests/harness/shots.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
exec tests/harness/shots.sh tray_icon_shot tray-icon library
