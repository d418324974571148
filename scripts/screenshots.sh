#!/usr/bin/env bash
# Screenshots of every page and dialog built so far, under Xvfb in Wine
# virtual desktops, collected in build/shots/: the About, General, Icons,
# Tray, Respond, Delete and Backup pages of the running program on the demo
# desktop (also cut to the sheet alone, and kept as the README's pictures in
# docs/), the Icons page of a test sheet in both layout modes, the hide-icon
# rules dialog, an open picture menu of a custom tray icon, the picker of its
# picture and the editor of those menus; the program's pages also at a screen
# scale of 150 % (144 dpi). Run after a build; each part ends every process it
# started by its id.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/shots
env -u DISPLAY bash scripts/run.sh >/dev/null
cp build/screenshot.png build/shots/about.png
cp build/screenshot-general.png build/shots/general.png
cp build/screenshot-icons.png build/shots/icons.png
# The Tray page, and its icons in the notification area at the top left.
cp build/screenshot-tray.png build/shots/tray.png
cp build/screenshot-respond.png build/shots/respond.png
# The Delete page, and the File Shredder window on the desktop beside the sheet.
cp build/screenshot-delete.png build/shots/delete.png
# The Backup page, and the Backup window beside the File Shredder.
cp build/screenshot-backup.png build/shots/backup.png
# The same pages at a screen scale of 150 % (144 dpi), as the sheet alone in
# build/shots/sheet-<page>-144dpi.png and the screen in <page>-144dpi.png.
env -u DISPLAY DERVANE_DPI=144 DERVANE_SKIP_BUILD=1 bash scripts/run.sh >/dev/null
for page in about general icons tray respond delete backup; do
  from=build/screenshot-$page-144dpi.png
  [ "$page" = about ] && from=build/screenshot-144dpi.png
  cp "$from" "build/shots/$page-144dpi.png"
done
bash tests/pages/icons_shots.sh >/dev/null
# An open picture menu of a custom tray icon.
bash tests/tray/tray_shots.sh >/dev/null
# The tray icon picker on the program's library of pictures.
bash tests/tray/tray_icon_shots.sh >/dev/null
# The auto-respond rule editor, with a button and with a sound.
bash tests/respond/respond_shots.sh >/dev/null
# The tray icons' menu editor, with a program, a system command and the separator selected.
bash tests/tray/tray_menu_dlg_shots.sh >/dev/null
# Two dialogs at 150 % too: the rule editor and the hide-icon rules.
DERVANE_DPI=144 bash tests/respond/respond_shots.sh >/dev/null
DERVANE_DPI=144 bash tests/pages/icons_shots.sh rules >/dev/null
# The README's pictures: the sheet alone, in 256 colours.
for page in about general icons delete backup; do
  /usr/bin/convert "build/shots/sheet-$page.png" -colors 256 "PNG8:docs/$page-page.png"
done
ls build/shots/*.png
