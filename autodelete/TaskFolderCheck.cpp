#include "autodelete/TaskFolderCheck.h"

#include "common/Utf8.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Where the part after the root starts ("C:\" or "\\server\share\"), or
// npos when the folder has no such root. *isRoot: nothing follows the root.
size_t RootLength(const std::string& f, FolderProblem* problem)
{
    if (f.size() >= 3 && IsLetter(f[0]) && f[1] == ':' && IsSeparator(f[2]))
        return 3;
    if (f.size() >= 2 && IsSeparator(f[0]) && IsSeparator(f[1])) {
        if (f.size() >= 3 && (f[2] == '?' || f[2] == '.')) {
            *problem = FolderProblem::kDevicePath;
            return std::string::npos;
        }
        // \\server\share\: server and share must both be there.
        size_t server = f.find_first_of("\\/", 2);
        if (server == std::string::npos || server == 2)
            return std::string::npos;
        size_t share = f.find_first_of("\\/", server + 1);
        if (share == server + 1)
            return std::string::npos;
        if (share == std::string::npos) {
            *problem = FolderProblem::kRoot;
            return std::string::npos;
        }
        return share + 1;
    }
    if (f.size() >= 4 && IsSeparator(f[0]) && f[1] == '?' && f[2] == '?' && IsSeparator(f[3]))
        *problem = FolderProblem::kDevicePath;
    return std::string::npos;
}

// The components after the root: no ".", "..", no name ending in a dot or a
// space (the system drops those, so "C:\WINDOWS." is C:\WINDOWS).
FolderProblem CheckComponents(const std::string& f, size_t from)
{
    size_t start = from;
    while (start <= f.size()) {
        size_t end = f.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = f.size();
        const size_t length = end - start;
        if (length > 0) {
            const char last = f[end - 1];
            if (last == '.' || last == ' ')
                return FolderProblem::kBadComponent;
        }
        start = end + 1;
    }
    return FolderProblem::kNone;
}

bool HasOnlyRoot(const std::string& f, size_t root)
{
    return f.find_first_not_of("\\/", root) == std::string::npos;
}

}  // namespace

std::string ComparableFolder(const std::string& folder)
{
    std::string out;
    out.reserve(folder.size());
    const char* p = folder.data();
    const char* end = p + folder.size();
    while (p < end) {
        char32_t c = DecodeUtf8(&p, end);
        if (c == '/')
            c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\' && out.size() != 1)
            continue;
        AppendUtf8(out, FoldCase(c));
    }
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
        out.pop_back();
    return out;
}

FolderCheck CheckTaskFolder(const std::string& folder, const std::vector<ProtectedFolder>& protectedFolders,
                            bool missingMacro)
{
    FolderCheck check;
    if (missingMacro) {
        check.problem = FolderProblem::kMissingMacro;
        return check;
    }
    if (folder.find_first_not_of(" ") == std::string::npos) {
        check.problem = FolderProblem::kEmpty;
        return check;
    }
    for (char c : folder) {
        if (static_cast<unsigned char>(c) < 32) {
            check.problem = FolderProblem::kControlCharacter;
            return check;
        }
    }
    if (Utf16Length(folder) > kMaxTaskFolderChars) {
        check.problem = FolderProblem::kTooLong;
        return check;
    }
    FolderProblem rootProblem = FolderProblem::kRelative;
    const size_t root = RootLength(folder, &rootProblem);
    if (root == std::string::npos) {
        check.problem = rootProblem;
        return check;
    }
    if (folder.find_first_of("*?<>|\"", 0) != std::string::npos || folder.find(':', root) != std::string::npos) {
        check.problem = FolderProblem::kBadCharacter;
        return check;
    }
    if (HasOnlyRoot(folder, root)) {
        check.problem = FolderProblem::kRoot;
        return check;
    }
    check.problem = CheckComponents(folder, root);
    if (!check.Ok())
        return check;
    // The folder itself first, then the folders it holds, so that the
    // message names what the folder is before what lies below it.
    const std::string mine = ComparableFolder(folder);
    for (const ProtectedFolder& p : protectedFolders) {
        if (ComparableFolder(p.path) == mine) {
            check.problem = FolderProblem::kProtected;
            check.what = p.what;
            return check;
        }
    }
    for (const ProtectedFolder& p : protectedFolders) {
        const std::string theirs = ComparableFolder(p.path);
        if (theirs.size() > mine.size() && theirs.compare(0, mine.size(), mine) == 0 && theirs[mine.size()] == '\\') {
            check.problem = FolderProblem::kHoldsProtected;
            check.what = p.what;
            return check;
        }
    }
    return check;
}

std::string FolderProblemMessage(const FolderCheck& check)
{
    switch (check.problem) {
    case FolderProblem::kNone: return "";
    case FolderProblem::kEmpty: return "Please enter the folder to clean.";
    case FolderProblem::kMissingMacro:
        return "This folder cannot be found on this computer. Please choose another folder.";
    case FolderProblem::kControlCharacter: return "The folder cannot contain tabs or line breaks.";
    case FolderProblem::kTooLong: return "The folder is too long: at most 257 characters.";
    case FolderProblem::kRelative:
        return "Please enter the full path of the folder, with its drive (for example C:\\Temp).";
    case FolderProblem::kDevicePath: return "Device paths (\\\\?\\ or \\\\.\\) cannot be cleaned.";
    case FolderProblem::kBadCharacter:
        return "The folder cannot contain the characters * ? < > | \" or a second colon.";
    case FolderProblem::kBadComponent: return "The folder cannot contain . or .. or a name ending in a dot or a space.";
    case FolderProblem::kRoot: return "A whole drive cannot be cleaned. Please choose a folder on it.";
    case FolderProblem::kProtected: return "This folder is " + check.what + ". It cannot be cleaned.";
    case FolderProblem::kHoldsProtected: return "This folder holds " + check.what + ". It cannot be cleaned.";
    }
    return "";
}

std::string FileTypeProblem(const std::string& pattern)
{
    if (pattern.empty())
        return "Please type a file type, for example *.tmp.";
    for (char c : pattern) {
        if (static_cast<unsigned char>(c) < 32)
            return "A file type cannot contain tabs or line breaks.";
    }
    if (pattern == "#%#")
        return "#%# cannot be used as a file type.";
    if (Utf16Length(pattern) > 259)
        return "The file type is too long: at most 259 characters.";
    return "";
}

#ifdef _WIN32

namespace {

// The long form of an existing path, empty when the system gives none. The
// wide calls here: the ANSI forms fill at most MAX_PATH bytes.
std::string LongPath(const std::string& path)
{
    const std::wstring wide = Utf8ToWide(path.c_str());
    const DWORD needed = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0)
        return "";
    std::wstring longPath(needed, L'\0');
    const DWORD n = GetLongPathNameW(wide.c_str(), &longPath[0], needed);
    return n > 0 && n < needed ? WideToUtf8(longPath.c_str(), n) : "";
}

void AddProtected(std::vector<ProtectedFolder>& out, const std::string& path, const char* what)
{
    if (path.empty())
        return;
    out.push_back(ProtectedFolder{path, what});
    const std::string longPath = LongPath(path);
    if (!longPath.empty() && ComparableFolder(longPath) != ComparableFolder(path))
        out.push_back(ProtectedFolder{longPath, what});
}

// The folder GetWindowsDirectoryW or GetSystemDirectoryW gives.
std::string FolderGivenBy(UINT(WINAPI* call)(wchar_t*, UINT))
{
    wchar_t path[MAX_PATH] = L"";
    const UINT n = call(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? WideToUtf8(path, n) : "";
}

}  // namespace

std::vector<ProtectedFolder> ProtectedFoldersHere(const std::string& programFolder)
{
    std::vector<ProtectedFolder> folders;
    AddProtected(folders, FolderGivenBy(&GetWindowsDirectoryW), "the Windows folder");
    AddProtected(folders, FolderGivenBy(&GetSystemDirectoryW), "the Windows system folder");
    AddProtected(folders, programFolder, "the program's own folder");
    wchar_t profile[MAX_PATH] = L"";
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile)))
        AddProtected(folders, WideToUtf8(profile), "your profile folder");
    return folders;
}

FolderCheck CheckTaskFolderHere(const std::string& folder, const std::string& programFolder, bool missingMacro)
{
    const std::vector<ProtectedFolder> folders = ProtectedFoldersHere(programFolder);
    FolderCheck check = CheckTaskFolder(folder, folders, missingMacro);
    if (!check.Ok())
        return check;
    const std::string longPath = LongPath(folder);
    if (!longPath.empty())
        check = CheckTaskFolder(longPath, folders);
    return check;
}

#endif
