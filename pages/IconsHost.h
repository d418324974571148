// IIconsHost: what the Icons page and the hide-icon rules dialog need from
// the main window. The program's main window is reached through
// CTrayIconsHost; the tests give the page a host of their own.
#pragma once

#include "hook/HookProtocol.h"

#include <string>

class CSettingsStore;

class IIconsHost {
public:
    virtual ~IIconsHost() = default;

    // The main window's settings, which the page reads and writes.
    virtual SettingsBlock& Settings() = 0;
    virtual CSettingsStore& Store() = 0;
    virtual const std::string& ProgramFolder() const = 0;
    // HOOKMSG_APPLY_SETTINGS with the settings.
    virtual void SendSettings() = 0;
    // A request for the hook library, sent through the main window; answers
    // the library's answer (the main window's last hook result).
    virtual unsigned long SendHookRequest(int code, const char* text) = 0;
    // The label colours and icon style the hook library holds now.
    virtual dervaneGroup1_t Appearance() = 0;
    // The number of desktop icons and of the selected ones.
    virtual void SelectedIconCount(int* total, int* selected) = 0;
};
