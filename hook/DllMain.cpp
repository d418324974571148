#include <windows.h>

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
        // Nothing more: the desktop's process keeps the library until it
        // ends (its procedures may stay in the desktop's windows' chains),
        // and it gets its state back from the tear-down that detach asks for.
        InterlockedDecrement(&g_shared.attachCount);
        break;
    default: break;
    }
    return TRUE;
}
