// CBackupProgressDlg: "Backing Up Files...", the modal dialog that backs up
// what was dropped on the Backup window, through CBackupRun, and lists what
// could not be backed up. Collapsed to its three-line status, bar and
// Cancel; with failures it grows to list them and Cancel becomes "Close".
#pragma once

#include "framework/MessageBoxes.h"
#include "files/ProgressDlg.h"
#include "backup/BackupConfig.h"

#include <functional>
#include <string>
#include <vector>

class CBackupProgressDlg : public CProgressDlg {
public:
    static constexpr UINT_PTR kStartTimerId = 334;

    // configureNow: the answer Yes to the configure question (the program
    // then opens its sheet on the Backup page); the dialog then does not give
    // the foreground back.
    CBackupProgressDlg(HWND owner, const std::vector<BackupConfig>& configs, const BackupCommands& commands,
                       std::vector<std::string> paths, std::function<void()> configureNow);

    INT_PTR Run();
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    void RunWork() override;
    int FailureListExtent(int textWidth) const override;
    bool RestoresForeground() const override { return m_restoreForeground; }

private:
    HWND m_owner;
    const std::vector<BackupConfig>& m_configs;
    const BackupCommands& m_commands;
    std::vector<std::string> m_paths;
    std::function<void()> m_configureNow;
    MessageBoxFn m_messageBox;
    bool m_restoreForeground = true;
};
