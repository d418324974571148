// IPageHost: what the property sheet and its pages ask of the program. The
// program's main window implements it; tests give the pages one of their own.
//
// Settings travel as values: a page reads the program's settings, builds the
// value its controls say and hands it back, either to be kept (a choice that
// waits for the next Apply) or to be applied (kept and sent to the hook
// library). The page itself writes its registry values through Store().
#pragma once

#include <windows.h>

#include <string>

#include "hook/HookProtocol.h"

class CSettingsStore;

class IPageHost {
public:
    virtual ~IPageHost() = default;

    // ---- Settings in and out ----
    // The program's settings as they are now.
    virtual const SettingsBlock& Settings() const = 0;
    // Takes settings as the program's without sending them anywhere.
    virtual void KeepSettings(const SettingsBlock& settings) = 0;
    // Takes settings as the program's and sends them to the hook library
    // (HOOKMSG_APPLY_SETTINGS).
    virtual void ApplySettings(const SettingsBlock& settings) = 0;
    // The program's registry values.
    virtual CSettingsStore& Store() = 0;
    // The folder of the program and of its data files.
    virtual const std::string& ProgramFolder() const = 0;

    // ---- Orders ----
    // A request for the hook library (a layout to save or load, the hide
    // rules to read again); answers the library's answer.
    virtual unsigned long SendHookRequest(int code, const char* text) = 0;
    // The features were switched on or off by a page's settings: the tray
    // icon and menu show it, and the pages that follow it start or stop.
    virtual void SwitchFeatures(bool enabled) = 0;
    // Shows the property sheet at the page of that index.
    virtual void ShowSheet(int page) = 0;
    // The property sheet was shown or hidden.
    virtual void SheetShown(bool visible) = 0;
    // The program's help file.
    virtual void ShowHelp() = 0;
    // Ends the program once the page's handler has returned (the exit is
    // posted: the page is deleted on the way out).
    virtual void PostExit() = 0;

    // ---- What the pages' windows hang on ----
    // The program's main window: the owner of the sheet and of the windows
    // the pages put on the desktop.
    virtual HWND OwnerWindow() const = 0;
    // "Resources.dll" while it is loaded, else nullptr.
    virtual HMODULE ResourceLibrary() const = 0;
    // 1 Windows 95/98, 2 Windows NT, 0 otherwise.
    virtual int Platform() const = 0;
};
