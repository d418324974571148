#include "autodelete/DropDeletion.h"

CDropDeletion::CDropDeletion(IWalkSystem& system, IDropDeletionProgress& progress)
    : m_counter(system, IWalkSystem::Access::kRead), m_deleter(system, IWalkSystem::Access::kDelete),
      m_progress(progress)
{
}

unsigned long CDropDeletion::CountEntries(const std::string& path)
{
    if (m_progress.Pump())
        return 0;
    CWalkItem item;
    if (!m_counter.OpenPath(path, item).Ok() || !item.Info().IsFolder())
        return 1;
    return CountFolder(item);
}

unsigned long CDropDeletion::CountFolder(const CWalkItem& folder)
{
    unsigned long count = 1;
    std::vector<WalkEntry> entries;
    if (!m_counter.List(folder, entries).Ok())
        return count;
    for (const WalkEntry& entry : entries) {
        if (m_progress.Pump())
            return 0;
        CWalkItem sub;
        if (entry.info.IsFolder() && !entry.info.IsLink() && m_counter.OpenEntry(folder, entry, sub).Ok())
            count += CountFolder(sub);
        else
            count++;
    }
    return count;
}

void CDropDeletion::Fail(const std::string& path, const WalkStatus& status)
{
    m_progress.Failed(path + " (" + m_deleter.Reason(status) + ")");
}

int CDropDeletion::DeleteDropped(const std::string& path)
{
    if (m_progress.Pump())
        return 0;
    CWalkItem item;
    const WalkStatus status = m_deleter.OpenPath(path, item);
    if (!status.Ok()) {
        Fail(path, status);
        m_progress.Step();
        return 0;
    }
    return DeleteItem(item);
}

int CDropDeletion::DeleteItem(CWalkItem& item)
{
    const std::string path = item.Path();
    int result = 0;
    if (item.Info().IsFolder()) {
        result = DeleteFolder(item);
    } else {
        const WalkStatus status = m_deleter.Remove(item);
        result = status.Ok() ? 1 : 0;
        if (!status.Ok())
            Fail(path, status);
    }
    if (m_progress.Pump())
        return result;
    m_progress.Step();
    return result;
}

int CDropDeletion::DeleteFolder(CWalkItem& folder)
{
    std::vector<WalkEntry> entries;
    WalkStatus status = m_deleter.List(folder, entries);
    if (!status.Ok()) {
        Fail(folder.Path(), status);
        return 0;
    }
    bool allGone = true;
    for (const WalkEntry& entry : entries) {
        if (m_progress.Pump())
            return 0;
        CWalkItem item;
        status = entry.info.IsFolder() ? m_deleter.OpenEntry(folder, entry, item)
                                       : m_deleter.RemoveFileEntry(folder, entry);
        if (status.Ok() && !item.IsOpen()) {
            m_progress.Step();  // a file, gone
        } else if (!status.Ok()) {
            Fail(JoinPath(folder.Path(), entry.name), status);
            m_progress.Step();
            allGone = false;
        } else if (!DeleteItem(item)) {
            allGone = false;
        }
    }
    const std::string path = folder.Path();
    if (m_progress.Pump())
        return 0;
    if (!allGone) {
        m_progress.Failed(path + " (It still holds what could not be deleted.)");
        return 0;
    }
    status = m_deleter.Remove(folder);
    if (!status.Ok())
        Fail(path, status);
    return status.Ok() ? 1 : 0;
}
