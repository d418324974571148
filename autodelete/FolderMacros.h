// Folder macros: the folders of AutoDeleteCommon.txt are written with them so
// that one file serves every machine, and are expanded when it is read.
#pragma once

#include <functional>
#include <string>

// The macros in the order they are expanded.
enum FolderMacro {
    kMacroWindows,  // "%WINDOWS%": the Windows folder
    kMacroWindowsTemp,  // "%WINDOWS_TEMP%": the temporary folder, no trailing backslash
    kMacroWindowsDrive,  // "%WINDOWS_DRIVE%": the Windows folder's drive, e.g. "C:"
    kMacroIeTemp,  // "%IE_TEMP%": the shell's "Cache" folder
    kMacroNavigatorTemp,  // "%NAVIGATOR_TEMP%": the other browser's "Cache" folder
    kMacroRecentFiles,  // "%RECENT_FILES%": the recent-documents folder
    kFolderMacroCount
};

// The macro's text, e.g. "%WINDOWS%".
const char* FolderMacroText(int macro);

// Replaces every occurrence of macro in text by value, from the start and
// case-sensitively; the search goes on after each inserted value, so it
// never looks into text it has inserted. An empty macro replaces nothing.
void ReplaceAll(std::string& text, const std::string& macro, const std::string& value);

// Replaces each macro of the table, in table order, by valueOf(macro), asked
// only for macros that occur in the text. Answers false when a macro that
// occurs had no value (an empty one): the text is then not the folder meant.
bool ExpandFolderMacrosWith(std::string& text, const std::function<std::string(int macro)>& valueOf);

#ifdef _WIN32
// ExpandFolderMacrosWith the values of this machine (registry, shell folders).
bool ExpandFolderMacros(std::string& text);
// The value of one macro on this machine; empty when it cannot be found.
std::string FolderMacroValue(int macro);
// The first folder named name (any letter case) below root, depth first, a
// folder's own name compared before its contents are searched; links to
// folders (reparse points) are neither matched nor entered. Empty if none.
std::string FindFolderByName(const std::string& root, const std::string& name);
#endif
