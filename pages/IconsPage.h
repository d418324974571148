// The Icons page: icon style, label colours, hiding icons by rule, the two
// behaviour switches, and the "Layouts" group, whose decisions the layout
// manager makes. The page reaches the program through IPageHost and reads
// the desktop's icons through IIconsHost.
#pragma once

#include "pages/FeaturePage.h"
#include "pages/HideIconsDialog.h"
#include "pages/IconsHost.h"
#include "pages/LayoutManager.h"
#include "pages/LayoutNames.h"
#include "pages/PageMessageBox.h"

#include <memory>
#include <string>

class CIconsPage : public CFeaturePage, private ILayoutHost {
public:
    // Opens the standard colour dialog on colour; true when one was chosen.
    using ChooseColourFn = bool (*)(HWND owner, COLORREF* colour);

    CIconsPage(IPageHost& host, std::unique_ptr<IIconsHost> icons);
    ~CIconsPage() override;

    // Where the page's questions and messages go, and how a colour is chosen.
    void SetMessageBox(MessageBoxFn messageBox);
    void SetColourChooser(ChooseColourFn chooser) { m_chooseColour = chooser; }

    // Start-up: the hide-icon rules, the settings, then "[original]" is saved
    // and the default layout loaded.
    void LoadAndStart() override;
    void RefreshFromSettings() override { RefreshIconsPage(); }
    void OnLayoutLoaded(int type, const char* name) override;
    void ShutDown() override { RestoreOriginal(); }
    void OnEndSession() override { LoadOriginalLayout(); }

    void RefreshIconsPage();
    void WriteIconSettings();
    // The tray command that toggles hidden icons.
    void SetHideEnabled(bool on);
    // For the Delete page's "Recycle Bin" switch.
    void HideByLabel(const char* label, int kind);
    void UnhideByLabel(const char* label);
    bool HasHideRule(const char* label);

    int SaveLayout(const char* name, int type, bool silent) { return m_layouts.SaveLayout(name, type, silent); }
    int LoadLayout(const char* name, int type, bool silent);
    void FillLayoutList();
    void SelectLayout(int type, const char* name);
    // Loads "[original]", empties the list and lets the rules dialog go.
    void RestoreOriginal();
    // Loads "[original]" alone (the end of a Windows session).
    void LoadOriginalLayout() { m_layouts.RestoreOriginal(); }

    const CLayoutManager& Layouts() const { return m_layouts; }
    // The rules dialog, made again if it was let go.
    CHideIconsDialog& HideIconsDialog();

protected:
    bool OnActivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    // ILayoutHost
    unsigned long SendLayoutRequest(int code, const std::string& text) override;
    void ScreenSize(int* width, int* height) override;
    void SelectedIconCount(int* total, int* selected) override;
    bool Ask(LayoutQuestion question, const std::string& text) override;
    void ShowError(const std::string& text) override;
    void StoreDefaultLayout(const std::string& name) override;

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
    int Show(const char* text, const char* caption, UINT type);

    std::unique_ptr<IIconsHost> m_icons;
    CLayoutManager m_layouts;
    std::unique_ptr<CHideIconsDialog> m_hideDialog;
    MessageBoxFn m_messageBox;
    ChooseColourFn m_chooseColour;
    bool m_hideDialogOpen = false;
    std::string m_loadedName;
    int m_loadedType = kPositionsLayout;
};
