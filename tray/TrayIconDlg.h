// CTrayIconDlg: "Tray Icon", the picker of a custom tray icon's picture: an
// icon file, or one of the icon groups of a program or library, whose
// pictures the list shows as the file's name is typed or browsed for. Edits
// the choice in place when it ends with OK.
#pragma once

#include "framework/Dialog.h"
#include "tray/TrayIconEntry.h"

#include <string>
#include <vector>

// The picture being chosen: how it is found, its icon group, its file.
struct TrayIconChoice {
    IconSourceKind kind = kIconSourceGroup;
    int index = 0;  // icon group counted from 0; -1 none chosen
    std::string file;
};

class CTrayIconDlg : public CDialog {
public:
    // library: the icons that come with the program, offered when the
    // choice names no file.
    CTrayIconDlg(HWND parent, TrayIconChoice& choice, std::string library);
    INT_PTR Run() { return DoModal(m_parent); }

    // Shows the help of the control F1 or a right click was for; answers
    // whether it did.
    using ContextHelpFn = bool (*)(HWND dialog, UINT dialogId, UINT msg, WPARAM wp, LPARAM lp);
    void SetContextHelp(ContextHelpFn help) { m_help = help; }

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;
    void OnOK() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Refills the list from the file edit's text.
    void FillList();
    void ShowSelectedRow();
    int RowOfGroup(int group) const;
    void Browse();

    HWND m_parent;
    TrayIconChoice& m_choice;
    std::string m_library;
    ContextHelpFn m_help = nullptr;
    std::string m_startFolder;
    HIMAGELIST m_images = nullptr;  // the list's, destroyed with it
    // What the list shows: the icon group of each row (a group that gives
    // no picture has no row, so rows and groups need not line up), and how
    // the file's pictures are found (none when it opens neither way).
    std::vector<int> m_rowGroups;
    IconSourceKind m_listKind = kIconSourceNone;
    IconSourceKind m_kind = kIconSourceNone;
    int m_selected = -1;  // the chosen icon group, -1 none
    bool m_filling = false;  // the list's own notifications while it is refilled
    bool m_ready = false;  // the text's changes refill the list once it is set up
};
