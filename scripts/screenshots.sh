#!/usr/bin/env bash
# Screenshots of every page and dialog built so far, under Xvfb in Wine
# virtual desktops, collected in build/shots/: the About and General pages
# from the running program on the demo desktop, the Icons page (both layout
# modes) and the hide-icon rules dialog. Run after a build; each part ends
# every process it started by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/shots
env -u DISPLAY bash scripts/run.sh >/dev/null
cp build/screenshot.png build/shots/about.png
cp build/screenshot-general.png build/shots/general.png
bash tests/pages/icons_shots.sh >/dev/null
ls build/shots/*.png
