// CTrayMenuDlg: "Tray Menu", the editor of one custom tray icon's menu. It
// works on its own copy of the items, which replaces the given list when it
// ends with OK. Files, shell links and folders dropped on its item list
// become items of their own.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageBoxes.h"
#include "tray/TrayMenuEdit.h"

#include <shellapi.h>

#include <string>
#include <vector>

class CTrayMenuDlg : public CDialog {
public:
    // Shows the help of the control under WM_HELP or WM_CONTEXTMENU;
    // answers whether it did.
    using ContextHelpFn = bool (*)(HWND dialog, UINT dialogId, UINT msg, WPARAM wp, LPARAM lp);

    CTrayMenuDlg(HWND parent, std::vector<TrayMenuItem>& items);
    INT_PTR Run() { return DoModal(m_parent); }
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }
    void SetContextHelp(ContextHelpFn help) { m_contextHelp = help; }

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);

    TrayItemKind Kind() const;
    int Selected() const;
    void FillList(int select);
    void SetHorizontalExtent();
    void ApplyKind();
    void ProposeLabel();
    void ShowItem(int position);
    TrayMenuItem FormItem() const;
    bool IsFormComplete() const;
    void UpdateButtons();
    // The form's item, or false (said in a message box) when the file cannot keep it.
    bool TakeForm(TrayMenuItem* item, const char* refused);
    void AddItem();
    void ReplaceItem();
    void DeleteItem();
    void MoveItem(int from, int to);
    void Browse();
    void Drop(HDROP drop);

    HWND m_parent;
    std::vector<TrayMenuItem>& m_items;
    CTrayMenuEdit m_edit;
    std::string m_startFolder;
    MessageBoxFn m_messageBox;
    ContextHelpFn m_contextHelp = nullptr;
    // Set while the dialog fills its own controls, whose notifications then
    // are no edits of the user.
    bool m_filling = false;
};
