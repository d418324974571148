#include "files/TaskFolderCheck.h"

#include "common/ListFileReader.h"
#include "common/Utf8.h"

#include <cstring>

#ifdef _WIN32
#include "files/Win32WalkSystem.h"  // FinalPathOf
#include "framework/ScopedHandles.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
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

// '/' as '\', repeated backslashes as one (the two of a \\server prefix
// kept), no trailing backslash but a drive root's.
std::string TidyFolder(const std::string& folder)
{
    std::string out;
    out.reserve(folder.size());
    for (char c : folder) {
        if (c == '/')
            c = '\\';
        if (c == '\\' && !out.empty() && out.back() == '\\' && out.size() != 1)
            continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
        out.pop_back();
    return out;
}

// The protected folders, the folder itself first, then the folders it holds,
// so that the message names what the folder is before what lies below it.
template <typename IsIt, typename Holds>
FolderCheck CompareWithProtected(const std::vector<ProtectedFolder>& protectedFolders, IsIt isIt, Holds holds)
{
    FolderCheck check;
    for (const ProtectedFolder& p : protectedFolders) {
        if (isIt(p)) {
            check.problem = FolderProblem::kProtected;
            check.what = p.what;
            return check;
        }
    }
    for (const ProtectedFolder& p : protectedFolders) {
        if (holds(p)) {
            check.problem = FolderProblem::kHoldsProtected;
            check.what = p.what;
            return check;
        }
    }
    return check;
}

}  // namespace

std::string ComparableFolder(const std::string& folder)
{
    const std::string tidy = TidyFolder(folder);
    std::string out;
    out.reserve(tidy.size());
    const char* p = tidy.data();
    const char* end = p + tidy.size();
    while (p < end)
        AppendUtf8(out, FoldCase(DecodeUtf8(&p, end)));
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
    const std::string mine = ComparableFolder(folder);
    return CompareWithProtected(
        protectedFolders, [&](const ProtectedFolder& p) { return ComparableFolder(p.path) == mine; },
        [&](const ProtectedFolder& p) {
            const std::string theirs = ComparableFolder(p.path);
            return theirs.size() > mine.size() && theirs.compare(0, mine.size(), mine) == 0 &&
                theirs[mine.size()] == '\\';
        });
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
    case FolderProblem::kLink: return "This folder is a link to another folder. It cannot be cleaned.";
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
    if (pattern == kListEndMark)
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

namespace {

// A drive root or a share's root, and nothing after it.
bool IsRootOnly(const std::string& tidy)
{
    FolderProblem problem = FolderProblem::kNone;
    const size_t root = RootLength(tidy, &problem);
    return root == std::string::npos ? problem == FolderProblem::kRoot : HasOnlyRoot(tidy, root);
}

// The folder above a tidy full path, or empty at its root.
std::string ParentFolder(const std::string& tidy)
{
    FolderProblem problem = FolderProblem::kNone;
    const size_t root = RootLength(tidy, &problem);
    if (root == std::string::npos || tidy.size() <= root)
        return "";
    const size_t last = tidy.find_last_of('\\');
    return last < root ? tidy.substr(0, root) : tidy.substr(0, last);
}

// The "\\?\" form of a tidy full path: the system takes each name as it
// stands, without the rules that drop a trailing dot or space.
std::wstring ExactForm(const std::string& tidy)
{
    if (tidy.size() >= 3 && tidy[1] == ':')
        return L"\\\\?\\" + Utf8ToWide(tidy);
    if (tidy.compare(0, 2, "\\\\") == 0)
        return L"\\\\?\\UNC\\" + Utf8ToWide(tidy.substr(2));
    return Utf8ToWide(tidy);
}

struct OpenedFolder {
    bool opened = false;
    std::string finalPath;  // empty when the system names none
    FileIdentity identity;
};

// Opens the path through every link in it, on purpose: what counts is where
// it leads.
OpenedFolder OpenFolder(const std::string& tidy)
{
    OpenedFolder result;
    ScopedHandle handle(CreateFileW(ExactForm(tidy).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle)
        return result;
    result.opened = true;
    result.finalPath = TidyFolder(FinalPathOf(handle.Get()));
    BY_HANDLE_FILE_INFORMATION info = {};
    // An index of 0 is no identity (some file systems give none).
    if (GetFileInformationByHandle(handle.Get(), &info)) {
        result.identity.volume = info.dwVolumeSerialNumber;
        result.identity.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    return result;
}

// final followed by the rest of a path (empty, or starting with a backslash).
std::string Joined(const std::string& final, const std::string& rest)
{
    return TidyFolder(final + (rest.empty() || rest[0] == '\\' ? "" : "\\") + rest);
}

void AddIdentity(std::vector<FileIdentity>& list, const FileIdentity& identity)
{
    if (identity.Known() && std::find(list.begin(), list.end(), identity) == list.end())
        list.push_back(identity);
}

// The folder's final path and identity, checked like the text: the folder
// itself is a link, the folder is a protected one or holds one, the folder
// is a drive or share root.
FolderCheck CheckOnDisk(const std::string& folder, const std::vector<ProtectedFolder>& protectedFolders)
{
    FolderCheck check;
    if (IsLinkItself(folder)) {
        check.problem = FolderProblem::kLink;
        return check;
    }
    const FolderOnDisk mine = LookUpFolder(folder);
    std::vector<FolderOnDisk> theirs;
    for (const ProtectedFolder& p : protectedFolders)
        theirs.push_back(LookUpFolder(p.path));
    auto at = [&](const ProtectedFolder& p) -> const FolderOnDisk& { return theirs[&p - protectedFolders.data()]; };
    check = CompareWithProtected(
        protectedFolders, [&](const ProtectedFolder& p) { return IsSameFolder(mine, at(p)); },
        [&](const ProtectedFolder& p) { return HoldsFolder(mine, at(p)); });
    if (check.Ok() && !mine.finalPath.empty() && IsRootOnly(mine.finalPath))
        check.problem = FolderProblem::kRoot;
    return check;
}

}  // namespace

FolderOnDisk LookUpFolder(const std::string& folder)
{
    FolderOnDisk result;
    const std::string tidy = TidyFolder(folder);
    std::string nearest;  // the final path of the nearest folder that opened
    for (std::string at = tidy; !at.empty(); at = ParentFolder(at)) {
        const OpenedFolder opened = OpenFolder(at);
        if (!opened.opened)
            continue;
        if (nearest.empty()) {
            nearest = opened.finalPath.empty() ? at : opened.finalPath;
            result.finalPath = Joined(nearest, tidy.substr(at.size()));
            if (at == tidy) {
                result.exists = true;
                result.identity = opened.identity;
                continue;
            }
        }
        AddIdentity(result.above, opened.identity);
    }
    // The path as written may reach the folder through links: the folders
    // above where it leads hold it too.
    for (std::string at = ParentFolder(nearest); !at.empty(); at = ParentFolder(at))
        AddIdentity(result.above, OpenFolder(at).identity);
    return result;
}

namespace {

// Two identities name one folder when their indexes agree and so do their
// volumes, or when one of the volumes gives no serial number (0): such a
// volume cannot be told from another by it (a drive letter that only leads
// into another drive's folder can give none), and refusing a folder that
// need not be refused is safer than letting a protected one through.
bool SameFolderIdentity(const FileIdentity& a, const FileIdentity& b)
{
    return a.Known() && a.index == b.index && (a.volume == b.volume || a.volume == 0 || b.volume == 0);
}

}  // namespace

bool IsSameFolder(const FolderOnDisk& a, const FolderOnDisk& b)
{
    if (a.exists && b.exists && SameFolderIdentity(a.identity, b.identity))
        return true;
    return !a.finalPath.empty() && ComparableFolder(a.finalPath) == ComparableFolder(b.finalPath);
}

bool HoldsFolder(const FolderOnDisk& outer, const FolderOnDisk& inner)
{
    if (IsSameFolder(outer, inner))
        return false;
    if (outer.exists && std::any_of(inner.above.begin(), inner.above.end(), [&](const FileIdentity& above) {
            return SameFolderIdentity(outer.identity, above);
        }))
        return true;
    if (outer.finalPath.empty() || inner.finalPath.empty())
        return false;
    const std::string o = ComparableFolder(outer.finalPath);
    const std::string i = ComparableFolder(inner.finalPath);
    return i.size() > o.size() && i.compare(0, o.size(), o) == 0 && (i[o.size()] == '\\' || o.back() == '\\');
}

bool IsLinkItself(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(ExactForm(TidyFolder(path)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
    return check.Ok() ? CheckOnDisk(folder, folders) : check;
}

#endif
