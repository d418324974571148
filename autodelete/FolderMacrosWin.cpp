// The folder macros' values on this machine.
#include "autodelete/FolderMacros.h"

#include "common/Utf8.h"
#include "framework/ScopedHandles.h"

#include <windows.h>
#include <lmcons.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>

namespace {

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kNavigatorKey[] = "Software\\Netscape\\Netscape Navigator\\Main";
constexpr DWORD kValueChars = 259;

// The wide calls throughout: the folders are the user's and may be named in
// any script, and the ANSI forms fill at most MAX_PATH bytes, too few for a
// path in UTF-8.
std::string WindowsFolder()
{
    wchar_t path[MAX_PATH] = L"";
    const UINT n = GetWindowsDirectoryW(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? WideToUtf8(path, n) : "";
}

std::string TempFolder()
{
    wchar_t path[MAX_PATH + 1] = L"";
    const DWORD n = GetTempPathW(MAX_PATH + 1, path);
    if (n == 0 || n > MAX_PATH)
        return "";
    std::string folder = WideToUtf8(path, n);
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

// A text value of HKEY_CURRENT_USER\key, at most 259 characters; empty if missing.
std::string UserValue(const char* key, const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return "";
    ScopedKey scoped(opened);
    wchar_t data[kValueChars + 1] = L"";
    DWORD type = 0;
    DWORD size = kValueChars * sizeof(wchar_t);
    const std::wstring wideName = Utf8ToWide(name);
    if (RegQueryValueExW(scoped.Get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    data[size / sizeof(wchar_t) <= kValueChars ? size / sizeof(wchar_t) : kValueChars] = L'\0';
    return WideToUtf8(data);
}

std::string ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = L"";
    return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? WideToUtf8(path) : "";
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
    wchar_t logon[UNLEN + 1] = L"";
    DWORD size = UNLEN + 1;
    if (!GetUserNameW(logon, &size))
        return FindFolderByName(users, "Cache");
    const std::string home = FindFolderByName(users, WideToUtf8(logon));
    return home.empty() ? "" : FindFolderByName(home, "Cache");
}

std::string RecentFolder()
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_RECENT, &items)) || !items)
        return "";
    wchar_t path[MAX_PATH] = L"";
    const BOOL found = SHGetPathFromIDListW(items, path);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    }
    return found ? WideToUtf8(path) : "";
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
    if (Utf16Length(pattern) >= MAX_PATH)
        return "";
    WIN32_FIND_DATAW data = {};
    ScopedFind find(FindFirstFileW(Utf8ToWide(pattern.c_str()).c_str(), &data));
    if (!find)
        return "";
    do {
        const DWORD attributes = data.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0)
            continue;
        const std::string found = WideToUtf8(data.cFileName);
        const std::string path = root + "\\" + found;
        if (EqualsNoCase(found, name))
            return path;
        const std::string below = FindFolderByName(path, name);
        if (!below.empty())
            return below;
    } while (FindNextFileW(find.Get(), &data));
    return "";
}
