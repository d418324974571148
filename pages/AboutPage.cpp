#include "pages/AboutPage.h"

#include "app/TrayWnd.h"
#include "pages/PageSupport.h"
#include "pages/resource.h"

CAboutPage::CAboutPage(CTrayWnd& main)
    : CFeaturePage(IDD_ABOUT, main), m_logo(IDB_ABOUT_LOGO, IDB_ABOUT_LOGO_16, IDC_ABOUT_LOGO_PLACE, RGB(255, 0, 0))
{
    OwnButtons buttons;
    buttons.ok = IDC_ABOUT_OK;
    SetOwnButtons(buttons);
}

int CAboutPage::OnSetActive()
{
    HMODULE resources = Main().ResourceLibrary();
    if (!resources)
        return 1;
    const bool lowColour = IsLowColourDisplay();
    FreePictures();
    m_picture = static_cast<HBITMAP>(
        LoadImageA(resources, MAKEINTRESOURCEA(lowColour ? 103 : 101), IMAGE_BITMAP, 0, 0, 0));
    if (m_picture)
        SendItem(IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_picture));
    SetItemText(IDC_ABOUT_VERSION, "Version 1.0b");
    m_logo.Load(GetHwnd());
    return 1;
}

int CAboutPage::OnKillActive()
{
    FreePictures();
    return 1;
}

void CAboutPage::FreePictures()
{
    if (m_picture) {
        SendItem(IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteObject(m_picture);
        m_picture = nullptr;
    }
    m_logo.Free();
}

int CAboutPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_ABOUT_EXIT: Main().PostExit(); return 1;
    case IDC_ABOUT_HELP: Main().ShowHelp(); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}

INT_PTR CAboutPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT && m_logo.Paint(GetHwnd()))
        return TRUE;
    return CFeaturePage::DialogProc(msg, wp, lp);
}
