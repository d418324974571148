// IFeatureHost: what a feature's owner asks of the program. The program's
// main window implements it; tests give the owners one of their own. The
// property sheet's pages ask more of the program (IPageHost, which is this
// and more).
#pragma once

#include <windows.h>

#include <string>

#include "hook/HookProtocol.h"

class CSettingsStore;

class IFeatureHost {
public:
    virtual ~IFeatureHost() = default;

    // The program's settings as they are now (the general switch among them).
    virtual const SettingsBlock& Settings() const = 0;
    // The program's registry values.
    virtual CSettingsStore& Store() = 0;
    // The folder of the program and of its data files.
    virtual const std::string& ProgramFolder() const = 0;
    // The program's main window: the owner of the windows the features put
    // on the desktop and of their message boxes.
    virtual HWND OwnerWindow() const = 0;
    // Shows the property sheet (made on its first opening) at that page.
    virtual void ShowSheet(int page) = 0;
    // A request for the hook library (a layout to save or load, the hide
    // rules to read again); answers the library's answer.
    virtual unsigned long SendHookRequest(int code, const char* text) = 0;
    // Ends the program once the caller has returned (the exit is posted).
    virtual void PostExit() = 0;
    // Takes settings as the program's and sends them to the hook library
    // (HOOKMSG_APPLY_SETTINGS): the tray menus' "Toggle Hide Icons" where the
    // icon features are not there to take the hide switch.
    virtual void ApplySettings(const SettingsBlock& settings) = 0;
};
