// CBackupIconWnd: the Backup window on the desktop, "Dervane Backup Icon".
// What is dropped on it is backed up by the configurations of the backup
// under the backup progress dialog. The window keeps its rectangle until
// it first gets or loses the focus; from then on its region follows the
// outline of the picture it shows: the closed box without the focus, the
// open one with it. The window itself is CDesktopDropWnd's.
#pragma once

#include "backup/BackupConfigList.h"
#include "files/DesktopDropWnd.h"

#include <functional>
#include <string>
#include <vector>

class CBackupIconWnd : public CDesktopDropWnd {
public:
    static constexpr const char* kTitle = "Dervane Backup Icon";

    // configs: the configurations and commands; configureNow: what the
    // answer Yes to the configure question does (the sheet opens at the
    // Backup page).
    CBackupIconWnd(const CBackupConfigList& configs, std::function<void()> configureNow);

protected:
    void OnFocusChanged() override;
    void HandleDrop(const std::vector<std::string>& paths) override;

private:
    const CBackupConfigList& m_configs;
    std::function<void()> m_configureNow;
};
