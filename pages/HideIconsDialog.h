// CHideIconsDialog: the hide-icon rules dialog "Hide Icons" of the Icons
// page. It edits a copy of the desktop icon features' rules; OK hands the
// copy back, which rewrites "IconHide.txt" when it changed and has the hook
// library apply it at once; Cancel leaves the rules as they were.
#pragma once

#include "framework/Dialog.h"
#include "icons/HideRuleList.h"
#include "framework/MessageBoxes.h"

#include <string>

class CDesktopIcons;

class CHideIconsDialog : public CDialog {
public:
    explicit CHideIconsDialog(CDesktopIcons& icons);

    // Where the dialog's questions and messages go (MessageBoxA unless set).
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    int FindHideRule(const std::string& pattern) const { return m_rules.Find(pattern); }
    // The rules as the dialog shows them.
    const CHideRuleList& Rules() const { return m_rules; }

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void FillList();
    void UpdateScrollExtent();
    std::string SelectedPattern() const;
    void EnableSelectionButtons(bool enabled);
    void OnSelectionChange();
    // Checks the pattern typed; shows why one is refused.
    bool PatternAccepted(const std::string& pattern);
    void OnAdd();
    void OnReplace();
    void OnDelete();
    int Show(const char* text, const char* caption, UINT type);

    CDesktopIcons& m_icons;
    MessageBoxFn m_messageBox;
    CHideRuleList m_rules;
};
