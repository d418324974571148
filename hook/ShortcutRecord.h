// The properties of one desktop item as a shortcuts layout stores them.
#pragma once

#include "hook/HookProtocol.h"

// Paths of up to MAX_PATH UTF-16 units, as UTF-8 (up to 780 bytes).
constexpr unsigned kShortcutTextSize = 784;

// Every text is UTF-8.
struct ShortcutRecord {
    char label[kIconLabelSize];
    int x;
    int y;
    char itemPath[kShortcutTextSize];  // the item itself; for a link, the .lnk file
    int namePath;  // target holds display names joined by backslashes
    char target[kShortcutTextSize];
    char arguments[kShortcutTextSize];
    char workingFolder[kShortcutTextSize];
    char description[kShortcutTextSize];
    char iconFile[kShortcutTextSize];
    int iconIndex;
    int showCommand;
    int hotKey;  // low 16 bits: virtual key, modifier flags
};
