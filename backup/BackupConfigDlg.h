// CBackupConfigDlg: "Add Backup Configuration" / "Edit Backup Configuration".
// Edits the configuration in place when it ends with OK: source, target,
// name, "Include subfolders", "Exclude File Types" and the file types. A
// configuration whose folders are refused (ConfigProblemOnDisk: short names
// resolved) is not accepted, nor is a source that has a configuration
// already (one configuration per source).
#pragma once

#include "files/FileTypeListEditor.h"
#include "backup/BackupConfig.h"
#include "framework/Dialog.h"

#include <functional>
#include <string>

class CBackupConfigDlg : public CDialog {
public:
    CBackupConfigDlg(HWND parent, BackupConfig& config);
    INT_PTR Run() { return DoModal(m_parent); }
    static constexpr const char* kSourceTakenText =
        "There is a backup configuration for this source folder already. Edit that configuration, or choose "
        "another source.";

    void SetMessageBox(MessageBoxFn messageBox);
    // Answers whether another configuration has this source; OK refuses it.
    void SetSourceTaken(std::function<bool(const std::string&)> taken) { m_sourceTaken = std::move(taken); }

    // "Are you sure you want to delete this configuration?"; true only on Yes.
    static bool ConfirmRemoval(HWND owner, MessageBoxFn messageBox = &SystemMessageBox);

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    HWND m_parent;
    BackupConfig& m_config;
    CFileTypeListEditor m_types;
    MessageBoxFn m_messageBox;
    std::function<bool(const std::string&)> m_sourceTaken;
};
