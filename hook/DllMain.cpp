#include <windows.h>

#include "hook/HookGuard.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_process.module = instance;
        InterlockedIncrement(&g_shared.attachCount);
        break;
    case DLL_PROCESS_DETACH:
        InterlockedDecrement(&g_shared.attachCount);
        // Where the platform unloads a hook library from the desktop's process
        // (Windows does, Wine does not), the desktop gets its own state back
        // here; a tear-down already asked for by detach is not repeated.
        if (g_process.setUp) {
            CallGuarded(
                "the library's unloading",
                [] {
                    TearDownDesktop();
                    CloseProcessLogs();
                },
                [] {});
        }
        break;
    default: break;
    }
    return TRUE;
}
