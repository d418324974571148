// CDesktopIcons: the desktop icon features as the program runs them, with or
// without the property sheet: the desktop as found ("[original]", saved at
// start and put back at exit and at the end of a Windows session), the
// default layout loaded at start and following the last layout loaded, the
// hide rules and their file "IconHide.txt", and the icon settings a loaded
// layout carries. The Icons page and its rules dialog edit these through it;
// the other features reach the hide switch and rules through IIconFeatures.
#pragma once

#include "common/Feature.h"
#include "framework/MessageBoxes.h"
#include "icons/HideRuleList.h"
#include "icons/IconFeatures.h"
#include "icons/IconsHost.h"
#include "icons/LayoutManager.h"

#include <functional>
#include <memory>
#include <string>

class IFeatureHost;

class CDesktopIcons : public IFeature, public IIconFeatures, private ILayoutHost {
public:
    CDesktopIcons(IFeatureHost& host, std::unique_ptr<IIconsHost> icons);
    ~CDesktopIcons() override;

    // Where the layout manager's questions and messages go: the page that
    // is open gives its window; without one they belong to the program's
    // main window.
    void SetMessageBox(HWND owner, MessageBoxFn messageBox);
    // Called after the settings changed here (the hide switch, a loaded
    // layout's colours): the open page shows them. Empty: nobody listens.
    void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

    // IFeature: the rules, the default layout, "[original]" saved and the
    // default layout loaded; at exit "[original]" loaded again.
    void Start() override;
    void Stop() override { m_layouts.RestoreOriginal(); }
    void EndSession() override { m_layouts.RestoreOriginal(); }

    // IIconFeatures
    void SetHideEnabled(bool on) override;
    void HideByLabel(const char* label, int kind) override;
    void UnhideByLabel(const char* label) override;
    bool HasHideRule(const char* label) const override;

    // The hook library loaded a layout (type 0 positions, 1 shortcuts): the
    // colours and style it carries are taken into the settings, and a
    // positions layout becomes the default one.
    void LayoutLoaded(int type, const std::string& fileName);
    const std::string& LoadedName() const { return m_loadedName; }
    int LoadedType() const { return m_loadedType; }

    // The icon settings written to the registry as the program holds them.
    void WriteIconSettings();
    CLayoutManager& Layouts() { return m_layouts; }
    IIconsHost& Icons() { return *m_icons; }

    const CHideRuleList& HideRules() const { return m_rules; }
    // Reads "IconHide.txt" (Start does).
    void LoadHideRules() { m_rules.Load(HideRuleFile()); }
    std::string HideRuleFile() const;
    // Takes the rules as edited and writes them when they changed, then has
    // the hook library read them again. A failure is said in a box on owner
    // (the change stays for the next save).
    void SetHideRules(const CHideRuleList& rules, HWND owner);

private:
    void SaveHideRules(HWND owner);

    // ILayoutHost
    unsigned long SendLayoutRequest(int code, const std::string& text) override;
    void ScreenSize(int* width, int* height) override;
    void SelectedIconCount(int* total, int* selected) override;
    bool Ask(LayoutQuestion question, const std::string& text) override;
    void ShowError(const std::string& text) override;
    void StoreDefaultLayout(const std::string& name) override;
    int Show(const char* text, const char* caption, UINT type);

    IFeatureHost& m_host;
    std::unique_ptr<IIconsHost> m_icons;
    CLayoutManager m_layouts;
    CHideRuleList m_rules;
    HWND m_boxOwner = nullptr;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    std::string m_loadedName;
    int m_loadedType = 0;
    std::function<void()> m_changed;
};
