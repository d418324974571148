// The deletion engine's task side: RunTask applies one deletion task to its
// folder, silently. It walks through the safe walker (files/SafeWalker.h):
// each folder held open while it is walked, each entry opened relative to
// it and deleted through its own handle, so a name is reached exactly and at
// any depth, and a folder that is a link (junction, symbolic link, mount
// point) is neither searched nor removed. Patterns are checked against the
// long name. The Preview runs the very same walk without deleting.
#pragma once

#include "autodelete/DeletionTask.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// One entry of a folder as the directory search gave it.
struct FolderEntry {
    std::string name;  // UTF-8
    DWORD attributes = 0;
    // The name on disk holds half of a UTF-16 pair, which no UTF-8 text can
    // spell: name is a readable stand-in (U+FFFD for the half) that may be the
    // very name of another entry, so nothing may be done through it.
    bool unreadable = false;
};

// The entries of folder in search order, without "." and "..", listed
// through the wide calls so that every name comes back exactly. False when
// the folder cannot be searched (missing, or its path too long).
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);
class MatchList;
struct WalkEntry;
// Adds to matches the names of the files (not folders) among entries that
// match one of patterns, pattern by pattern: the selection of one folder,
// shared by the deletion and the backup walks. An unreadable entry never
// matches.
void AddMatches(const std::vector<FolderEntry>& entries, const std::vector<std::string>& patterns, MatchList& matches);
void AddMatches(const std::vector<WalkEntry>& entries, const std::vector<std::string>& patterns, MatchList& matches);
// A folder the engine must not enter: a directory that is a reparse point.
bool IsLinkedFolder(DWORD attributes);
// A path the system's calls take whole (shorter than MAX_PATH characters).
bool FitsPath(const std::string& path);
// Deletes one file (a read-only one after clearing that attribute; a file
// that is a link is removed as the link). 1 when it is gone; else 0 with the
// reason as the last error.
int RemoveFile(const std::string& path);

// The program's own folder (that of the running module).
std::string ProgramFolder();

// Applies task to its folder (folder: the task's folder with its macros
// replaced). It runs only when the folder passes the task folder checks and
// is no link; a refused folder is logged once per run of the program and
// skipped. Each file it could not delete is logged with the reason.
void RunTask(const std::string& folder, const DeletionTask& task);

// What the task would delete now, found by the same walk, nothing deleted.
struct TaskPreview {
    std::string refusal;  // why the task would not run at all, or empty
    size_t count = 0;  // files that would be deleted
    int olderThanDays = 0;  // the task's age, 0 for any
    std::vector<std::string> paths;  // the first of them
};
TaskPreview PreviewTask(const DeletionTask& task, size_t maxPaths = 300);
