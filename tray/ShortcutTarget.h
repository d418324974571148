// What a tray menu item opens when its path is a shell link, and the small
// pictures of its files.
#pragma once

#include "framework/ScopedHandles.h"

#include <string>

struct ShortcutTarget {
    std::string target;  // empty for a link to something that is no file
    std::string arguments;
    std::string workingFolder;
    int showCommand = SW_SHOWNORMAL;
    std::string iconLocation;  // its environment variables expanded
    int iconIndex = -1;
};

// Reads the shell link at path (COM must be initialised on the thread);
// false when path is no shell link. Each value the link does not give keeps
// its default.
bool ResolveShortcut(const std::string& path, ShortcutTarget* link);
// The small icon at index of file, else the shell's small icon for the
// file; none when neither is found or file is empty.
ScopedIcon SmallIconFor(const std::string& file, int index);
// The drive and folder parts of path ("C:\Tools\" of "C:\Tools\edit.exe"),
// empty when it has none.
std::string FolderOf(const std::string& path);
