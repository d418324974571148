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

bool CSystemCommands::ScreenSaverChosen()
{
    // A policy's choice comes before the user's own.
    const wchar_t* const keys[] = {L"Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop",
                                   L"Control Panel\\Desktop"};
    for (const wchar_t* key : keys) {
        wchar_t path[MAX_PATH] = {};
        DWORD size = sizeof path - sizeof path[0];
        const LSTATUS read = RegGetValueW(HKEY_CURRENT_USER, key, L"SCRNSAVE.EXE",
                                          RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, path, &size);
        // A path longer than the buffer is a choice too.
        if (read == ERROR_MORE_DATA || (read == ERROR_SUCCESS && path[0] != L'\0'))
            return true;
    }
    return false;
}
