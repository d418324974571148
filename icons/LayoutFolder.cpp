#include "icons/LayoutFolder.h"

#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/PathSep.h"
#include "common/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include "framework/ScopedHandles.h"
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b)
{
    return CompareNoCase(a.c_str(), b.c_str()) < 0;
}

bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return EqualsNoCase(a, b);
}

// A layout file's title, or empty when the name does not end in ".dvl".
std::string TitleOfLayoutFile(const std::string& name)
{
    const size_t extension = strlen(kLayoutExtension);
    if (name.size() <= extension)
        return std::string();
    const std::string tail = name.substr(name.size() - extension);
    if (!SameIgnoringCase(tail, kLayoutExtension))
        return std::string();
    return name.substr(0, name.size() - extension);
}

// The names of the plain files in folder.
std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
#ifdef _WIN32
    // The wide listing: a name of 255 characters can take 765 bytes in
    // UTF-8, more than the ANSI record's MAX_PATH bytes hold.
    WIN32_FIND_DATAW found = {};
    const std::string pattern = folder + "\\*";
    const ScopedFind search(FindFirstFileW(Utf8ToWide(pattern.c_str()).c_str(), &found));
    if (!search)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(WideToUtf8(found.cFileName));
    } while (FindNextFileW(search.Get(), &found));
#else
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        struct stat info = {};
        const std::string path = folder + kPathSeparator + entry->d_name;
        if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            names.push_back(entry->d_name);
    }
    closedir(dir);
#endif
    return names;
}

bool IsPlainFile(const std::string& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

bool MoveLayoutFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
#else
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

CLayoutFolder::CLayoutFolder(std::string programFolder) : m_programFolder(std::move(programFolder)) { }

std::string CLayoutFolder::FolderPath(int type) const
{
    return LayoutFolderPath(m_programFolder, type);
}

std::string CLayoutFolder::RelativePath(int type, const std::string& fileName) const
{
    return std::string(LayoutFolderName(type)) + kPathSeparator + fileName;
}

std::string CLayoutFolder::FilePath(int type, const std::string& fileName) const
{
    return LayoutFilePath(m_programFolder, type, fileName);
}

std::vector<std::string> CLayoutFolder::ListTitles(int type) const
{
    std::vector<std::string> titles;
    for (const std::string& name : FileNames(FolderPath(type))) {
        const std::string title = TitleOfLayoutFile(name);
        if (!title.empty() && !IsOriginalLayoutTitle(title))
            titles.push_back(title);
    }
    std::sort(titles.begin(), titles.end(), LessIgnoringCase);
    return titles;
}

int CLayoutFolder::Exists(int type, const std::string& fileName) const
{
    return IsPlainFile(FilePath(type, fileName)) ? 1 : 0;
}

int CLayoutFolder::Delete(int type, const std::string& fileName) const
{
    const std::string path = FilePath(type, fileName);
#ifdef _WIN32
    return DeleteFileA(path.c_str()) ? 1 : 0;
#else
    return IsPlainFile(path) && unlink(path.c_str()) == 0 ? 1 : 0;
#endif
}

int CLayoutFolder::Rename(int type, const std::string& from, const std::string& to) const
{
    const std::string source = FilePath(type, from);
    const std::string target = FilePath(type, to);
    if (target.empty() || !IsPlainFile(source))
        return 0;
    if (from == to)
        return 1;
    if (!SameIgnoringCase(from, to))
        return !IsPlainFile(target) && MoveLayoutFile(source, target) ? 1 : 0;
    // Windows finds "home.dvl" when asked for "Home.dvl": a change of capitals
    // alone renames the file itself, through a name of its own, since Wine
    // keeps the old spelling when moving a file onto itself.
    const std::string between = source + ".renaming";
    if (IsPlainFile(between) || !MoveLayoutFile(source, between))
        return 0;
    if (MoveLayoutFile(between, target))
        return 1;
    MoveLayoutFile(between, source);
    return 0;
}

int CLayoutFolder::LoadedState(const std::string& fileName) const
{
    CKeyedTextFile file(FilePath(kShortcutsLayout, fileName).c_str());
    if (!file.Exists())
        return -1;
    int loaded = 0;
    if (!file.HasTitle(kShortcutsLayoutTitle) || !ReadLoadedRecord(file, &loaded))
        return -1;
    return loaded != 0 ? 1 : 0;
}
