#include "autodelete/DeletionTaskDlg.h"

#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeletionEngine.h"
#include "autodelete/DeletionTaskList.h"
#include "autodelete/FolderMacros.h"
#include "files/TaskFolderCheck.h"
#include "autodelete/TaskPreviewDlg.h"
#include "framework/CommonDialogs.h"

namespace {

const CFileTypeListEditor::Controls kTypeControls = {IDC_TASK_TYPE, IDC_TASK_TYPES, IDC_TASK_ADD, IDC_TASK_REPLACE,
                                                     IDC_TASK_DELETE};

}  // namespace

CDeletionTaskDlg::CDeletionTaskDlg(HWND parent, DeletionTask& task, const std::string& programFolder)
    : CDialog(IDD_DELETION_TASK), m_parent(parent), m_task(task), m_programFolder(programFolder),
      m_common(CDeletionTaskList::LoadCommonFolders(programFolder + "\\AutoDeleteCommon.txt", &ExpandFolderMacros)),
      m_types(*this, kTypeControls), m_messageBox(&SystemMessageBox)
{
}

void CDeletionTaskDlg::SetMessageBox(MessageBoxFn messageBox)
{
    m_messageBox = messageBox;
    m_types.SetMessageBox(messageBox);
}

bool CDeletionTaskDlg::ConfirmRemoval(HWND owner, MessageBoxFn messageBox)
{
    return messageBox(owner, "Are you sure you want to delete this task?", "Confirm",
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

int CDeletionTaskDlg::OnInitDialog()
{
    SendItem(IDC_TASK_COMMON, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kCommonFoldersItem));
    for (const DeletionTask& common : m_common)
        SendItem(IDC_TASK_COMMON, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(common.name.c_str()));
    SendItem(IDC_TASK_COMMON, CB_SETCURSEL, 0);
    ShowTask(m_task);
    SetText(m_task.folder.empty() ? "Add Automated Deletion Task" : "Edit Automated Deletion Task");
    return 1;
}

void CDeletionTaskDlg::ShowTask(const DeletionTask& task)
{
    SetItemText(IDC_TASK_FOLDER, task.folder.c_str());
    CheckItem(IDC_TASK_SUBFOLDERS, task.includeSubfolders != 0);
    CheckItem(IDC_TASK_EXCLUDE, task.excludeFileTypes != 0);
    CheckItem(IDC_TASK_DELETE_EMPTY, task.deleteEmptySubfolders != 0);
    SetItemText(IDC_TASK_AGE, task.olderThanDays > 0 ? std::to_string(task.olderThanDays).c_str() : "");
    m_types.Fill(task.fileTypes);
}

DeletionTask CDeletionTaskDlg::TaskFromControls() const
{
    DeletionTask task;
    task.folder = GetItemText(IDC_TASK_FOLDER);
    task.includeSubfolders = IsItemChecked(IDC_TASK_SUBFOLDERS) ? 1 : 0;
    task.excludeFileTypes = IsItemChecked(IDC_TASK_EXCLUDE) ? 1 : 0;
    task.deleteEmptySubfolders = IsItemChecked(IDC_TASK_DELETE_EMPTY) ? 1 : 0;
    task.fileTypes = m_types.Patterns();
    ParseTaskAge(GetItemText(IDC_TASK_AGE), task.olderThanDays);
    return task;
}

bool CDeletionTaskDlg::AgeAccepted()
{
    static_assert(kMaxTaskAgeDays == 36500, "the message names the greatest age");
    int days = 0;
    if (ParseTaskAge(GetItemText(IDC_TASK_AGE), days))
        return true;
    m_messageBox(GetHwnd(), kAgeText, "Notice", MB_OK | MB_ICONINFORMATION);
    SetFocus(GetDlgItem(GetHwnd(), IDC_TASK_AGE));
    return false;
}

int CDeletionTaskDlg::OnCommand(UINT id, UINT code, HWND control)
{
    if (m_types.OnCommand(id, code))
        return 1;
    if (id == IDC_TASK_FOLDER && code == EN_CHANGE) {
        m_missingMacro = false;  // the user's own text now
        return 1;
    }
    if (id == IDC_TASK_COMMON && code == CBN_SELCHANGE) {
        OnCommonFolderChosen();
        return 1;
    }
    if (id == IDC_TASK_SELECT && code == BN_CLICKED) {
        OnSelectFolder();
        return 1;
    }
    if (id == IDC_TASK_PREVIEW && code == BN_CLICKED) {
        OnPreview();
        return 1;
    }
    return CDialog::OnCommand(id, code, control);
}

void CDeletionTaskDlg::OnCommonFolderChosen()
{
    const LRESULT selected = SendItem(IDC_TASK_COMMON, CB_GETCURSEL);
    if (selected <= 0)
        return;
    const LRESULT length = SendItem(IDC_TASK_COMMON, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected));
    std::string name(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    SendItem(IDC_TASK_COMMON, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&name[0]));
    name.resize(name.find('\0'));
    for (const DeletionTask& common : m_common) {
        if (common.name != name)
            continue;
        ShowTask(common);
        m_missingMacro = common.missingMacro;  // after the folder field's change
        if (common.missingMacro)
            FolderAccepted(common.folder, true);
        return;
    }
}

void CDeletionTaskDlg::OnSelectFolder()
{
    std::string path;
    if (BrowseForFolder(GetHwnd(), "Select a folder for cleaning", path) && !path.empty())
        SetItemText(IDC_TASK_FOLDER, path.c_str());
}

bool CDeletionTaskDlg::FolderAccepted(const std::string& folder, bool missingMacro)
{
    const FolderCheck check = CheckTaskFolderHere(folder, m_programFolder, missingMacro);
    if (check.Ok())
        return true;
    m_messageBox(GetHwnd(), FolderProblemMessage(check).c_str(), "Error", MB_OK | MB_ICONWARNING);
    return false;
}

void CDeletionTaskDlg::OnPreview()
{
    const DeletionTask task = TaskFromControls();
    if (!FolderAccepted(task.folder, m_missingMacro) || !AgeAccepted())
        return;
    const TaskPreview preview = PreviewTask(task);
    CTaskPreviewDlg dialog(preview);
    dialog.DoModal(GetHwnd());
}

void CDeletionTaskDlg::OnOK()
{
    if (!FolderAccepted(GetItemText(IDC_TASK_FOLDER), m_missingMacro) || !AgeAccepted())
        return;
    if (m_folderTaken && m_folderTaken(GetItemText(IDC_TASK_FOLDER))) {
        m_messageBox(GetHwnd(), kFolderTakenText, "Notice", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (m_types.IsEmpty()) {
        const int answer = m_messageBox(GetHwnd(), "Do you want to include all files in this folder?", "Question",
                                        MB_YESNO | MB_ICONWARNING);
        if (answer != IDYES) {
            m_messageBox(GetHwnd(), "Please specify at least one file type!", "Notice", MB_OK | MB_ICONINFORMATION);
            return;
        }
        m_types.AddPattern("*.*");
    }
    const DeletionTask edited = TaskFromControls();
    m_task.folder = edited.folder;
    m_task.includeSubfolders = edited.includeSubfolders;
    m_task.excludeFileTypes = edited.excludeFileTypes;
    m_task.deleteEmptySubfolders = edited.deleteEmptySubfolders;
    m_task.olderThanDays = edited.olderThanDays;
    m_task.fileTypes = edited.fileTypes;
    CDialog::OnOK();
}

void CDeletionTaskDlg::OnDestroy()
{
    m_common.clear();
}
