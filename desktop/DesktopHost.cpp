// DesktopHost: a stand-in for the shell's desktop window tree, for tests and
// demonstrations. Shows the desktop folder's items in a "SysListView32"
// inside "SHELLDLL_DefView" inside "Progman", follows the folder's changes
// and answers the requests of test processes (QueryServer.h).
//
//   DesktopHost [/keep-size] [/rearrange] [/tree=progman|workerw|workerw-child|no-listview]
// /keep-size: a display change leaves the windows as they are and is not
// passed on to the list view (see CProgmanWindow::SetFollowDisplay).
// /rearrange: a moment after a display change the icons are put in columns,
// as the shell puts its own places back (CProgmanWindow::SetArrangeAfterChange).
// /tree: where the "SHELLDLL_DefView" lies at start: in "Progman" (the
// default), in a top-level "WorkerW" (Progman is sent 0x052C, as a program
// that draws behind the icons does), in a "WorkerW" inside "Progman", or in
// "Progman" without any list view.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>

#include "common/Utf8.h"
#include "desktop/DesktopFolder.h"
#include "framework/ScopedHandles.h"
#include "desktop/ProgmanWindow.h"
#include "desktop/QueryServer.h"

namespace {
struct HostOptions {
    bool followDisplay = true;
    bool arrangeAfterChange = false;
    bool withListView = true;
    DesktopHostProtocol::DesktopTree tree = DesktopHostProtocol::kTreeProgman;
};

// Answers false, with a message, for a tree it does not know.
bool ParseOptions(const char* arguments, HostOptions& options)
{
    const char* args = arguments ? arguments : "";
    options.followDisplay = !std::strstr(args, "/keep-size");
    options.arrangeAfterChange = std::strstr(args, "/rearrange") != nullptr;
    const char* tree = std::strstr(args, "/tree=");
    if (!tree)
        return true;
    tree += std::strlen("/tree=");
    const size_t length = std::strcspn(tree, " \t");
    const struct {
        const char* name;
        DesktopHostProtocol::DesktopTree tree;
        bool withListView;
    } kTrees[] = {
        {"progman", DesktopHostProtocol::kTreeProgman, true},
        {"workerw", DesktopHostProtocol::kTreeWorkerW, true},
        {"workerw-child", DesktopHostProtocol::kTreeWorkerWChild, true},
        {"no-listview", DesktopHostProtocol::kTreeProgman, false},
    };
    for (const auto& known : kTrees) {
        if (std::strlen(known.name) == length && std::strncmp(known.name, tree, length) == 0) {
            options.tree = known.tree;
            options.withListView = known.withListView;
            return true;
        }
    }
    std::fprintf(stderr, "DesktopHost: unknown tree \"%.*s\" (progman, workerw, workerw-child, no-listview)\n",
                 static_cast<int>(length), tree);
    return false;
}

// Watches the desktop directory for files that appear or vanish.
ScopedChangeNotification WatchFolder(const std::string& path)
{
    return ScopedChangeNotification(
        FindFirstChangeNotificationW(Utf8ToWide(path.c_str()).c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME));
}

// Dispatches waiting messages; answers 0 once WM_QUIT was seen.
int PumpMessages(int& exitCode)
{
    MSG msg = {};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            return 0;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 1;
}

int Run(HINSTANCE instance, const HostOptions& options)
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
        !CHostWindow::RegisterClass(CDefViewWindow::kClassName, instance, GetSysColorBrush(COLOR_DESKTOP)) ||
        !CHostWindow::RegisterClass(CWorkerWindow::kClassName, instance, GetSysColorBrush(COLOR_DESKTOP))) {
        return 1;
    }
    CProgmanWindow progman;
    progman.SetFollowDisplay(options.followDisplay);
    progman.SetArrangeAfterChange(options.arrangeAfterChange);
    if (!progman.Create(instance, &folder, options.withListView)) {
        std::fprintf(stderr, "DesktopHost: cannot create the desktop windows (%lu)\n", GetLastError());
        return 1;
    }
    if (options.tree == DesktopHostProtocol::kTreeWorkerW) {
        SendMessageW(progman.Handle(), CProgmanWindow::kMakeWorkerMessage, 0, 0);
    } else if (options.tree != DesktopHostProtocol::kTreeProgman) {
        progman.MoveDefView(options.tree);
    }
    if (progman.Tree() != options.tree) {
        std::fprintf(stderr, "DesktopHost: cannot build the desktop's window tree (%lu)\n", GetLastError());
        return 1;
    }
    CDesktopView& view = progman.DefView().View();
    server.Publish(&progman, folder.Path().c_str());
    ScopedChangeNotification change = WatchFolder(folder.Path());
    if (!change.IsValid())
        std::fprintf(stderr, "DesktopHost: cannot watch %s (%lu)\n", folder.Path().c_str(), GetLastError());
    int exitCode = 0;
    UpdateWindow(progman.DefViewRoot());
    if (!PumpMessages(exitCode))
        return exitCode;
    view.Sync();
    server.CountSync();
    server.SetReady();
    SetFocus(view.Handle());
    // As the shell does when it (re)starts: tray icon owners add their icons again.
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);

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
    HostOptions options;
    if (!ParseOptions(arguments, options))
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int code = Run(instance, options);
    CoUninitialize();
    return code;
}
