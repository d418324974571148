#include "tray/SystemCommands.h"

#include "framework/ScopedHandles.h"

#include <powrprof.h>

DWORD CSystemCommands::SetPowerState(bool suspend, bool force)
{
    // SetSystemPowerState does nothing on current Windows; SetSuspendState
    // takes the same request with "hibernate" in place of "suspend".
    if (SetSuspendState(suspend ? FALSE : TRUE, force ? TRUE : FALSE, FALSE))
        return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

DWORD CSystemCommands::EndSession(UINT flags)
{
    if (ExitWindowsEx(flags, 0))
        return 0;
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

DWORD CSystemCommands::EnableShutdownPrivilege()
{
    // Windows 95 and 98 have no privileges: nothing to enable.
    if (GetVersion() & 0x80000000u)
        return 0;
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return GetLastError();
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        return GetLastError();
    // AdjustTokenPrivileges succeeds also when it enabled nothing; only the
    // last error tells.
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr))
        return GetLastError();
    return GetLastError() == ERROR_NOT_ALL_ASSIGNED ? ERROR_NOT_ALL_ASSIGNED : 0;
}

void CSystemCommands::StartScreenSaver(HWND window)
{
    SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
}
