// Attach and detach, in the program's process.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "common/Log.h"
#include "hook/HookAttach.h"
#include "hook/HookGuard.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"

namespace {

struct ChildSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindChildByClass(HWND wnd, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    wchar_t name[250] = {};
    GetClassNameW(wnd, name, 250);
    if (wcscmp(name, search->className) == 0) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// The first descendant of parent whose class name is exactly className.
HWND FindDescendant(HWND parent, const wchar_t* className)
{
    ChildSearch search = {className, nullptr};
    EnumChildWindows(parent, FindChildByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The hook only has to exist: being called on the list view's thread is what
// gets the library loaded there, and the first call sets it up.
LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    CallGuarded(
        "the message hook", [] { MaybeSetUpDesktop(); }, [] {});
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr const wchar_t kDefViewClass[] = L"SHELLDLL_DefView";
constexpr const wchar_t kWorkerClass[] = L"WorkerW";

struct WorkerSearch {
    DWORD shellProcessId;
    HWND defView;
};

BOOL CALLBACK FindWorkerWithDefView(HWND wnd, LPARAM param)
{
    auto* search = reinterpret_cast<WorkerSearch*>(param);
    wchar_t name[250] = {};
    GetClassNameW(wnd, name, 250);
    if (wcscmp(name, kWorkerClass) != 0)
        return TRUE;
    // Only the shell's own: another program's window of that class is no desktop.
    DWORD processId = 0;
    GetWindowThreadProcessId(wnd, &processId);
    if (processId != search->shellProcessId)
        return TRUE;
    search->defView = FindWindowExW(wnd, nullptr, kDefViewClass, nullptr);
    return search->defView ? FALSE : TRUE;
}

// The desktop's "SHELLDLL_DefView", wherever the shell keeps it: a child of
// Progman as it starts; a child of a top-level "WorkerW" once Progman was
// asked (message 0x052C) to make room for drawing behind the icons; a child
// of a "WorkerW" inside Progman, as newer shells have it; last, any deeper
// descendant of Progman.
HWND FindDefView(HWND progman)
{
    if (HWND direct = FindWindowExW(progman, nullptr, kDefViewClass, nullptr))
        return direct;
    WorkerSearch search = {0, nullptr};
    GetWindowThreadProcessId(progman, &search.shellProcessId);
    EnumWindows(FindWorkerWithDefView, reinterpret_cast<LPARAM>(&search));
    if (search.defView)
        return search.defView;
    for (HWND worker = FindWindowExW(progman, nullptr, kWorkerClass, nullptr); worker;
         worker = FindWindowExW(progman, worker, kWorkerClass, nullptr)) {
        if (HWND inside = FindWindowExW(worker, nullptr, kDefViewClass, nullptr))
            return inside;
    }
    return FindDescendant(progman, kDefViewClass);
}

// Finds the list view (or the web view host that answers list-view messages).
bool FindDesktopWindows()
{
    HWND progman = FindWindowW(L"Progman", L"Program Manager");
    if (!progman) {
        LogFatal("Cannot find window \"Progman\"!");
        return false;
    }
    HWND defView = FindDefView(progman);
    if (!defView) {
        LogFatal("Cannot find window \"SHELLDLL_DefView\"!");
        return false;
    }
    g_shared.defView = defView;
    g_shared.defViewParent = GetAncestor(defView, GA_PARENT);
    if (HWND web = FindDescendant(defView, L"Internet Explorer_Server")) {
        if (SendMessageW(web, LVM_ENSUREVISIBLE, 0, TRUE)) {
            g_shared.listView = web;
            return true;
        }
        g_shared.webViewDesktop = 1;
    }
    HWND listView = FindDescendant(defView, L"SysListView32");
    if (!listView) {
        LogFatal("Cannot find window \"SysListView32\" or \"Internet Explorer_Server\"!");
        return false;
    }
    g_shared.listView = listView;
    return true;
}

void ResetSharedForAttach()
{
    g_shared.attached = 0;
    g_shared.ready = 0;
    g_shared.listView = nullptr;
    g_shared.defView = nullptr;
    g_shared.defViewParent = nullptr;
    g_shared.webViewDesktop = 0;
    g_shared.listViewProcessId = 0;
    g_shared.listViewThreadId = 0;
    g_shared.lastResult = 0;
}

}  // namespace

void AttachProgram(HWND programWindow, const char* folder)
{
    if (g_shared.attached)
        DetachProgram();
    ResetSharedForAttach();
    if (!folder)
        return;
    OpenProcessLogs(folder);
    const size_t length = strlen(folder);
    if (length >= sizeof g_shared.programFolder) {
        LogFatal("Program folder path is too long!");
        return;
    }
    g_shared.programWindow = programWindow;
    // UTF-8, whole: a cut folder would name another one.
    memcpy(g_shared.programFolder, folder, length + 1);

    if (!FindDesktopWindows())
        return;
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(g_shared.listView, &processId);
    g_shared.listViewProcessId = processId;
    g_shared.listViewThreadId = threadId;
    InterlockedIncrement(&g_shared.attachGeneration);
    g_shared.attached = 1;

    g_shared.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, g_process.module, threadId);
    if (!g_shared.hook)
        LogFatal("Cannot install Windows hook!");

    // Any message retrieved on the desktop's thread gets the library loaded there.
    PostMessageW(FindWindowW(L"Progman", L"Program Manager"), WM_MOUSEMOVE, 0, 0);
    MeasureDesktop();
}

void DetachProgram()
{
    const bool wasAttached = g_shared.attached != 0;
    g_shared.attached = 0;
    // Tear down on the list view's own thread before the hook goes, so the
    // desktop gets its state back even where the library is never unloaded.
    HWND lv = g_shared.listView;
    if (wasAttached && IsWindow(lv)) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(lv, TeardownMessageId(), 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    }
    if (g_shared.hook) {
        UnhookWindowsHookEx(g_shared.hook);
        g_shared.hook = nullptr;
    }
    g_shared.ready = 0;
    g_shared.programWindow = nullptr;
    CloseProcessLogs();
}

bool DesktopMoved()
{
    if (!g_shared.attached)
        return false;
    HWND defView = g_shared.defView;
    return IsWindow(defView) && GetAncestor(defView, GA_PARENT) != g_shared.defViewParent;
}
