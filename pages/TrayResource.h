// Dialog and control ids of the Tray page, and the command ids of the custom
// tray icons' menus.
#pragma once

#define IDD_TRAY 157
#define IDC_TRAY_OK 1225
#define IDC_TRAY_CANCEL 1226
#define IDC_TRAY_APPLY 1227
#define IDC_TRAY_PICTURE 1228
#define IDC_TRAY_LIST 1229
#define IDC_TRAY_ENABLED 1230
#define IDC_TRAY_ADD 1231
#define IDC_TRAY_REPLACE 1232
#define IDC_TRAY_DELETE 1233
#define IDC_TRAY_UP 1234
#define IDC_TRAY_DOWN 1235
#define IDC_TRAY_TIP 1236
#define IDC_TRAY_ICON 1237
#define IDC_TRAY_MENU 1238

// The page's picture (48 by 48, black transparent), as res/resource.h names it.
#define IDB_TRAY 197
#define IDB_TRAY_16 198

// The default picture of a custom tray icon and the picture of folder items
// (res/resource.h).
#define IDI_TRAY_ENTRY_DEFAULT 195
#define IDI_TRAY_MENU_FOLDER 196

// The menus' command ids: from the first up to, not including, the end,
// below every control id of the page.
#define ID_TRAY_MENU_FIRST 350
#define ID_TRAY_MENU_END 1200
