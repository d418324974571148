// The Tray page: the editor of the custom tray icons. It reads the list and
// the "Enabled" setting from their owner (tray/TrayIcons) when it is shown
// and hands every edit to it; the owner shows the change in the
// notification area and writes the file.
#pragma once

#include "framework/ScopedHandles.h"
#include "pages/FeaturePage.h"
#include "framework/MessageBoxes.h"
#include "tray/TrayIconEdits.h"

#include <string>
#include <vector>

class CTrayPage : public CFeaturePage {
public:
    CTrayPage(IPageHost& host, ITrayIconEdits& icons);
    ~CTrayPage() override;

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    bool OnActivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    const CTrayIconList& List() const { return m_icons.Icons(); }
    void FillList();
    void ShowSelection();
    void ResetEditState();
    void UpdateButtons();
    void ShowButtonPicture(HICON picture);
    ScopedIcon MakeEditPicture() const;
    // The picture button: the picker on the editing state.
    void ChoosePicture();
    // The tip edit's text; false, said in a message box, when the file cannot keep it.
    bool ReadTip(std::string* tip);
    // The entry the tip edit and the picture button say, with tip.
    TrayIconEntry EditedLook(const std::string& tip) const;
    // After an edit: a failure to write is said; the edit stays with the owner.
    void TellSaved(bool saved);
    void AddEntry();
    void ReplaceEntry();
    void DeleteEntry();
    void MoveEntry(int from, int to);
    // "Menu...": the selected entry's menu, or without a selection the
    // menu that the next Add gives its entry.
    void EditMenu();

    ITrayIconEdits& m_icons;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    ScopedComInit m_com;
    ScopedIcon m_defaultIcon;
    HIMAGELIST m_listImages = nullptr;  // the list view's, destroyed with it
    int m_selection = -1;
    bool m_filling = false;  // the list's own notifications while it is refilled
    IconSourceKind m_editIconKind = kIconSourceGroup;
    int m_editIconIndex = 0;
    std::string m_editIconFile;
    std::vector<TrayMenuItem> m_pendingItems;
    ScopedBitmap m_buttonPicture;  // what the picture button shows; it keeps no copy
};
