#include "common/LayoutFormat.h"

#include "common/FileNameChecks.h"
#include "common/KeyedTextFile.h"
#include "common/PathSep.h"
#include "common/Utf8.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* LayoutFolderName(int type)
{
    return type == kShortcutsLayout ? "Shortcuts" : "Positions";
}

const char* LayoutFileTitle(int type)
{
    return type == kShortcutsLayout ? kShortcutsLayoutTitle : kPositionsLayoutTitle;
}

std::string LayoutFolderPath(const std::string& programFolder, int type)
{
    return programFolder + kPathSeparator + LayoutFolderName(type);
}

std::string LayoutFilePath(const std::string& programFolder, int type, const std::string& fileName)
{
    if (!IsPlainFileName(fileName.c_str()) || fileName.size() != strlen(fileName.c_str()))
        return std::string();
    return LayoutFolderPath(programFolder, type) + kPathSeparator + fileName;
}

std::string ScreenLayoutFileName(int width, int height)
{
    char name[48];
    snprintf(name, sizeof name, "%dx%d%s", width, height, kLayoutExtension);
    return name;
}

std::string ScreenSnapshotFileName(int width, int height)
{
    char name[48];
    snprintf(name, sizeof name, "Snapshot %dx%d%s", width, height, kSnapshotExtension);
    return name;
}

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    return EqualsNoCase(a.c_str(), b);
}

}  // namespace

bool IsOriginalLayoutTitle(const std::string& title)
{
    return EqualsIgnoringCase(title, kOriginalLayout);
}

bool IsOriginalLayoutFile(const std::string& fileName)
{
    return EqualsIgnoringCase(fileName, kOriginalLayoutFile);
}

bool ReadLoadedRecord(CKeyedTextFile& file, int* loaded)
{
    char value[CKeyedTextFile::kLineSize] = "";
    if (!file.Find(kLoadedRecord, value, 1))
        return false;
    *loaded = atoi(value);
    return true;
}
