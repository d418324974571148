// Resource ids of the program's pictures (res/ProgramResources.rc) and of the
// two picture libraries beside it (res/Resources.rc, res/TrayIcons.rc).
#pragma once

// Program icons. Layout shortcuts on the desktop name the program file with
// an icon index, and an index counts icon groups in id order, so these four
// must be the program's lowest icon ids, in this order: index 0 the program,
// 1 a shortcuts layout whose shortcuts are on the desktop, 2 one whose
// shortcuts are not, 3 a positions layout. No other icon of the program may
// take an id below 170.
#define IDI_PROGRAM 104
#define IDI_SHORTCUTS_LAYOUT_ON 124
#define IDI_SHORTCUTS_LAYOUT_OFF 125
#define IDI_POSITIONS_LAYOUT 170
// The main window's tray icon: features on with the property sheet shown,
// features on with it hidden, features off.
#define IDI_TRAY_SHEET_SHOWN 171
#define IDI_TRAY_SHEET_HIDDEN 172
#define IDI_TRAY_OFF 173
// Custom tray icons: the picture of an icon that has none, and of folders in
// their menus.
#define IDI_TRAY_DEFAULT 195
#define IDI_MENU_FOLDER 196

// Program bitmaps. Each picture has a variant in the 16 display colours,
// loaded instead when the screen has 8 bits per pixel.
// The File Shredder window (40 by 40, cut by its outline in DesktopIconShapes.h).
#define IDB_SHREDDER_FOCUS 139
#define IDB_SHREDDER_FOCUS_16 140
#define IDB_SHREDDER 141
#define IDB_SHREDDER_16 142
// The Backup window (40 by 40).
#define IDB_BACKUP_ICON 143
#define IDB_BACKUP_ICON_16 144
#define IDB_BACKUP_ICON_FOCUS 145
#define IDB_BACKUP_ICON_FOCUS_16 146
// The About page's decoration (64 by 64, red 0x0000FF transparent).
#define IDB_ABOUT_DECORATION 166
#define IDB_ABOUT_DECORATION_16 169
// Page pictures (48 by 48, black transparent).
#define IDB_PAGE_BACKUP 181
#define IDB_PAGE_BACKUP_16 182
#define IDB_PAGE_DELETE 183
#define IDB_PAGE_DELETE_16 184
#define IDB_PAGE_GENERAL 185
#define IDB_PAGE_GENERAL_16 186
#define IDB_PAGE_ICONS 187
#define IDB_PAGE_ICONS_16 188
#define IDB_PAGE_RESPOND 189
#define IDB_PAGE_RESPOND_16 190
#define IDB_PAGE_TRAY 197
#define IDB_PAGE_TRAY_16 198

// Resources.dll: the About page's picture (240 by 64), and its variant in the
// 16 display colours.
#define IDB_ABOUT_PICTURE 101
#define IDB_ABOUT_PICTURE_16 103

// TrayIcons.dll: the icons the tray icon picker offers, ids 1 to this.
#define TRAY_ICON_COUNT 14
