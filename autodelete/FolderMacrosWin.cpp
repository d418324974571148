// The folder macros' values on this machine.
#include "autodelete/FolderMacros.h"

#include "common/Utf8.h"
#include "framework/ScopedHandles.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kNavigatorKey[] = "Software\\Netscape\\Netscape Navigator\\Main";
constexpr DWORD kValueBytes = 259;

std::string WindowsFolder()
{
    char path[MAX_PATH] = "";
    const UINT n = GetWindowsDirectoryA(path, sizeof path);
    return n > 0 && n < sizeof path ? path : "";
}

std::string TempFolder()
{
    char path[MAX_PATH + 1] = "";
    const DWORD n = GetTempPathA(sizeof path, path);
    if (n == 0 || n >= sizeof path)
        return "";
    std::string folder = path;
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

// A text value of HKEY_CURRENT_USER\key, at most 259 bytes; empty if missing.
std::string UserValue(const char* key, const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "";
    ScopedKey scoped(opened);
    char data[kValueBytes + 1] = "";
    DWORD type = 0;
    DWORD size = kValueBytes;
    if (RegQueryValueExA(scoped.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    data[size < sizeof data ? size : kValueBytes] = '\0';
    return data;
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = "";
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

// The shell's cache folder; where the registry does not name it, the
// platform's own internet cache folder stands in.
std::string IeCacheFolder()
{
    const std::string cache = UserValue(kShellFoldersKey, "Cache");
    return cache.empty() ? ShellFolder(CSIDL_INTERNET_CACHE) : cache;
}

std::string NavigatorCacheFolder()
{
    std::string root = UserValue(kNavigatorKey, "Install Directory");
    if (root.empty())
        return "";
    const size_t slash = root.find_last_of('\\');
    if (slash != std::string::npos)
        root.resize(slash);
    const std::string users = FindFolderByName(root, "Users");
    if (users.empty())
        return FindFolderByName(root, "Cache");
    char logon[64] = "";
    DWORD size = sizeof logon;
    if (!GetUserNameA(logon, &size))
        return FindFolderByName(users, "Cache");
    const std::string home = FindFolderByName(users, logon);
    return home.empty() ? "" : FindFolderByName(home, "Cache");
}

std::string RecentFolder()
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_RECENT, &items)) || !items)
        return "";
    char path[MAX_PATH] = "";
    const BOOL found = SHGetPathFromIDListA(items, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
    return found ? path : "";
}

}  // namespace

std::string FolderMacroValue(int macro)
{
    switch (macro) {
    case kMacroWindows: return WindowsFolder();
    case kMacroWindowsTemp: return TempFolder();
    case kMacroWindowsDrive: {
        const std::string windows = WindowsFolder();
        const size_t slash = windows.find('\\');
        return slash == std::string::npos ? "" : windows.substr(0, slash);
    }
    case kMacroIeTemp: return IeCacheFolder();
    case kMacroNavigatorTemp: return NavigatorCacheFolder();
    case kMacroRecentFiles: return RecentFolder();
    }
    return "";
}

bool ExpandFolderMacros(std::string& text)
{
    return ExpandFolderMacrosWith(text, &FolderMacroValue);
}

std::string FindFolderByName(const std::string& root, const std::string& name)
{
    const std::string pattern = root + "\\*.*";
    if (pattern.size() >= MAX_PATH)
        return "";
    WIN32_FIND_DATAA data = {};
    ScopedFind find(FindFirstFileA(pattern.c_str(), &data));
    if (!find)
        return "";
    do {
        const DWORD attributes = data.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
            continue;
        const std::string path = root + "\\" + data.cFileName;
        if (EqualsNoCase(data.cFileName, name.c_str()))
            return path;
        const std::string below = FindFolderByName(path, name);
        if (!below.empty())
            return below;
    } while (FindNextFileA(find.Get(), &data));
    return "";
}
