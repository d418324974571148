// What a custom tray icon holds while the program runs: its picture and its
// popup menu, which owns the pictures of its items.
#pragma once

#include "framework/ScopedHandles.h"
#include "tray/IconMenu.h"

struct TrayEntryRunTime {
    ScopedIcon icon;  // none: the default picture is shown
    CIconMenu menu;
};
