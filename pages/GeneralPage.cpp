#include "pages/GeneralPage.h"

#include "settings/SettingsStore.h"
#include "app/TrayWnd.h"
#include "pages/MainSheet.h"
#include "pages/PageSupport.h"
#include "pages/resource.h"

CGeneralPage::CGeneralPage(CTrayWnd& main)
    : CFeaturePage(IDD_GENERAL, main), m_picture(IDB_GENERAL, IDB_GENERAL_16, IDC_GENERAL_PICTURE, RGB(0, 0, 0))
{
    OwnButtons buttons;
    buttons.ok = IDC_GENERAL_OK;
    buttons.cancel = IDC_GENERAL_CANCEL;
    buttons.apply = IDC_GENERAL_APPLY;
    SetOwnButtons(buttons);
}

void CGeneralPage::LoadAndStart()
{
    Main().Store().LoadGroup(PropertyGroup::kGeneral, &Main().Settings());
    UpdateStartEntry();
}

void CGeneralPage::UpdateStartEntry()
{
    Main().Store().UpdateStartEntry(Main().Settings().runOnBoot != 0, Main().ProgramFolder().c_str(), Main().GetHwnd());
}

void CGeneralPage::WriteGeneralSettings()
{
    Main().Store().WriteGroup(PropertyGroup::kGeneral, Main().Settings());
}

void CGeneralPage::RefreshGeneralPage()
{
    if (!GetHwnd())
        return;
    const SettingsBlock& settings = Main().Settings();
    CheckItem(IDC_GENERAL_ENABLED, settings.enabled != 0);
    CheckItem(IDC_GENERAL_RUN_ON_BOOT, settings.runOnBoot != 0);
    CheckItem(IDC_GENERAL_EXIT_ON_LOAD, settings.exitOnLoad != 0);
}

int CGeneralPage::OnSetActive()
{
    RefreshGeneralPage();
    m_picture.Load(GetHwnd());
    return 1;
}

int CGeneralPage::OnKillActive()
{
    m_picture.Free();
    return 1;
}

int CGeneralPage::OnApply()
{
    SettingsBlock& settings = Main().Settings();
    const bool wasEnabled = settings.enabled != 0;
    settings.enabled = IsItemChecked(IDC_GENERAL_ENABLED) ? 1 : 0;
    settings.runOnBoot = IsItemChecked(IDC_GENERAL_RUN_ON_BOOT) ? 1 : 0;
    settings.exitOnLoad = IsItemChecked(IDC_GENERAL_EXIT_ON_LOAD) ? 1 : 0;
    UpdateStartEntry();
    Main().SendSettings();
    WriteGeneralSettings();
    const bool enabled = settings.enabled != 0;
    if (enabled != wasEnabled) {
        Main().UpdateMenuAndTrayIcon();
        if (Main().Sheet())
            Main().Sheet()->FeaturesSwitched(enabled);
    }
    return 1;
}

int CGeneralPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_GENERAL_ENABLED:
    case IDC_GENERAL_RUN_ON_BOOT:
    case IDC_GENERAL_EXIT_ON_LOAD:
        if (code == BN_CLICKED)
            SetModified(true);
        return 1;
    case IDC_GENERAL_REASSOCIATE: Main().Store().EnsureFileAssociation(true, Main().ProgramFolder().c_str()); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}

INT_PTR CGeneralPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT && m_picture.Paint(GetHwnd()))
        return TRUE;
    return CFeaturePage::DialogProc(msg, wp, lp);
}
