#include "framework/PropertyPage.h"

#include "framework/PropertySheet.h"

CPropertyPage::CPropertyPage(UINT templateId, HINSTANCE module) : CDialog(templateId, module) { }

PROPSHEETPAGEA CPropertyPage::Describe()
{
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = GetTemplateModule();
    page.pszTemplate = MAKEINTRESOURCEA(GetTemplateId());
    page.pfnDlgProc = &StaticPageProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK CPropertyPage::StaticPageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = static_cast<CPropertyPage*>(FromHandle(hwnd));
    if (!self && msg == WM_INITDIALOG) {
        // A page's WM_INITDIALOG carries the sheet's copy of its description.
        const auto* page = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
        self = page ? reinterpret_cast<CPropertyPage*>(page->lParam) : nullptr;
        if (self)
            self->Bind(hwnd);
    }
    return Dispatch(self, msg, wp, lp);
}

void CPropertyPage::SetModified(bool modified)
{
    m_modified = modified;
    if (m_buttons.apply)
        EnableItem(m_buttons.apply, modified);
    HWND sheet = GetHwnd() ? GetParent(GetHwnd()) : nullptr;
    if (sheet)
        SendMessageA(sheet, modified ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(GetHwnd()), 0);
}

void CPropertyPage::HideSheet()
{
    if (m_sheet)
        m_sheet->Hide();
    else if (GetHwnd())
        ShowWindow(GetParent(GetHwnd()), SW_HIDE);
}

int CPropertyPage::OnNotify(const NMHDR& header, LRESULT& result)
{
    switch (header.code) {
    case PSN_SETACTIVE:
        if (!OnSetActive()) {
            result = -1;
            return 1;
        }
        // After OnSetActive: setting the controls may have marked the page.
        if (m_buttons.ok)
            EnableItem(m_buttons.ok, true);
        SetModified(false);
        result = 0;
        return 1;
    case PSN_KILLACTIVE: result = OnKillActive() ? FALSE : TRUE; return 1;
    case PSN_APPLY:
        if (!OnApply()) {
            result = PSNRET_INVALID;
            return 1;
        }
        SetModified(false);
        result = PSNRET_NOERROR;
        return 1;
    case PSN_QUERYCANCEL: result = OnQueryCancel() ? FALSE : TRUE; return 1;
    case PSN_RESET:
        OnReset();
        result = 0;
        return 1;
    }
    return 0;
}

int CPropertyPage::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED || id == 0)
        return 0;
    if (static_cast<int>(id) == m_buttons.ok) {
        OnOK();
        return 1;
    }
    if (static_cast<int>(id) == m_buttons.cancel) {
        OnCancel();
        return 1;
    }
    if (static_cast<int>(id) == m_buttons.apply) {
        if (OnApply())
            SetModified(false);
        return 1;
    }
    return 0;
}

void CPropertyPage::OnOK()
{
    if (!OnApply())
        return;
    SetModified(false);
    HideSheet();
}

void CPropertyPage::OnCancel()
{
    HideSheet();
}

int CPropertyPage::OnSetActive()
{
    return 1;
}
int CPropertyPage::OnKillActive()
{
    return 1;
}
int CPropertyPage::OnApply()
{
    return 1;
}
int CPropertyPage::OnQueryCancel()
{
    return 1;
}
void CPropertyPage::OnReset() { }
