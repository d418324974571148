// Dialog and control ids of the Tray page (the icons' own ids are in
// tray/TrayIconsResource.h).
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
