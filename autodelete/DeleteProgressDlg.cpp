#include "autodelete/DeleteProgressDlg.h"

#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeletionEngine.h"
#include "files/DesktopDropWnd.h"  // DroppedPaths
#include "files/Win32WalkSystem.h"

CDeleteProgressDlg::CDeleteProgressDlg(HWND owner, HDROP drop) : CDeleteProgressDlg(owner, DroppedPaths(drop)) { }

CDeleteProgressDlg::CDeleteProgressDlg(HWND owner, std::vector<std::string> paths)
    : CProgressDlg(IDD_DELETE_PROGRESS, kStartTimerId, "Errors encountered during deletion!"), m_owner(owner),
      m_deletion(WalkSystem(), *this), m_paths(std::move(paths))
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
    return m_deletion.CountEntries(path);
}

int CDeleteProgressDlg::DeleteDropped(const std::string& path)
{
    return m_deletion.DeleteDropped(path);
}

bool CDeleteProgressDlg::Pump()
{
    PumpOneMessage();
    return IsCancelled();
}
