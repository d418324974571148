// Desktop items through the shell's own objects: reading, creating and
// removing shell links, layout shortcuts, and the program's desktop windows.
// Every text in and out is UTF-8; the shell is called wide.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include "common/LayoutFormat.h"
#include "hook/ShortcutRecord.h"

// Titles of the program's two desktop windows.
#define DELETE_ICON_TITLE "Dervane Delete Icon"
#define BACKUP_ICON_TITLE "Dervane Backup Icon"

HRESULT ReadShortcut(const char* path, LPCITEMIDLIST item, ShortcutRecord* record);
bool ReadDesktopItem(const char* label, ShortcutRecord* record);
bool CreateShortcut(const ShortcutRecord& record);
bool RemoveShortcut(const ShortcutRecord& record);
// The item identifier list of a path of display names, or null; free with CoTaskMemFree.
LPITEMIDLIST ResolveNamePath(const char* namePath);
// The state of the layout file name (without ".dvl") of that kind, which is
// also the index of the icon its desktop shortcut shows.
LayoutState LayoutFileState(int kind, const char* name);
bool IconifyLayout(int kind, const char* layoutPath);
void RefreshLayoutShortcutIcon(const char* name);

// Calls visit with the display name, the file-system path ("" if none) and the
// item of each desktop item, in the shell's order.
void EnumDesktopItems(const std::function<void(const char*, const char*, LPCITEMIDLIST)>& visit);

// The file-system folder of the desktop (UTF-8), without trailing backslash.
bool DesktopDirectory(std::string* out);
// True for a path whose folder is the desktop directory and whose name is a plain file name.
bool IsDesktopItemPath(const char* path);

// Left and top of the top-level window with that title.
bool GetSpecialWindowPosition(const char* title, POINT* pt);
void MoveSpecialWindow(const char* title, int x, int y);
