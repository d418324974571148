// The Icons page: icon style, label colours, hiding icons by rule, the two
// behaviour switches, and the "Layouts" group, whose decisions the layout
// manager makes. The page edits the desktop icon features (CDesktopIcons),
// which run without it, and reaches the program through IPageHost.
#pragma once

#include "icons/DesktopIcons.h"
#include "icons/LayoutManager.h"
#include "icons/LayoutNames.h"
#include "pages/FeaturePage.h"
#include "framework/MessageBoxes.h"

#include <string>

class CIconsPage : public CFeaturePage {
public:
    // Opens the standard colour dialog on colour; true when one was chosen.
    using ChooseColourFn = bool (*)(HWND owner, COLORREF* colour);

    CIconsPage(IPageHost& host, CDesktopIcons& icons);
    ~CIconsPage() override;

    // Where the page's questions and messages go, and how a colour is chosen.
    void SetMessageBox(MessageBoxFn messageBox);
    void SetColourChooser(ChooseColourFn chooser) { m_chooseColour = chooser; }

    void RefreshFromSettings() override { RefreshIconsPage(); }

    void RefreshIconsPage();
    void WriteIconSettings();

    int SaveLayout(const char* name, int type, bool silent) { return Layouts().SaveLayout(name, type, silent); }
    int LoadLayout(const char* name, int type, bool silent);
    void FillLayoutList();
    void SelectLayout(int type, const char* name);

    CLayoutManager& Layouts() { return m_owner.Layouts(); }
    const CLayoutManager& Layouts() const { return m_owner.Layouts(); }

protected:
    bool OnActivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    void FillStyleList();
    void ApplyEnablingRules();
    void ShowSwatch(int id, COLORREF colour);
    void ChooseSwatchColour(int id);
    int OnLayoutCommand(UINT id, UINT code);
    void SetListType(int type);
    void OnLayoutSelection();
    void OnNameChange();
    std::string SelectedLayoutTitle() const;
    void OnRename();
    void OnOpenHideRules();

    CDesktopIcons& m_owner;
    MessageBoxFn m_messageBox;
    ChooseColourFn m_chooseColour;
    bool m_hideDialogOpen = false;
};
