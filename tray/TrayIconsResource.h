// The resources and ids of the custom tray icons' run time.
#pragma once

// The default picture of a custom tray icon and the picture of folder items
// (res/resource.h).
#define IDI_TRAY_ENTRY_DEFAULT 195
#define IDI_TRAY_MENU_FOLDER 196

// The menus' command ids: from the first up to, not including, the end.
#define ID_TRAY_MENU_FIRST 350
#define ID_TRAY_MENU_END 1200
