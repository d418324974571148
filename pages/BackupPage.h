// The Backup page: the backup configurations, the commands they share, and
// the Backup window on the desktop that backs up what is dropped on it.
#pragma once

#include "backup/BackupConfigList.h"
#include "backup/BackupIconWnd.h"
#include "files/DropWindowHolder.h"
#include "pages/FeaturePage.h"
#include "pages/PageMessageBox.h"

#include <cstdint>
#include <memory>
#include <string>

// The page's registry values.
struct BackupSettings {
    uint8_t showIcon = 1;  // show the Backup window
    int32_t iconLeft = 50;  // its screen position
    int32_t iconTop = 0;
};

class CBackupPage : public CFeaturePage {
public:
    explicit CBackupPage(IPageHost& host);
    ~CBackupPage() override;

    // The questions and messages of the page and of its editors.
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    // Start-up: the configurations, the settings, the Backup window.
    void LoadAndStart() override { LoadBackupSettings(); }
    // At exit: the window goes (its place kept); the settings and a changed
    // list are saved, whether or not the window was shown.
    void ShutDown() override;

    void LoadBackupSettings();
    void SaveBackupSettings();
    const BackupSettings& Settings() const { return m_settings; }
    const CBackupConfigList& Configs() const { return m_configs; }
    CBackupIconWnd* BackupWindow() const { return static_cast<CBackupIconWnd*>(m_window.Window()); }

    void OnDisplayChange() override { m_window.DisplayChanged(); }
    bool InModalLoop(HWND* popup) const override { return m_window.InModalLoop(popup); }

protected:
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnInitDialog() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::string ConfigFile() const;
    // The answer Yes to the configure question of a drop.
    void ConfigureNow();

    void RefreshConfigList();
    void UpdateConfigButtons();
    int SelectedConfig() const;
    void AddConfig();
    void EditConfig();
    void RemoveConfig();
    void EditCommands();
    void ListChanged();

    BackupSettings m_settings;
    CBackupConfigList m_configs;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    // Declared last: the window goes first, before what it may refer to.
    CDropWindowHolder m_window;
};
