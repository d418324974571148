// Dialog and control ids of the tray icon picker.
#pragma once

#define IDD_TRAY_ICON 5710
#define IDC_TRAY_ICON_LIST 1091
#define IDC_TRAY_ICON_OK 1241
#define IDC_TRAY_ICON_CANCEL 1242
#define IDC_TRAY_ICON_FILE 1243
#define IDC_TRAY_ICON_BROWSE 1244
