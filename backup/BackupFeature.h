// CBackupFeature: the Backup window on the desktop, owned outside the
// property sheet. At start it reads its registry values and Backup.txt and
// shows the window, which backs up what is dropped on it; the answer Yes to
// a drop's "configure now" question opens the sheet at the Backup page. At
// exit the window goes (its place kept) and the values and a changed list
// are written. The end of a drop arrives on a message-only window of its
// own. The Backup page edits it through IBackupOwner.
#pragma once

#include "backup/BackupConfigList.h"
#include "backup/BackupOwner.h"
#include "common/Feature.h"
#include "files/DropWindowHolder.h"
#include "files/MessageWnd.h"

#include <string>

class IFeatureHost;

class CBackupFeature : public IFeature, public IBackupOwner {
public:
    // backupPage: the Backup page's place in the sheet.
    CBackupFeature(IFeatureHost& host, int backupPage);
    ~CBackupFeature() override;

    // IFeature
    void Start() override;
    void ShowWindows() override { m_window.Match(); }
    void Stop() override;
    void DisplayChanged() override { m_window.DisplayChanged(); }
    bool InModalLoop(HWND* popup) const override { return m_window.InModalLoop(popup); }

    // Reads the values and the list again (the first step of Start); the
    // window follows in ShowWindows.
    void Load();

    // IBackupOwner
    const BackupSettings& Settings() const override { return m_settings; }
    void ApplySettings(const BackupSettings& settings) override;
    CBackupConfigList& Configs() override { return m_configs; }
    bool SaveConfigs() override;
    CBackupIconWnd* BackupWindow() const override;

private:
    std::string ConfigFile() const;
    // The values, and the list when it changed.
    void SaveSettings();

    IFeatureHost& m_host;
    int m_backupPage;
    BackupSettings m_settings;
    CBackupConfigList m_configs;
    bool m_started = false;
    CMessageWnd m_messages;
    // Declared last: the window goes first, before what it refers to.
    CDropWindowHolder m_window;
};
