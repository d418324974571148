// CTaskPreviewDlg: "Preview", the files a deletion task would delete now:
// their number and the first few hundred paths.
#pragma once

#include "autodelete/DeletionEngine.h"
#include "framework/Dialog.h"

#include <string>

class CTaskPreviewDlg : public CDialog {
public:
    explicit CTaskPreviewDlg(const TaskPreview& preview);
    // "3 files would be deleted now." ("3 files older than 7 days ..." for a
    // task with an age) and, when not all are listed, how many are.
    static std::string Summary(const TaskPreview& preview);

protected:
    int OnInitDialog() override;

private:
    const TaskPreview& m_preview;
};
