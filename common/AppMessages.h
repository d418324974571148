// The program's own window message and timer ids, in one place: the tray
// icon's callback and every window timer of the main window, the pages and
// their dialogs. The registered messages that cross processes are named in
// hook/HookProtocol.h; command ids live in the resource headers.
#pragma once

#include <windows.h>

// The main window's tray icon: its identifier, and the message the shell
// sends the window for it (wParam the identifier, lParam the mouse message).
constexpr UINT kTrayIconId = 101;
constexpr UINT WMAPP_TRAY_NOTIFY = WM_APP + 1;

// A drop window on the desktop (File Shredder, Backup) tells its page that a
// drop is over.
constexpr UINT WMAPP_DESKTOP_DROP_DONE = WM_APP + 2;

// The custom tray icons (tray/TrayIcons): icon n (from 0) has the identifier
// kCustomTrayFirstIconId + n and the callback message
// WMAPP_CUSTOM_TRAY_FIRST + n; no more than kCustomTrayIconLimit are shown.
constexpr UINT kCustomTrayFirstIconId = 305;
constexpr UINT WMAPP_CUSTOM_TRAY_FIRST = WM_APP + 3;
constexpr UINT kCustomTrayIconLimit = 100;

// Window timers.
constexpr UINT_PTR TIMER_EXIT = 668;  // main window: ends the program 5 s after a layout was loaded
constexpr UINT_PTR TIMER_EXIT_RETRY = 669;  // main window: exit asked while a page's modal box was open
constexpr UINT_PTR TIMER_DELETE_PROGRESS = 333;  // deletion progress dialog: starts the work
constexpr UINT_PTR TIMER_BACKUP_PROGRESS = 334;  // backup progress dialog: starts the work
constexpr UINT_PTR TIMER_DELETE_SCHEDULE = 701;  // Delete page: the deletion schedule
constexpr UINT_PTR TIMER_TRAY_ICON_RETRY = 702;  // custom tray icons: those the shell did not take, tried again
