// The program's side of a display change, run on the (virtual) desktop of
// the desktop host, where the hook library can find the desktop:
//   hook_display_client FOLDER WIDTH HEIGHT RESTORE [HOSTPID]
// attaches with FOLDER, turns the features on with "adjust with screen size"
// set to RESTORE, changes the display to WIDTH x HEIGHT, tells the library
// (HOOKMSG_SCREEN_CHANGED) once the desktop has followed (with HOSTPID: once
// the desktop host of that process has put its icons in columns, the
// program being late), and writes what it
// saw into FOLDER\display.txt: the place of its "Dervane Delete Icon" window
// (made at 100,200 before the change) and the notifications it received,
// once the library has placed the icons (when RESTORE is 1).
// Exit codes: 0 done, 1 usage, 2 never ready, 3 display not changed,
// 4 desktop did not follow, 5 the icons were never placed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "hook/DervaneHook.h"
#include "tests/harness/HostClient.h"

namespace {

std::string g_notifications;
bool g_followed = false;

LRESULT CALLBACK ProgramProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // A notice (ready, desktop moved) carries no record, as in the program.
    if (msg != 0 && msg == HOOK_GetMessageID() && wp == HOOKNOTICE_RECORD) {
        const dervaneMsg_t* record = HOOK_GetMessage();
        g_notifications += std::to_string(record->code) + " " + record->payload.text + "\n";
        return 0;
    }
    if (msg != 0 && msg == HOOK_GetMessageID() && wp == HOOKNOTICE_DISPLAY_FOLLOWED) {
        g_followed = true;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Handles what arrives (the library's notifications among it) until done() or timeoutMs.
template <class Done> bool PumpUntil(Done done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg = {};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (done())
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// The desktop followed the change: the list view took the new size, or with
// a host given, the host put its icons in columns.
bool DesktopFollowed(int width, int height, DWORD hostPid)
{
    if (hostPid) {
        CDesktopHostClient host;
        return host.Connect(hostPid, 10000) && PumpUntil(
                                                    [&] {
                                                        CDesktopHostClient::ViewRecord view = {};
                                                        return host.View(view) && view.shellArranges > 0;
                                                    },
                                                    10000);
    }
    HWND listView = HOOK_GetListView();
    return PumpUntil(
        [&] {
            RECT rc = {};
            return GetWindowRect(listView, &rc) && rc.right - rc.left == width && rc.bottom - rc.top == height;
        },
        10000);
}

int Run(const char* folder, int width, int height, int restore, DWORD hostPid)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgramProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DervaneDisplayClient";
    RegisterClassA(&wc);
    HWND program = CreateWindowA(wc.lpszClassName, "Dervane display client", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    HWND deleteWindow = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "Dervane Delete Icon", WS_POPUP | WS_VISIBLE, 100,
                                        200, 48, 48, nullptr, nullptr, wc.hInstance, nullptr);
    HOOK_AttachDLL(program, const_cast<char*>(folder));
    if (!PumpUntil([] { return HOOK_IsReady() == 1; }, 15000))
        return 2;
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings.enabled = 1;
    msg.payload.settings.restoreOnRes = static_cast<uint8_t>(restore);
    msg.payload.settings.textForeground = RGB(255, 255, 255);
    HOOK_SendMessage(&msg);

    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL)
        return 3;
    if (!DesktopFollowed(width, height, hostPid))
        return 4;
    // As the program does on WM_DISPLAYCHANGE; answered after the list view
    // has handled its resize, on the same thread.
    msg = dervaneMsg_t{};
    msg.code = HOOKMSG_SCREEN_CHANGED;
    msg.route = HOOKROUTE_HOOK;
    HOOK_SendMessage(&msg);
    // The library places the icons once the shell is done moving them.
    if (restore && !PumpUntil([] { return g_followed; }, 10000))
        return 5;

    RECT rc = {};
    GetWindowRect(deleteWindow, &rc);
    const std::string result = "delete " + std::to_string(rc.left) + "," + std::to_string(rc.top) + "\n" +
        g_notifications;
    if (FILE* f = fopen((std::string(folder) + "\\display.txt").c_str(), "wb")) {
        fwrite(result.data(), 1, result.size(), f);
        fclose(f);
    }
    HOOK_AttachDLL(nullptr, nullptr);
    DestroyWindow(deleteWindow);
    DestroyWindow(program);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6)
        return 1;
    return Run(argv[1], atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), argc == 6 ? strtoul(argv[5], nullptr, 10) : 0);
}
