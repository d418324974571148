// ISystemCommands: the calls of the tray menus' system commands that end or
// suspend the session, behind one small interface so that the tests can
// record them; CSystemCommands makes the real calls.
#pragma once

#include <windows.h>

class ISystemCommands {
public:
    virtual ~ISystemCommands() = default;

    // Each answers 0 on success, else the system's error code.
    // suspend false asks for hibernation; force skips asking the programs.
    virtual DWORD SetPowerState(bool suspend, bool force) = 0;
    // ExitWindowsEx with flags (EWX_LOGOFF, EWX_SHUTDOWN, EWX_REBOOT) and no reason.
    virtual DWORD EndSession(UINT flags) = 0;
    // Enables the process's shutdown privilege (a system without privileges
    // answers 0).
    virtual DWORD EnableShutdownPrivilege() = 0;
    // The screen saver, started as the window's own system command.
    virtual void StartScreenSaver(HWND window) = 0;
    // Whether the user (or a policy) has chosen a screen saver: without one
    // the system command starts nothing.
    virtual bool ScreenSaverChosen() = 0;
};

class CSystemCommands : public ISystemCommands {
public:
    DWORD SetPowerState(bool suspend, bool force) override;
    DWORD EndSession(UINT flags) override;
    DWORD EnableShutdownPrivilege() override;
    void StartScreenSaver(HWND window) override;
    bool ScreenSaverChosen() override;
};
