// Every export of the library.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "common/Log.h"
#include "hook/DervaneHook.h"
#include "hook/HookGuard.h"
#include "hook/HookAttach.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"

void HOOK_AttachDLL(HWND programWindow, char* programFolder)
{
    CallGuarded(
        "HOOK_AttachDLL",
        [&] {
            if (programWindow) {
                AttachProgram(programWindow, programFolder);
            } else {
                DetachProgram();
            }
        },
        [] {});
}

int HOOK_IsReady()
{
    return CallGuarded(
        "HOOK_IsReady", [] { return g_shared.ready ? 1 : 0; }, [] { return 0; });
}

unsigned int HOOK_GetMessageID()
{
    return CallGuarded(
        "HOOK_GetMessageID", [] { return g_shared.hookMessageId; }, [] { return 0u; });
}

dervaneMsg_t* HOOK_GetMessage()
{
    return CallGuarded(
        "HOOK_GetMessage", [] { return &g_shared.message; }, [] { return &g_shared.message; });
}

dervaneGroup1_t* HOOK_GetGroup1()
{
    return CallGuarded(
        "HOOK_GetGroup1", [] { return &g_shared.appearance; }, [] { return &g_shared.appearance; });
}

HWND HOOK_GetListView()
{
    return CallGuarded(
        "HOOK_GetListView", [] { return g_shared.listView; }, [] { return HWND{}; });
}

int HOOK_IsDesktopMoved()
{
    return CallGuarded(
        "HOOK_IsDesktopMoved", [] { return DesktopMoved() ? 1 : 0; }, [] { return 0; });
}

long HOOK_GetShortcutReads()
{
    return CallGuarded(
        "HOOK_GetShortcutReads", [] { return static_cast<long>(g_shared.shortcutReads); }, [] { return 0L; });
}

void HOOK_GetSelectedIconCount(int* total, int* selected)
{
    CallGuarded(
        "HOOK_GetSelectedIconCount",
        [&] {
            HWND lv = g_shared.listView;
            const bool alive = IsWindow(lv) != FALSE;
            if (total)
                *total = alive ? static_cast<int>(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0)) : 0;
            if (selected)
                *selected = alive ? static_cast<int>(SendMessageW(lv, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
        },
        [] {});
}

namespace {

unsigned long SendToDesktop(dervaneMsg_t* msg)
{
    if (!msg)
        return g_shared.lastResult;
    if (!g_shared.ready) {
        LogWarning("Desktop not ready: request not sent");
        return g_shared.lastResult;
    }
    HWND lv = g_shared.listView;
    if (!IsWindow(lv)) {
        LogWarning("Desktop list view is gone: request not sent");
        return g_shared.lastResult;
    }
    memcpy(&g_shared.message, msg, sizeof g_shared.message);
    SendMessageW(lv, g_shared.hookMessageId, 0, 0);
    return g_shared.lastResult;
}

}  // namespace

unsigned long HOOK_SendMessage(dervaneMsg_t* msg)
{
    return CallGuarded(
        "HOOK_SendMessage", [&] { return SendToDesktop(msg); }, [] { return static_cast<unsigned long>(0); });
}
