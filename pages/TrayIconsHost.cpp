#include "pages/TrayIconsHost.h"

#include "app/TrayWnd.h"
#include "hook/DervaneHook.h"

SettingsBlock& CTrayIconsHost::Settings()
{
    return m_main.Settings();
}

CSettingsStore& CTrayIconsHost::Store()
{
    return m_main.Store();
}

const std::string& CTrayIconsHost::ProgramFolder() const
{
    return m_main.ProgramFolder();
}

void CTrayIconsHost::SendSettings()
{
    m_main.SendSettings();
}

unsigned long CTrayIconsHost::SendHookRequest(int code, const char* text)
{
    return m_main.SendHookRequest(code, text);
}

dervaneGroup1_t CTrayIconsHost::Appearance()
{
    const dervaneGroup1_t* group = HOOK_GetGroup1();
    if (group)
        return *group;
    // Nothing known: every field "not set".
    dervaneGroup1_t unset = {};
    unset.textForeground = 0xFFFFFFFFu;
    unset.textBackground = 0xFFFFFFFFu;
    unset.textBackgroundOpaque = -1;
    unset.iconStyle = -1;
    return unset;
}

void CTrayIconsHost::SelectedIconCount(int* total, int* selected)
{
    *total = 0;
    *selected = 0;
    HOOK_GetSelectedIconCount(total, selected);
}
