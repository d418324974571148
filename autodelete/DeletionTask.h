// DeletionTask: one automated deletion task, a folder and which of its files
// go. The same record serves the ready-made tasks of "AutoDeleteCommon.txt",
// which alone carry a display name.
#pragma once

#include <string>
#include <vector>

// The greatest age a task may ask for, a hundred years.
constexpr int kMaxTaskAgeDays = 36500;

struct DeletionTask {
    // The folder cleaned, as entered (a trailing backslash is kept).
    std::string folder;
    // "Include subfolders": subfolders are processed by the same rules.
    unsigned char includeSubfolders = 0;
    // "Delete empty subfolders": a processed subfolder left empty is removed.
    unsigned char deleteEmptySubfolders = 0;
    // "Exclude File Types": set, the files matching no pattern go; clear,
    // those matching one of them.
    unsigned char excludeFileTypes = 0;
    // Only files older than this many days go: a file is new while its last
    // write or its creation lies within them. 0: files of any age.
    int olderThanDays = 0;
    // Display name of a common folder; never written to AutoDelete.txt.
    std::string name;
    // File name patterns with the wildcards * and ?, in stored order.
    std::vector<std::string> fileTypes;
    // A common folder whose folder macro had no value on this machine: its
    // folder text is incomplete and the task is refused.
    bool missingMacro = false;
};
