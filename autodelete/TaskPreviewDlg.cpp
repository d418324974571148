#include "autodelete/TaskPreviewDlg.h"

#include "autodelete/AutoDeleteResource.h"

CTaskPreviewDlg::CTaskPreviewDlg(const TaskPreview& preview) : CDialog(IDD_TASK_PREVIEW), m_preview(preview) { }

std::string CTaskPreviewDlg::Summary(const TaskPreview& preview)
{
    const int days = preview.olderThanDays;
    const std::string age = days <= 0 ? std::string()
        : days == 1               ? std::string(" older than 1 day")
                                  : " older than " + std::to_string(days) + " days";
    if (preview.count == 0)
        return "No file" + age + " would be deleted now.";
    std::string text = preview.count == 1 ? "1 file" + age + " would be deleted now."
                                          : std::to_string(preview.count) + " files" + age + " would be deleted now.";
    if (preview.paths.size() < preview.count)
        text += " The first " + std::to_string(preview.paths.size()) + " are listed.";
    return text;
}

int CTaskPreviewDlg::OnInitDialog()
{
    SetItemText(IDC_PREVIEW_SUMMARY, Summary(m_preview).c_str());
    size_t longest = 0;
    for (const std::string& path : m_preview.paths) {
        SendItem(IDC_PREVIEW_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
        longest = path.size() > longest ? path.size() : longest;
    }
    // About one average character per byte of the longest path.
    SendItem(IDC_PREVIEW_LIST, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(longest * 7 + 8));
    return 1;
}
