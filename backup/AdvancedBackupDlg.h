// CAdvancedBackupDlg: "Advanced Backup Settings", the commands shared by all
// configurations: the standard copy or a custom program per file, and the
// program run after each dropped item. Edits the record in place on OK.
#pragma once

#include "backup/BackupConfig.h"
#include "framework/Dialog.h"

class CAdvancedBackupDlg : public CDialog {
public:
    CAdvancedBackupDlg(HWND parent, BackupCommands& commands);
    INT_PTR Run() { return DoModal(m_parent); }

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    HWND m_parent;
    BackupCommands& m_commands;
};
