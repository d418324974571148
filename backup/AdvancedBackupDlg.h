// CAdvancedBackupDlg: "Advanced Backup Settings", the commands shared by all
// configurations: the standard copy or a custom program per file, and the
// program run after each dropped item. Edits the record in place on OK, and
// refuses a custom command without its program, or a text holding a tab or a
// line break (which the file cannot hold).
#pragma once

#include "files/FileTypeListEditor.h"
#include "backup/BackupConfig.h"
#include "framework/Dialog.h"

class CAdvancedBackupDlg : public CDialog {
public:
    CAdvancedBackupDlg(HWND parent, BackupCommands& commands);
    INT_PTR Run() { return DoModal(m_parent); }
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    // The custom program's fields and their "Select...".
    void EnableCustom(bool enabled);
    // The open-file dialog for programs; the choice replaces field.
    void ChooseProgram(int field);

    HWND m_parent;
    BackupCommands& m_commands;
    MessageBoxFn m_messageBox;
};
