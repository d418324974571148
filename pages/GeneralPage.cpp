#include "pages/GeneralPage.h"

#include "pages/PageHost.h"
#include "pages/resource.h"
#include "settings/SettingsStore.h"

namespace {

CFeaturePage::PageArgs GeneralPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_GENERAL;
    args.buttons.ok = IDC_GENERAL_OK;
    args.buttons.cancel = IDC_GENERAL_CANCEL;
    args.buttons.apply = IDC_GENERAL_APPLY;
    args.picture = IDB_GENERAL;
    args.lowColourPicture = IDB_GENERAL_16;
    args.picturePlace = IDC_GENERAL_PICTURE;
    return args;
}

}  // namespace

CGeneralPage::CGeneralPage(IPageHost& host) : CFeaturePage(GeneralPageArgs(), host) { }

void CGeneralPage::UpdateStartEntry(bool runOnBoot)
{
    Host().Store().UpdateStartEntry(runOnBoot, Host().ProgramFolder().c_str(), Host().OwnerWindow());
}

void CGeneralPage::WriteGeneralSettings()
{
    Host().Store().WriteGroup(PropertyGroup::kGeneral, Host().Settings());
}

void CGeneralPage::RefreshGeneralPage()
{
    if (!GetHwnd())
        return;
    const SettingsBlock& settings = Host().Settings();
    CheckItem(IDC_GENERAL_ENABLED, settings.enabled != 0);
    CheckItem(IDC_GENERAL_RUN_ON_BOOT, settings.runOnBoot != 0);
    CheckItem(IDC_GENERAL_EXIT_ON_LOAD, settings.exitOnLoad != 0);
}

bool CGeneralPage::OnActivate()
{
    RefreshGeneralPage();
    return true;
}

int CGeneralPage::OnApply()
{
    const bool runOnBoot = IsItemChecked(IDC_GENERAL_RUN_ON_BOOT);
    UpdateStartEntry(runOnBoot);
    SettingsBlock settings = Host().Settings();
    const bool wasEnabled = settings.enabled != 0;
    settings.enabled = IsItemChecked(IDC_GENERAL_ENABLED) ? 1 : 0;
    settings.runOnBoot = runOnBoot ? 1 : 0;
    settings.exitOnLoad = IsItemChecked(IDC_GENERAL_EXIT_ON_LOAD) ? 1 : 0;
    Host().ApplySettings(settings);
    WriteGeneralSettings();
    const bool enabled = settings.enabled != 0;
    if (enabled != wasEnabled)
        Host().SwitchFeatures(enabled);
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
    case IDC_GENERAL_REASSOCIATE: Host().Store().EnsureFileAssociation(true, Host().ProgramFolder().c_str()); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}
