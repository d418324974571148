// CPropertyPage: one page of a CPropertySheet, from a dialog template. The
// sheet's notifications become the virtuals below; the page answers them
// with flags and DWLP_MSGRESULT is set for it in CDialog's WM_NOTIFY case.
//
// A page may carry its own OK, Cancel and Apply buttons (SetOwnButtons):
// activation enables OK and disables Apply, SetModified(true) enables Apply,
// Apply runs OnApply, OK runs OnApply and hides the sheet, Cancel hides it.
#pragma once

#include "framework/Dialog.h"

#include <prsht.h>

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    struct OwnButtons {
        int ok = 0;  // 0: the template has no such button
        int cancel = 0;
        int apply = 0;
    };

    explicit CPropertyPage(UINT templateId, HINSTANCE module = nullptr);

    CPropertySheet* GetSheet() const { return m_sheet; }
    void SetOwnButtons(const OwnButtons& buttons) { m_buttons = buttons; }
    // Enables (or disables) this page's Apply button and the sheet's.
    void SetModified(bool modified);
    bool IsModified() const { return m_modified; }

protected:
    // PSN_SETACTIVE, before the page is shown: set the controls from the
    // settings. Answer 0 to refuse the page.
    virtual int OnSetActive();
    // PSN_KILLACTIVE, before another page is shown: answer 0 to stay.
    virtual int OnKillActive();
    // PSN_APPLY, and the page's own OK and Apply: take the controls into the
    // settings. Answer 0 when they are invalid; the sheet then shows this page.
    virtual int OnApply();
    // PSN_QUERYCANCEL: answer 0 to keep the sheet open.
    virtual int OnQueryCancel();
    // PSN_RESET: the sheet was cancelled.
    virtual void OnReset();

    // The page's own OK: apply, then hide the sheet. Own Cancel: hide it.
    void OnOK() override;
    void OnCancel() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    // Pages that handle other notifications pass the rest to this one.
    int OnNotify(const NMHDR& header, LRESULT& result) override;

private:
    friend class CPropertySheet;
    PROPSHEETPAGEA Describe();
    void HideSheet();
    static INT_PTR CALLBACK StaticPageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    CPropertySheet* m_sheet = nullptr;
    OwnButtons m_buttons;
    bool m_modified = false;
};
