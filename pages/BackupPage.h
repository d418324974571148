// The Backup page: the backup configurations, the commands they share, and
// the Backup window on the desktop that backs up what is dropped on it.
#pragma once

#include "backup/BackupConfigList.h"
#include "pages/BackupIconWnd.h"
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
    void OnDisplayChange() override;
    // At exit: the window goes (its place kept); the settings and a changed
    // list are saved, whether or not the window was shown.
    void ShutDown() override;
    bool InModalLoop(HWND* popup) const override;

    void LoadBackupSettings();
    void SaveBackupSettings();
    const BackupSettings& Settings() const { return m_settings; }
    const CBackupConfigList& Configs() const { return m_configs; }
    CBackupIconWnd* BackupWindow() const { return m_window.get(); }

protected:
    int OnInitDialog() override;
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::string ConfigFile() const;
    // The window shown or hidden as the settings say.
    void MatchWindow();
    void ShowWindow();
    void HideWindow();
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
    std::unique_ptr<CBackupIconWnd> m_window;
    MessageBoxFn m_messageBox = &SystemMessageBox;
};
