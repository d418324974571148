// The one walker that deletion and backup reach files through. It opens each
// folder as a handle without following a link, checks through that handle
// that it is a folder and no link, and keeps it open (without delete sharing)
// while its entries are dealt with, so that it cannot be renamed or swapped
// halfway. Each entry is opened relative to its folder's handle, never
// following a link, and compared with what the listing said (the same file
// number, the same kind): a file swapped in between is refused, not followed.
// A name that holds a separator, or is "." or "..", is never joined to a
// path; names ending in a dot or a blank and paths of any length are reached
// exactly. What to do with an entry is the caller's choice; every refusal
// comes with its reason.
#pragma once

#include "files/WalkSystem.h"

#include <string>
#include <vector>

enum class WalkProblem {
    kNone,
    kSystem,  // the system refused; the error says why
    kLink,  // a link (junction, symbolic link, mount point) where a folder was to be entered
    kNotFolder,
    kChanged,  // not what the listing showed: swapped or changed meanwhile
    kBadName,  // a separator in the name, or "." or ".."
    kUnreadableName,  // half of a UTF-16 pair
    kNotWhole,  // not a whole path of a drive or a share (relative, "\\?\", "\\.\")
};

struct WalkStatus {
    WalkProblem problem = WalkProblem::kNone;
    uint32_t error = 0;  // for kSystem
    bool Ok() const { return problem == WalkProblem::kNone; }
};

class CSafeWalker;

// An open file or folder the walker reached, with its path for messages and
// for the calls that only take a path. Closes its handle when it goes.
class CWalkItem {
public:
    CWalkItem() = default;
    CWalkItem(const CWalkItem&) = delete;
    CWalkItem& operator=(const CWalkItem&) = delete;
    CWalkItem(CWalkItem&& other) noexcept;
    CWalkItem& operator=(CWalkItem&& other) noexcept;
    ~CWalkItem();

    bool IsOpen() const { return m_handle != 0; }
    IWalkSystem::Handle Handle() const { return m_handle; }
    const std::string& Path() const { return m_path; }
    const WalkInfo& Info() const { return m_info; }
    void Close();

private:
    friend class CSafeWalker;
    IWalkSystem* m_system = nullptr;
    IWalkSystem::Handle m_handle = 0;
    std::string m_path;
    WalkInfo m_info;
};

class CSafeWalker {
public:
    CSafeWalker(IWalkSystem& system, IWalkSystem::Access access) : m_system(system), m_access(access) { }

    // Opens the folder a whole path names: refused when it is a link (also
    // when written with a trailing backslash) or no folder.
    WalkStatus OpenFolder(const std::string& path, CWalkItem& folder);
    // Opens a file or folder a whole path names (a dropped item), never where
    // a link leads.
    WalkStatus OpenPath(const std::string& path, CWalkItem& item);
    // The entries of an open folder.
    WalkStatus List(const CWalkItem& folder, std::vector<WalkEntry>& entries);
    // Opens an entry of folder as listed. A folder entry that is a link is
    // refused (kLink) when enterFolders is true; a link that is a file is
    // opened as the link itself.
    WalkStatus OpenEntry(const CWalkItem& folder, const WalkEntry& entry, CWalkItem& item, bool enterFolders = true);
    // Deletes what item holds and closes it.
    WalkStatus Remove(CWalkItem& item);
    // Deletes a file entry of folder as listed, in one open relative to the
    // folder's handle that never follows a link and takes no folder: held
    // open, the folder cannot be swapped, and a file swapped in under the
    // listed name in it is as much the task's as the one listed.
    WalkStatus RemoveFileEntry(const CWalkItem& folder, const WalkEntry& entry);
    // The reason a status gives, in words, for a log line or a failure list.
    std::string Reason(const WalkStatus& status);

    IWalkSystem& System() { return m_system; }

private:
    // OpenFolder (folderOnly) and OpenPath.
    WalkStatus Open(const std::string& path, CWalkItem& item, bool folderOnly);
    // Takes handle into item and looks at it: a path's handle in full, with
    // its volume; an entry's (listed) as cheaply as it can be told from
    // another file, and on its folder's volume.
    WalkStatus Adopt(IWalkSystem::Handle handle, std::string path, CWalkItem& item, uint32_t error,
                     const WalkEntry* listed = nullptr, uint32_t volume = 0);

    IWalkSystem& m_system;
    IWalkSystem::Access m_access;
};

// A name the walker never joins to a path: empty, "." or "..", or holding a
// separator or a stream's colon.
bool IsBadEntryName(const std::string& name);
// A whole path from a drive ("C:\...") or a share ("\\server\share..."),
// and no device path ("\\?\", "\\.\"), which could reach anything.
bool IsWholePath(const std::string& path);
// folder + "\" + name, without doubling a folder's trailing backslash.
std::string JoinPath(const std::string& folder, const std::string& name);
