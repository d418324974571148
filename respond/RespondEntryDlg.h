// CRespondEntryDlg: "Add Respond Entry" / "Edit Respond Entry". Edits a rule
// in place when it ends with OK: the window's title and text with their
// match kinds, the once box, and its actions, shown one at a time ("Action 2
// of 3") with Previous, Next, Insert and Delete. A ready-made rule of
// RespondCommon.txt can fill the form.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageBoxes.h"
#include "respond/RespondEntry.h"

#include <string>
#include <vector>

class CRespondEntryDlg : public CDialog {
public:
    // commonRules: the file of ready-made rules, read when the editor opens.
    CRespondEntryDlg(HWND parent, RespondEntry& rule, std::string commonRules);
    INT_PTR Run() { return DoModal(m_parent); }
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    void FillList(int id, const char* (*text)(int), int count);
    void SetActions(const std::vector<RespondAction>& actions);
    void ShowAction();
    void StoreAction();
    void ShowKindControls(int kind);
    void Next();
    void Previous();
    void Insert();
    void DeleteAction();
    void BrowseSound();
    void TakeCommonRule();
    int Selected(int id) const;
    void Select(int id, int index);

    HWND m_parent;
    RespondEntry& m_rule;
    std::string m_commonFile;
    std::vector<RespondEntry> m_common;
    std::vector<RespondAction> m_actions;
    size_t m_current = 0;
    bool m_edited = false;
    // Set while the dialog fills its own controls, whose notifications then
    // are no edits of the user.
    bool m_filling = false;
    MessageBoxFn m_messageBox;
};
