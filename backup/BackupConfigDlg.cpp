#include "backup/BackupConfigDlg.h"

#include "backup/BackupResource.h"
#include "backup/BackupRules.h"
#include "backup/LongFolderForm.h"
#include "framework/CommonDialogs.h"

#include <string>

namespace {

const CFileTypeListEditor::Controls kTypeControls = {IDC_BACKUP_TYPE, IDC_BACKUP_TYPES, IDC_BACKUP_ADD,
                                                     IDC_BACKUP_REPLACE, IDC_BACKUP_DELETE};

}  // namespace

CBackupConfigDlg::CBackupConfigDlg(HWND parent, BackupConfig& config)
    : CDialog(IDD_BACKUP_CONFIG), m_parent(parent), m_config(config), m_types(*this, kTypeControls),
      m_messageBox(&SystemMessageBox)
{
}

void CBackupConfigDlg::SetMessageBox(MessageBoxFn messageBox)
{
    m_messageBox = messageBox;
    m_types.SetMessageBox(messageBox);
}

bool CBackupConfigDlg::ConfirmRemoval(HWND owner, MessageBoxFn messageBox)
{
    return messageBox(owner, "Are you sure you want to delete this configuration?", "Confirm",
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

int CBackupConfigDlg::OnInitDialog()
{
    SetItemText(IDC_BACKUP_SOURCE, m_config.source.c_str());
    SetItemText(IDC_BACKUP_TARGET, m_config.target.c_str());
    SetItemText(IDC_BACKUP_NAME, m_config.name.c_str());
    CheckItem(IDC_BACKUP_SUBFOLDERS, m_config.includeSubfolders != 0);
    CheckItem(IDC_BACKUP_EXCLUDE, m_config.excludeFileTypes != 0);
    m_types.Fill(m_config.fileTypes);
    SetText(m_config.source.empty() ? "Add Backup Configuration" : "Edit Backup Configuration");
    return 1;
}

int CBackupConfigDlg::OnCommand(UINT id, UINT code, HWND control)
{
    if (m_types.OnCommand(id, code))
        return 1;
    if (code == BN_CLICKED && (id == IDC_BACKUP_SOURCE_SELECT || id == IDC_BACKUP_TARGET_SELECT)) {
        const bool source = id == IDC_BACKUP_SOURCE_SELECT;
        std::string path;
        if (BrowseForFolder(GetHwnd(), source ? "Select a backup source folder" : "Select a backup target folder",
                            path))
            SetItemText(source ? IDC_BACKUP_SOURCE : IDC_BACKUP_TARGET, path.c_str());
        return 1;
    }
    return CDialog::OnCommand(id, code, control);
}

void CBackupConfigDlg::OnOK()
{
    BackupConfig edited = m_config;
    edited.source = GetItemText(IDC_BACKUP_SOURCE);
    edited.target = GetItemText(IDC_BACKUP_TARGET);
    edited.name = GetItemText(IDC_BACKUP_NAME);
    if (edited.source.empty() || edited.target.empty()) {
        m_messageBox(GetHwnd(), "Please specify both source and target folders!", "Notice", MB_OK | MB_ICONINFORMATION);
        return;
    }
    RemoveTrailingBackslash(edited.source);
    RemoveTrailingBackslash(edited.target);
    if (m_sourceTaken && m_sourceTaken(edited.source)) {
        m_messageBox(GetHwnd(), kSourceTakenText, "Notice", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string problem = ConfigProblemOnDisk(edited);
    if (!problem.empty()) {
        m_messageBox(GetHwnd(), problem.c_str(), "Error", MB_OK | MB_ICONWARNING);
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
    edited.includeSubfolders = IsItemChecked(IDC_BACKUP_SUBFOLDERS) ? 1 : 0;
    edited.excludeFileTypes = IsItemChecked(IDC_BACKUP_EXCLUDE) ? 1 : 0;
    edited.fileTypes = m_types.Patterns();
    m_config = edited;
    CDialog::OnOK();
}
