#include "files/SafeWalker.h"

#include <utility>

CWalkItem::CWalkItem(CWalkItem&& other) noexcept
    : m_system(other.m_system), m_handle(std::exchange(other.m_handle, 0)), m_path(std::move(other.m_path)),
      m_info(other.m_info)
{
}

CWalkItem& CWalkItem::operator=(CWalkItem&& other) noexcept
{
    if (this != &other) {
        Close();
        m_system = other.m_system;
        m_handle = std::exchange(other.m_handle, 0);
        m_path = std::move(other.m_path);
        m_info = other.m_info;
    }
    return *this;
}

CWalkItem::~CWalkItem()
{
    Close();
}

void CWalkItem::Close()
{
    if (m_handle && m_system)
        m_system->Close(m_handle);
    m_handle = 0;
}

bool IsBadEntryName(const std::string& name)
{
    return name.empty() || name == "." || name == ".." || name.find_first_of("\\/:") != std::string::npos;
}

bool IsWholePath(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.' &&
        path[2] != '\\';
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

namespace {

// The path without the backslashes that end it (a root keeps its own): a
// link written "C:\T\Link\" is looked at as the link, not as where it leads.
std::string WithoutTrailingBackslash(std::string path)
{
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

WalkStatus Failed(WalkProblem problem, uint32_t error = 0)
{
    WalkStatus status;
    status.problem = problem;
    status.error = error;
    return status;
}

}  // namespace

WalkStatus CSafeWalker::Adopt(IWalkSystem::Handle handle, std::string path, CWalkItem& item, uint32_t error,
                              const WalkEntry* listed, uint32_t volume)
{
    item.Close();
    if (!handle)
        return Failed(WalkProblem::kSystem, error);
    item.m_system = &m_system;
    item.m_handle = handle;
    item.m_path = std::move(path);
    bool known = false;
    if (listed && !listed->info.IsFolder()) {
        // A file: the listing told the rest; its number tells whether the
        // handle holds that very file.
        item.m_info = listed->info;
        known = m_system.QueryIndex(handle, item.m_info.id.index, error);
    } else {
        known = m_system.Query(handle, item.m_info, !listed, error);
    }
    if (!known) {
        item.Close();
        return Failed(WalkProblem::kSystem, error);
    }
    if (listed)
        item.m_info.id.volume = volume;
    return {};
}

WalkStatus CSafeWalker::OpenFolder(const std::string& path, CWalkItem& folder)
{
    return Open(path, folder, true);
}

WalkStatus CSafeWalker::OpenPath(const std::string& path, CWalkItem& item)
{
    return Open(path, item, false);
}

WalkStatus CSafeWalker::Open(const std::string& path, CWalkItem& item, bool folderOnly)
{
    if (!IsWholePath(path))
        return Failed(WalkProblem::kNotWhole);
    const std::string bare = WithoutTrailingBackslash(path);
    uint32_t error = 0;
    const uint32_t attributes = m_system.PathAttributes(bare, error);
    if (attributes == kWalkNoAttributes)
        return Failed(WalkProblem::kSystem, error);
    const bool isFolder = (attributes & kWalkFolder) != 0;
    if ((isFolder || folderOnly) && (attributes & kWalkLink))
        return Failed(WalkProblem::kLink);
    if (folderOnly && !isFolder)
        return Failed(WalkProblem::kNotFolder);
    // The open first: the error it sets is an argument of the same call.
    const IWalkSystem::Handle handle = m_system.OpenPath(bare, m_access, isFolder, error);
    const WalkStatus status = Adopt(handle, bare, item, error);
    if (!status.Ok())
        return status;
    // Through the handle: what was opened is what was looked at.
    if (item.m_info.IsFolder() != isFolder || (isFolder && item.m_info.IsLink())) {
        const bool link = item.m_info.IsLink();
        item.Close();
        return Failed(folderOnly && link ? WalkProblem::kLink : WalkProblem::kChanged);
    }
    return {};
}

WalkStatus CSafeWalker::List(const CWalkItem& folder, std::vector<WalkEntry>& entries)
{
    entries.clear();
    if (!folder.IsOpen() || !folder.Info().IsFolder())
        return Failed(WalkProblem::kNotFolder);
    uint32_t error = 0;
    if (!m_system.List(folder.Handle(), entries, error)) {
        entries.clear();
        return Failed(WalkProblem::kSystem, error);
    }
    return {};
}

WalkStatus CSafeWalker::OpenEntry(const CWalkItem& folder, const WalkEntry& entry, CWalkItem& item, bool enterFolders)
{
    item.Close();
    if (entry.unreadable)
        return Failed(WalkProblem::kUnreadableName);
    if (IsBadEntryName(entry.name))
        return Failed(WalkProblem::kBadName);
    const bool isFolder = entry.info.IsFolder();
    if (isFolder && entry.info.IsLink() && enterFolders)
        return Failed(WalkProblem::kLink);
    uint32_t error = 0;
    const IWalkSystem::Handle handle = m_system.OpenChild(folder.Handle(), entry.exact, m_access, isFolder, error);
    const WalkStatus status =
        Adopt(handle, JoinPath(folder.Path(), entry.name), item, error, &entry, folder.Info().id.volume);
    if (!status.Ok())
        return status;
    // The listing and the handle must tell of one file: another number, the
    // other kind, or a link where there was none is something swapped in.
    const WalkInfo& got = item.m_info;
    const bool sameFile = !entry.info.id.Known() || !got.id.Known() || entry.info.id.index == got.id.index;
    const bool sameKind = got.IsFolder() == isFolder && (got.IsLink() == entry.info.IsLink() || !got.IsLink());
    if (!sameFile || !sameKind || (isFolder && got.IsLink() && enterFolders)) {
        item.Close();
        return Failed(WalkProblem::kChanged);
    }
    return {};
}

WalkStatus CSafeWalker::Remove(CWalkItem& item)
{
    if (!item.IsOpen())
        return Failed(WalkProblem::kSystem);
    uint32_t error = 0;
    const bool removed = m_system.Remove(item.Handle(), error);
    item.Close();
    return removed ? WalkStatus() : Failed(WalkProblem::kSystem, error);
}

WalkStatus CSafeWalker::RemoveFileEntry(const CWalkItem& folder, const WalkEntry& entry)
{
    if (entry.unreadable)
        return Failed(WalkProblem::kUnreadableName);
    if (IsBadEntryName(entry.name))
        return Failed(WalkProblem::kBadName);
    if (entry.info.IsFolder())
        return Failed(WalkProblem::kChanged);
    uint32_t error = 0;
    if (!m_system.RemoveChildFile(folder.Handle(), entry.exact, error))
        return Failed(WalkProblem::kSystem, error);
    return {};
}

std::string CSafeWalker::Reason(const WalkStatus& status)
{
    switch (status.problem) {
    case WalkProblem::kNone: return "";
    case WalkProblem::kSystem: return m_system.ErrorText(status.error);
    case WalkProblem::kLink: return "It is a link to another folder.";
    case WalkProblem::kNotFolder: return "It is not a folder.";
    case WalkProblem::kChanged: return "It changed while it was being looked at.";
    case WalkProblem::kBadName: return "Its name cannot be a file name.";
    case WalkProblem::kUnreadableName: return "Its name is not valid Unicode.";
    case WalkProblem::kNotWhole: return "It is not a whole path of a drive or a share.";
    }
    return "";
}
