#include "pages/AboutPage.h"

#include "common/Log.h"
#include "framework/FileVersion.h"
#include "pages/PageHost.h"
#include "pages/PageSupport.h"
#include "pages/resource.h"

namespace {

CFeaturePage::PageArgs AboutPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_ABOUT;
    args.buttons.ok = IDC_ABOUT_OK;
    args.picture = IDB_ABOUT_LOGO;
    args.lowColourPicture = IDB_ABOUT_LOGO_16;
    args.picturePlace = IDC_ABOUT_LOGO_PLACE;
    args.pictureKey = RGB(255, 0, 0);
    return args;
}

}  // namespace

CAboutPage::CAboutPage(IPageHost& host) : CFeaturePage(AboutPageArgs(), host) { }

// Without the resource library the page shows nothing, not even its logo.
bool CAboutPage::OnActivate()
{
    HMODULE resources = Host().ResourceLibrary();
    if (!resources)
        return false;
    FreeProductPicture();
    m_productPicture = static_cast<HBITMAP>(
        LoadImageA(resources, MAKEINTRESOURCEA(IsLowColourDisplay() ? 103 : 101), IMAGE_BITMAP, 0, 0, 0));
    if (m_productPicture)
        SendItem(IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_productPicture));
    SetItemText(IDC_ABOUT_VERSION, VersionText().c_str());
    return true;
}

// The running program's own version record says which version it is; read
// once, as it cannot change while the program runs.
const std::string& CAboutPage::VersionText()
{
    if (m_versionText.empty()) {
        const std::string version = ReadProductVersion(ModuleFilePath(nullptr));
        if (version.empty())
            LogWarning("Cannot read the program's version record");
        m_versionText = version.empty() ? "Version" : "Version " + version;
    }
    return m_versionText;
}

void CAboutPage::OnDeactivate()
{
    FreeProductPicture();
}

void CAboutPage::FreeProductPicture()
{
    if (m_productPicture) {
        SendItem(IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0);
        DeleteObject(m_productPicture);
        m_productPicture = nullptr;
    }
}

int CAboutPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_ABOUT_EXIT: Host().PostExit(); return 1;
    case IDC_ABOUT_HELP: Host().ShowHelp(); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}
