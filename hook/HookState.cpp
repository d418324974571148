#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/Monitors.h"

// One block for every process that loads the library, the "HOOKDATA" segment. GNU ld sets the shared
// flag from the section attribute (a .def SECTIONS line does not); the
// initialiser keeps the block out of .bss.
__attribute__((section("HOOKDATA"), shared)) HookSharedData g_shared = {};

HookProcess g_process;

namespace {
constexpr UINT kNotifyTimeoutMs = 10000;

RECT VirtualScreen()
{
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}
}  // namespace

UINT TeardownMessageId()
{
    static UINT id = RegisterWindowMessageW(L"DERVANE_HOOK_TEARDOWN_ID");
    return id;
}

void MeasureDesktop()
{
    HWND lv = g_shared.listView;
    if (!IsWindow(lv))
        return;
    const ScopedGetDC dc = ScopedGetDC::OfWholeWindow(lv);
    if (dc) {
        g_shared.screenWidth = static_cast<WORD>(GetDeviceCaps(dc.Get(), HORZRES));
        g_shared.screenHeight = static_cast<WORD>(GetDeviceCaps(dc.Get(), VERTRES));
    }
    RECT rc = {};
    if (GetWindowRect(lv, &rc)) {
        g_shared.viewWidth = static_cast<WORD>(rc.right - rc.left);
        g_shared.viewHeight = static_cast<WORD>(rc.bottom - rc.top);
    }
    g_process.arrangement = MeasureArrangement();
    g_process.viewOrigin = ListViewOrigin(lv);
    RememberScreenMetrics();
}

void RememberScreenMetrics()
{
    g_process.virtualScreen = VirtualScreen();
}

bool ScreenChangedSinceMeasured()
{
    const RECT now = VirtualScreen();
    return !EqualRect(&g_process.virtualScreen, &now);
}

Arrangement CurrentArrangement()
{
    if (!g_process.arrangement.Empty())
        return g_process.arrangement;
    Monitor view;
    view.rect = {0, 0, std::max<int>(g_shared.viewWidth, 1), std::max<int>(g_shared.viewHeight, 1)};
    return MakeArrangement({view}, 0);
}

void NotifyProgram(int code, const char* text)
{
    HWND program = g_shared.programWindow;
    if (!IsWindow(program) || !g_shared.hookMessageId)
        return;
    dervaneMsg_t& msg = g_shared.message;
    memset(&msg, 0, sizeof msg);
    msg.code = code;
    msg.route = HOOKROUTE_PROGRAM;
    CopyUtf8(msg.payload.text, sizeof msg.payload.text, text ? text : "");
    // A program waiting for its request handles this at once; one that does
    // not answer at all must not hold the desktop's thread for ever.
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(program, g_shared.hookMessageId, 0, 0, SMTO_NORMAL, kNotifyTimeoutMs, &answer)) {
        LogWarning("The program did not take a notification of the desktop");
    }
}

void PostNotice(uintptr_t notice, LPARAM detail)
{
    HWND program = g_shared.programWindow;
    if (!IsWindow(program) || !g_shared.hookMessageId)
        return;
    if (!PostMessageW(program, g_shared.hookMessageId, static_cast<WPARAM>(notice), detail))
        LogWarning("Cannot tell the program what the desktop did");
}

void OpenProcessLogs(const char* folder)
{
    LogSetPath(folder, "ErrorLog.txt", false);
    if (!g_process.debugLog) {
        g_process.debugLog.reset(new (std::nothrow) CDebugLog(folder, "DebugLog.txt", false));
    }
}

void CloseProcessLogs()
{
    LogFreePath();
    g_process.debugLog.reset();
}
