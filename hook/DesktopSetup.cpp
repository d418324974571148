// Set-up and tear-down in the desktop's process, on the list view's thread.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include "common/Log.h"
#include "hook/DervaneHook.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/LayoutFiles.h"
#include "hook/ScreenFit.h"
#include "hook/ScreenSnapshots.h"
#include "hook/Subclass.h"

namespace {

bool OnListViewThread()
{
    return g_shared.listView && GetCurrentThreadId() == g_shared.listViewThreadId &&
        GetCurrentProcessId() == g_shared.listViewProcessId;
}

}  // namespace

// Called from the message hook: the first time the library runs on the list
// view's thread after an attach, it sets itself up there. A new attach (a new
// program instance while the library stayed loaded here) sets up afresh.
void MaybeSetUpDesktop()
{
    if (!g_shared.attached || g_process.inSetUp || !OnListViewThread())
        return;
    const LONG generation = g_shared.attachGeneration;
    if (g_process.setUp && g_process.setUpGeneration == generation)
        return;
    g_process.inSetUp = true;
    if (g_process.setUp)
        TearDownDesktop();
    OpenProcessLogs(g_shared.programFolder);
    SetUpDesktop();
    g_process.setUpGeneration = generation;
    g_process.inSetUp = false;
}

void SetUpDesktop()
{
    HWND hwnd = g_shared.listView;
    if (!IsWindow(hwnd))
        return;
    g_process.lists.reset(new (std::nothrow) HookLists);
    if (!g_process.lists) {
        LogFatal("Out of memory setting up the desktop!");
        return;
    }
    CDesktopListView lv(hwnd);
    g_shared.appearance = {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1};
    g_shared.previousAppearance = g_shared.appearance;
    g_shared.hideRulesLoaded = 0;
    g_shared.shortcutReads = 0;
    g_shared.shellTextColor = static_cast<COLORREF>(SendMessageW(hwnd, LVM_GETTEXTCOLOR, 0, 0));
    g_shared.shellTextBkColor = static_cast<COLORREF>(SendMessageW(hwnd, LVM_GETTEXTBKCOLOR, 0, 0));
    g_shared.shellStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    MeasureDesktop();
    // Icons left outside every monitor (by a monitor that went while the
    // program did not run, or a hand-edited layout) are brought onto the
    // nearest one, so that the user can reach them.
    FollowArrangement(g_process.arrangement, g_process.viewOrigin, nullptr, true);

    ChainDesktopProcedures(hwnd, IsWindow(g_shared.defView) ? g_shared.defView : nullptr);
    g_shared.hookMessageId = RegisterWindowMessageW(DERVANE_HOOK_MESSAGE_NAME_W);
    TeardownMessageId();
    g_process.setUp = true;
    g_process.movedNoticed = false;
    g_shared.ready = 1;
    PostNotice(HOOKNOTICE_READY);
}

void TearDownDesktop()
{
    if (!g_process.setUp)
        return;
    g_process.setUp = false;
    g_shared.ready = 0;
    StopScreenSnapshots();
    StopDisplaySettle();
    HWND hwnd = g_shared.listView;
    if (IsWindow(hwnd)) {
        CDesktopListView lv(hwnd);
        SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, g_shared.shellTextColor);
        SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, g_shared.shellTextBkColor);
        lv.SetStyleKeepingPositions(g_shared.shellStyle);
        ShowAllIcons();
    }
    UnchainDesktopProcedures(hwnd, g_shared.defView);
    if (IsWindow(hwnd)) {
        RECT rc = {0, 0, g_shared.viewWidth, g_shared.viewHeight};
        InvalidateRect(hwnd, &rc, TRUE);
        UpdateWindow(hwnd);
    }
    g_process.lists.reset();
}
