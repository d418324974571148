// The Respond page: an editor of auto-respond (respond/AutoRespond.h): the
// rules, listed by window title and text, added, edited and deleted through
// the rule editor, and the feature's switch. Each change is handed to the
// feature, which writes it at once. The list's order and its columns' widths
// are the page's own registry values.
#pragma once

#include "pages/FeaturePage.h"
#include "framework/MessageBoxes.h"
#include "respond/AutoRespond.h"

#include <cstdint>
#include <string>

// The page's own registry values.
struct RespondListSettings {
    uint8_t sort = 0;  // rows: 0 as stored, 1 by window title, 2 by window text
    int titleWidth = 162;  // the columns' widths in pixels
    int textWidth = 162;
};

class CRespondPage : public CFeaturePage {
public:
    CRespondPage(IPageHost& host, IAutoRespond& respond);
    ~CRespondPage() override;

    // The questions and messages of the page and of its editor.
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }
    // How "View log..." opens Respond.log: the system's viewer for the file
    // unless told otherwise; true when it was opened.
    using OpenFileFn = bool (*)(HWND owner, const std::string& path);
    void SetOpenFile(OpenFileFn open) { m_openFile = open; }

protected:
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    void LoadSettings();
    void SaveSettings();
    // A list the feature could not write is said so.
    void TellResult(ListSaveResult result);

    void FillList();
    void SortList();
    void UpdateButtons();
    int SelectedRule() const;
    void AddRule();
    void EditRule();
    void RemoveRule();
    void ViewLog();

    IAutoRespond& m_respond;
    RespondListSettings m_settings;
    bool m_firstActivation = true;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    OpenFileFn m_openFile;
};
