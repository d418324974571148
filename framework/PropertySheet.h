// CPropertySheet: a modeless property sheet (PropertySheetA, PSH_MODELESS)
// that owns its pages. Its window is made by the common controls library and
// subclassed as soon as it exists, so WndProc sees its messages.
#pragma once

#include "framework/PropertyPage.h"
#include "framework/Window.h"

#include <memory>
#include <string>
#include <vector>

class CPropertySheet : public CWindow {
public:
    struct SheetArgs {
        const char* caption = "";
        HWND parent = nullptr;
        int startPage = 0;
        // A new sheet is hidden until shown, unless this is set.
        bool visible = false;
        // The "?" button in the caption (WS_EX_CONTEXTHELP).
        bool contextHelpButton = false;
        // The close box, Escape and the sheet's Cancel hide the sheet; the
        // sheet's OK applies and hides it. The sheet then lives until destroyed.
        bool hideOnClose = false;
        // false: the sheet's OK, Cancel, Apply and Help are hidden and the
        // sheet made shorter (for pages with buttons of their own).
        bool standardButtons = true;
    };

    CPropertySheet() = default;
    ~CPropertySheet() override;

    // Before Create the page waits for the sheet's window; afterwards it is
    // added to the open sheet. Answers the page, or nullptr on failure.
    CPropertyPage* AddPage(std::unique_ptr<CPropertyPage> page);
    // Takes the page off the sheet's window and deletes it.
    int RemovePage(int index);
    void RemoveAllPages();
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;

    int Create(const SheetArgs& args);
    int SetActivePage(int index);
    // The current page's index, or -1.
    int GetActiveIndex() const;
    // Sends PSN_APPLY to every page window; answers 0 when a page refused.
    int Apply();
    void Hide() { Show(SW_HIDE); }

    int PreTranslateMessage(MSG& msg) override;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The sheet's window exists and is subclassed; its pages may not exist yet.
    virtual void OnInitialized();
    // A sheet without hideOnClose ended itself by OK, Cancel or the close box;
    // the default destroys its window.
    virtual void OnSheetEnded();

private:
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
    void AdjustTemplate(DLGTEMPLATE* dialogTemplate) const;
    void HideStandardButtons();
    int OnSheetCommand(UINT id);

    std::vector<std::unique_ptr<CPropertyPage>> m_pages;
    SheetArgs m_args;
    std::string m_caption;
};
