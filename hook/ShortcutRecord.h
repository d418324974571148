// The properties of one desktop item as a shortcuts layout stores them.
#pragma once

constexpr unsigned kShortcutTextSize = 260;

struct ShortcutRecord {
    char label[128];
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
