// CDeleteProgressDlg: "Deleting Files...", the modal dialog that deletes what
// was dropped on the File Shredder window: each dropped file, and each
// dropped folder with all it holds. It counts the entries first, then deletes
// them with the bar moving one step per entry, and lists every path that
// could not be deleted. A folder that is a link is never entered: dropped or
// met inside a dropped folder, it is listed as a failure and its target is
// left alone. A path too long for the system is a failure, never cut.
#pragma once

#include "autodelete/ProgressDlg.h"

#include <shellapi.h>

#include <string>
#include <vector>

class CDeleteProgressDlg : public CProgressDlg {
public:
    static constexpr UINT_PTR kStartTimerId = 333;

    // The paths of a drop, read whole from the handle (the caller finishes
    // the drop).
    CDeleteProgressDlg(HWND owner, HDROP drop);
    CDeleteProgressDlg(HWND owner, std::vector<std::string> paths);

    // Runs the dialog modally over the owner.
    INT_PTR Run();

    // 1 for a file (or anything that is no folder to enter), 1 plus its
    // entries for a folder; 0 once cancelled.
    unsigned long CountEntries(const std::string& path);
    // Deletes one path and what it holds; lists it if that fails.
    int DeleteDropped(const std::string& path);

protected:
    void RunWork() override;

private:
    unsigned long CountEntries(const std::string& path, DWORD attributes);
    int DeleteDropped(const std::string& path, DWORD attributes);
    // The folder's entries, then the folder; 0 if anything stays.
    int DeleteFolder(const std::string& folder);

    HWND m_owner;
    std::vector<std::string> m_paths;
};
