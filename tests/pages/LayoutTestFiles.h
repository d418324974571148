// Layout files as the hook library writes them, for the layout tests.
#pragma once

#include "common/KeyedTextFile.h"
#include "common/PathSep.h"
#include "icons/LayoutNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// programFolder\Positions (or Shortcuts), made if missing.
inline std::string LayoutDir(const std::string& programFolder, int type)
{
    const std::string dir = programFolder + kPathSeparator + LayoutFolderName(type);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

// A layout file with its title record and, when loaded is 0 or 1, a
// "LOADED" record; title "" writes a file of no known kind.
inline std::string WriteLayout(const std::string& programFolder, int type, const std::string& fileName,
                               const char* title, int loaded = -1)
{
    const std::string path = LayoutDir(programFolder, type) + kPathSeparator + fileName;
    CKeyedTextFile file(path.c_str());
    EXPECT_TRUE(file.Create()) << path;
    if (*title)
        file.Write("KTX_FILE", title);
    file.Write("VERSION", "1.0");
    if (loaded == 0 || loaded == 1)
        file.Write("LOADED", loaded ? "1" : "0");
    file.Write("ICON_STYLE", "0");
    return path;
}

inline std::string WritePositions(const std::string& programFolder, const std::string& fileName)
{
    return WriteLayout(programFolder, kPositionsLayout, fileName, "DERVANE ICON POSITIONS");
}

inline std::string WriteShortcuts(const std::string& programFolder, const std::string& fileName, int loaded)
{
    return WriteLayout(programFolder, kShortcutsLayout, fileName, "DERVANE ICON SHORTCUTS", loaded);
}
