// DesktopHost: a stand-in for the shell's desktop window tree, for tests and
// demonstrations. Shows the desktop folder's items in a "SysListView32"
// inside "SHELLDLL_DefView" inside "Progman", follows the folder's changes
// and answers the requests of test processes (QueryServer.h).
//
//   DesktopHost [/keep-size]
// /keep-size: a display change leaves the windows as they are and is not
// passed on to the list view (see CProgmanWindow::SetFollowDisplay).
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "desktop/DesktopFolder.h"
#include "framework/ScopedHandles.h"
#include "desktop/ProgmanWindow.h"
#include "desktop/QueryServer.h"

namespace {
// Watches the desktop directory for files that appear or vanish.
ScopedChangeNotification WatchFolder(const std::string& path)
{
    return ScopedChangeNotification(
        FindFirstChangeNotificationA(path.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME));
}

// Dispatches waiting messages; answers 0 once WM_QUIT was seen.
int PumpMessages(int& exitCode)
{
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            return 0;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}

int Run(HINSTANCE instance, bool followDisplay)
{
    CDesktopFolder folder;
    if (!folder.Open()) {
        std::fprintf(stderr, "DesktopHost: cannot open the desktop folder\n");
        return 1;
    }
    CQueryServer server;
    if (!server.Open())
        std::fprintf(stderr, "DesktopHost: cannot create the query objects (%lu)\n", GetLastError());
    if (!CHostWindow::RegisterClass(CProgmanWindow::kClassName, instance, nullptr) ||
        !CHostWindow::RegisterClass(CDefViewWindow::kClassName, instance, nullptr)) {
        return 1;
    }
    CProgmanWindow progman;
    progman.SetFollowDisplay(followDisplay);
    if (!progman.Create(instance, &folder)) {
        std::fprintf(stderr, "DesktopHost: cannot create the desktop windows (%lu)\n", GetLastError());
        return 1;
    }
    CDesktopView& view = progman.DefView().View();
    server.Publish(&progman, folder.Path().c_str());
    ScopedChangeNotification change = WatchFolder(folder.Path());
    if (!change.IsValid())
        std::fprintf(stderr, "DesktopHost: cannot watch %s (%lu)\n", folder.Path().c_str(), GetLastError());
    int exitCode = 0;
    UpdateWindow(progman.Handle());
    if (!PumpMessages(exitCode))
        return exitCode;
    view.Sync();
    server.CountSync();
    server.SetReady();
    SetFocus(view.Handle());
    // As the shell does when it (re)starts: tray icon owners add their icons again.
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);

    for (;;) {
        HANDLE handles[2] = {server.RequestEvent(), change.Get()};
        DWORD count = 0;
        HANDLE waits[2] = {};
        for (HANDLE h : handles) {
            if (h && h != INVALID_HANDLE_VALUE)
                waits[count++] = h;
        }
        DWORD result = MsgWaitForMultipleObjectsEx(count, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (result < WAIT_OBJECT_0 + count) {
            HANDLE signalled = waits[result - WAIT_OBJECT_0];
            if (signalled == server.RequestEvent()) {
                server.Serve();
            } else {
                // Re-arm before reading, so that changes made during the read signal again.
                FindNextChangeNotification(change.Get());
                view.Sync();
                server.CountSync();
            }
        }
        if (!PumpMessages(exitCode))
            break;
    }
    return exitCode;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    const bool followDisplay = !(arguments && std::strstr(arguments, "/keep-size"));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int code = Run(instance, followDisplay);
    CoUninitialize();
    return code;
}
