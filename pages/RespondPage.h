// The Respond page: the auto-respond rules, listed by window title and text,
// added, edited and deleted through the rule editor, and the switch of the
// engine that answers the windows they name. Every change is written to
// Respond.txt at once, and the engine told after the file stands.
#pragma once

#include "pages/FeaturePage.h"
#include "pages/PageMessageBox.h"
#include "respond/RespondEngine.h"
#include "respond/RespondRuleList.h"

#include <cstdint>
#include <memory>
#include <string>

// The page's registry values.
struct RespondSettings {
    uint8_t enabled = 0;  // the engine runs while this and the program's switch are on
    uint8_t sort = 0;  // rows: 0 as stored, 1 by window title, 2 by window text
    int titleWidth = 162;  // the columns' widths in pixels
    int textWidth = 162;
};

class CRespondPage : public CFeaturePage {
public:
    CRespondPage(IPageHost& host, std::unique_ptr<IRespondEngine> engine);
    ~CRespondPage() override;

    // The questions and messages of the page and of its editor.
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }
    // How "View log..." opens Respond.log: the system's viewer for the file
    // unless told otherwise; true when it was opened.
    using OpenFileFn = bool (*)(HWND owner, const std::string& path);
    void SetOpenFile(OpenFileFn open) { m_openFile = open; }

    // Start-up: the rules, the settings, the engine when both switches are on.
    void LoadAndStart() override;
    void OnFeaturesSwitched(bool enabled) override;
    // At exit: the engine stops; a changed list is saved.
    void ShutDown() override;

    const RespondSettings& Settings() const { return m_settings; }
    const CRespondRuleList& Rules() const { return m_rules; }

protected:
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    std::string RuleFile() const;
    void LoadSettings();
    void SaveSettings();
    void StartRespondEngine(bool on);
    // Writes Respond.txt when changed, then tells the engine.
    void SaveAndTell();

    void FillList();
    void SortList();
    void UpdateButtons();
    int SelectedRule() const;
    void AddRule();
    void EditRule();
    void RemoveRule();
    void ViewLog();

    std::unique_ptr<IRespondEngine> m_engine;
    RespondSettings m_settings;
    CRespondRuleList m_rules;
    bool m_firstActivation = true;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    OpenFileFn m_openFile;
};
