// The Backup page: an editor over backup (IBackupOwner). It shows the
// settings and the configurations when it is shown, edits the
// configurations and their commands through the owner and hands its setting
// to the owner on Apply. The Backup window on the desktop is the owner's.
#pragma once

#include "pages/FeaturePage.h"
#include "framework/MessageBoxes.h"

class IBackupOwner;

class CBackupPage : public CFeaturePage {
public:
    CBackupPage(IPageHost& host, IBackupOwner& owner);
    ~CBackupPage() override;

    // The questions and messages of the page and of its editors.
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    void RefreshConfigList();
    void UpdateConfigButtons();
    int SelectedConfig() const;
    void AddConfig();
    void EditConfig();
    void RemoveConfig();
    void EditCommands();
    void ListChanged();

    IBackupOwner& m_owner;
    MessageBoxFn m_messageBox = &SystemMessageBox;
};
