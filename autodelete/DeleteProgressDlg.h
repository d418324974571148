// CDeleteProgressDlg: "Deleting Files...", the modal dialog that deletes what
// was dropped on the File Shredder window. The deletion itself is
// CDropDeletion's; the dialog moves its bar one step per entry and lists
// every path that could not be deleted, with the reason.
#pragma once

#include "autodelete/DropDeletion.h"
#include "files/ProgressDlg.h"

#include <shellapi.h>

#include <string>
#include <vector>

class CDeleteProgressDlg : public CProgressDlg, private IDropDeletionProgress {
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
    bool Pump() override;
    void Step() override { StepProgress(); }
    void Failed(const std::string& text) override { AddFailure(text); }

    HWND m_owner;
    CDropDeletion m_deletion;
    std::vector<std::string> m_paths;
};
