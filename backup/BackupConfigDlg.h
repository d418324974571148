// CBackupConfigDlg: "Add Backup Configuration" / "Edit Backup Configuration".
// Edits the configuration in place when it ends with OK: source, target,
// name, "Include subfolders", "Exclude File Types" and the file types. A
// configuration whose folders are refused (ConfigProblemOnDisk: short names
// resolved) is not accepted.
#pragma once

#include "autodelete/FileTypeListEditor.h"
#include "backup/BackupConfig.h"
#include "framework/Dialog.h"

class CBackupConfigDlg : public CDialog {
public:
    CBackupConfigDlg(HWND parent, BackupConfig& config);
    INT_PTR Run() { return DoModal(m_parent); }
    void SetMessageBox(TaskMessageBoxFn messageBox);

    // "Are you sure you want to delete this configuration?"; true only on Yes.
    static bool ConfirmRemoval(HWND owner, TaskMessageBoxFn messageBox = &MessageBoxA);

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    HWND m_parent;
    BackupConfig& m_config;
    CFileTypeListEditor m_types;
    TaskMessageBoxFn m_messageBox;
};
