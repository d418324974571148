// How the layout manager turns what the user typed into layout file names,
// which names it refuses, and the texts of its questions. Window-free.
#pragma once

#include "common/LayoutFormat.h"

#include <cstddef>
#include <string>

// The file name for what the user typed: ".dvl" is appended unless the text
// already holds ".dvl" or ".DVL" somewhere (any other mix of capitals gets a
// second extension, as the files were always named).
std::string LayoutFileName(const std::string& name);
// The layout's file name without its extension (from the last '.'), as the
// list shows it.
std::string LayoutTitle(const std::string& fileName);

// "Replace existing layout "<file name without its last four characters>"?"
std::string ReplaceLayoutQuestion(const std::string& fileName);
// "Save layout with %d shortcut%s%s?" for a desktop of total icons of which
// selected are selected: no selection saves every icon.
std::string SaveShortcutsQuestion(int total, int selected);

enum class LayoutNameProblem {
    kNone,
    kEmpty,
    kBadCharacter,  // one of \ / : * ? " < > | or a control character
    kDeviceName,  // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1..9, LPT1..9: not a file on Windows
    kTooLong,  // more than 255 characters, or the path reaches MAX_PATH
};

// The longest file name a layout may have, and the longest path.
constexpr size_t kMaxLayoutFileNameChars = 255;
constexpr size_t kMaxLayoutPathChars = 259;

// Checks a layout file name (with its extension) that is to be joined to the
// program folder, whose path has programFolderChars characters, as
// programFolder\Positions\fileName (or Shortcuts).
LayoutNameProblem CheckLayoutFileName(const std::string& fileName, size_t programFolderChars);
// The message shown for a refused name; empty for kNone.
const char* LayoutNameProblemText(LayoutNameProblem problem);
