// CHideIconsDialog: the hide-icon rules dialog "Hide Icons", and the rules
// it keeps for the Icons page. The rules are read from "IconHide.txt" once,
// when the object is made at start-up; every save rewrites the file and has
// the hook library apply it at once.
#pragma once

#include "framework/Dialog.h"
#include "pages/HideRuleList.h"
#include "pages/PageMessageBox.h"

#include <string>

class IPageHost;

class CHideIconsDialog : public CDialog {
public:
    explicit CHideIconsDialog(IPageHost& host);

    // Where the dialog's questions and messages go (MessageBoxA unless set).
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    void LoadHideRules();
    // Writes the file when the rules changed, then has the hook library read
    // it again (HOOKMSG_RELOAD_HIDE_RULES).
    void SaveHideRules();
    int FindHideRule(const std::string& pattern) const { return m_rules.Find(pattern); }
    // Adds the rule unless its pattern is there, and saves the rules if they
    // were changed (now or by a change not written yet).
    void AddHideRule(const std::string& pattern, int kind);
    // Removes the rule with this pattern and saves, if there was one.
    void RemoveHideRule(const std::string& pattern);
    bool HasHideRule(const std::string& pattern) const { return FindHideRule(pattern) != -1; }
    const CHideRuleList& Rules() const { return m_rules; }
    std::string FilePath() const;

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

    IPageHost& m_host;
    MessageBoxFn m_messageBox;
    CHideRuleList m_rules;
    // The rules as the dialog found them, for Cancel.
    CHideRuleList m_rulesAtOpening;
};
