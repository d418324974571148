#include "autodelete/DeleteProgressDlg.h"

#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeletionEngine.h"

namespace {

DWORD AttributesOf(const std::string& path)
{
    return FitsPath(path) ? GetFileAttributesW(ExactPath(path).c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool IsFolderToEnter(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !IsLinkedFolder(attributes);
}

}  // namespace

CDeleteProgressDlg::CDeleteProgressDlg(HWND owner, HDROP drop) : CDeleteProgressDlg(owner, DroppedPaths(drop)) { }

CDeleteProgressDlg::CDeleteProgressDlg(HWND owner, std::vector<std::string> paths)
    : CProgressDlg(IDD_DELETE_PROGRESS, kStartTimerId, "Errors encountered during deletion!"), m_owner(owner),
      m_paths(std::move(paths))
{
}

INT_PTR CDeleteProgressDlg::Run()
{
    return DoModal(m_owner);
}

void CDeleteProgressDlg::RunWork()
{
    ClearCancelled();
    SetStatus("Preparing to delete files...");
    unsigned long total = 0;
    for (const std::string& path : m_paths)
        total += CountEntries(path);
    if (IsCancelled())
        return;
    SetProgressRange(total);
    SetStatus("Deleting files...");
    for (const std::string& path : m_paths)
        DeleteDropped(path);
}

unsigned long CDeleteProgressDlg::CountEntries(const std::string& path)
{
    return CountEntries(path, AttributesOf(path));
}

unsigned long CDeleteProgressDlg::CountEntries(const std::string& path, DWORD attributes)
{
    PumpOneMessage();
    if (IsCancelled())
        return 0;
    if (!IsFolderToEnter(attributes))
        return 1;
    std::vector<FolderEntry> entries;
    unsigned long count = 1;
    if (!ListFolder(path, entries))
        return count;
    for (const FolderEntry& entry : entries) {
        if (IsCancelled())
            break;
        count += CountEntries(path + "\\" + entry.name, entry.attributes);
    }
    return count;
}

int CDeleteProgressDlg::DeleteDropped(const std::string& path)
{
    return DeleteDropped(path, AttributesOf(path));
}

int CDeleteProgressDlg::DeleteDropped(const std::string& path, DWORD attributes)
{
    PumpOneMessage();
    if (IsCancelled())
        return 0;
    int result = 0;
    if (!FitsPath(path) || attributes == INVALID_FILE_ATTRIBUTES || IsLinkedFolder(attributes))
        result = 0;
    else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        result = DeleteFolder(path);
    else
        result = RemoveFile(path);
    if (IsCancelled())
        return result;
    if (!result)
        AddFailure(path);
    StepProgress();
    return result;
}

int CDeleteProgressDlg::DeleteFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return 0;
    bool allGone = true;
    for (const FolderEntry& entry : entries) {
        if (IsCancelled())
            return 0;
        if (entry.unreadable) {
            AddFailure(folder + "\\" + entry.name + " (its name is not valid Unicode)");
            allGone = false;
        } else if (!DeleteDropped(folder + "\\" + entry.name, entry.attributes)) {
            allGone = false;
        }
    }
    if (IsCancelled() || !allGone)
        return 0;
    return RemoveDirectoryW(ExactPath(folder).c_str()) ? 1 : 0;
}
