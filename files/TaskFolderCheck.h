// Which folders a deletion task may clean. A task deletes without asking, so
// a folder is refused when its text could name more than the user meant (a
// relative path, a device path, a drive root) or when it is, or holds, a
// folder the system or this program lives in: the Windows folder, the
// program folder, the user's profile. The editor refuses such a folder with
// the message below; the engine never runs a task on one.
#pragma once

#include "files/WalkSystem.h"  // FileIdentity

#include <string>
#include <vector>

enum class FolderProblem {
    kNone,
    kEmpty,
    kMissingMacro,  // a folder macro had no value on this machine
    kControlCharacter,  // a TAB would split the record, a line end would end it
    kTooLong,
    kRelative,  // no drive letter and backslash, no \\server\share
    kDevicePath,  // \\?\ or \\.\ paths
    kBadCharacter,  // wildcards, a stream colon, <>|"
    kBadComponent,  // "." or "..", or a name ending in a dot or a space
    kRoot,  // a drive root or a share's root
    kProtected,  // one of the protected folders
    kHoldsProtected,  // a folder that holds one of them
    kLink,  // the folder itself is a link (a junction, a symbolic link)
};

// A folder no task may clean, nor any folder above it.
struct ProtectedFolder {
    std::string path;
    std::string what;  // e.g. "the Windows folder", for the message
};

struct FolderCheck {
    FolderProblem problem = FolderProblem::kNone;
    std::string what;  // the protected folder's description, for kProtected/kHoldsProtected
    bool Ok() const { return problem == FolderProblem::kNone; }
};

// The longest folder a task may name: the system's path limit less room for
// "\" and a file name of one character.
constexpr size_t kMaxTaskFolderChars = 257;

FolderCheck CheckTaskFolder(const std::string& folder, const std::vector<ProtectedFolder>& protectedFolders,
                            bool missingMacro = false);
// The text the editor shows for a refused folder.
std::string FolderProblemMessage(const FolderCheck& check);
// The folder as the checks compare it: '/' as '\', repeated backslashes as
// one (the two of a \\server prefix kept), no trailing backslash, letters of
// every script in upper case (FoldCase).
std::string ComparableFolder(const std::string& folder);

// Why a file-type pattern cannot be stored (empty, a TAB or line end that
// would break its record, the end mark "#%#", longer than a file name), or
// an empty text when it can.
std::string FileTypeProblem(const std::string& pattern);

#ifdef _WIN32
// The protected folders of this machine and program: the Windows folder, the
// system folder, the program folder, the user's profile, each also in its
// long form.
std::vector<ProtectedFolder> ProtectedFoldersHere(const std::string& programFolder);
// CheckTaskFolder against them, then against what the folder is on the disk:
// a folder that is itself a link is refused, and the folder is compared with
// the protected ones by where it leads and by identity (see LookUpFolder), so
// that no spelling reaches them: a short name, another letter case, a link
// in a folder above, a substituted drive.
FolderCheck CheckTaskFolderHere(const std::string& folder, const std::string& programFolder, bool missingMacro = false);

// A full folder path as the file system resolves it, links followed.
struct FolderOnDisk {
    // Where the folder leads (the system's final path, without "\\?\"), or,
    // when it does not exist yet, where the nearest folder above it that does
    // leads followed by the rest as written; empty when nothing of it opens.
    std::string finalPath;
    bool exists = false;
    FileIdentity identity;  // the folder's own, when it exists
    // Every existing folder above it, found both through the path as written
    // and through the final path.
    std::vector<FileIdentity> above;
};
// folder: a full path without "." or ".." (as the text checks leave it).
FolderOnDisk LookUpFolder(const std::string& folder);
// The two are one folder: the same identity or the same final path.
bool IsSameFolder(const FolderOnDisk& a, const FolderOnDisk& b);
// outer lies above inner (and is not inner).
bool HoldsFolder(const FolderOnDisk& outer, const FolderOnDisk& inner);
// The path itself (taken without trailing backslashes, which would make the
// system look through it) is a link or another reparse point.
bool IsLinkItself(const std::string& path);
#endif
