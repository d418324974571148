// CTrayIconsHost: the Icons page's host over the program's main window and
// the hook library it links.
#pragma once

#include "pages/IconsHost.h"

class CTrayWnd;

class CTrayIconsHost : public IIconsHost {
public:
    explicit CTrayIconsHost(CTrayWnd& main) : m_main(main) { }

    SettingsBlock& Settings() override;
    CSettingsStore& Store() override;
    const std::string& ProgramFolder() const override;
    void SendSettings() override;
    unsigned long SendHookRequest(int code, const char* text) override;
    dervaneGroup1_t Appearance() override;
    void SelectedIconCount(int* total, int* selected) override;

private:
    CTrayWnd& m_main;
};
