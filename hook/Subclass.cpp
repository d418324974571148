// The replacement window procedures of the desktop list view and its parent.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "common/Log.h"
#include "hook/DervaneHook.h"
#include "hook/HookAttach.h"
#include "hook/HookGuard.h"
#include "hook/HookProcess.h"
#include "hook/HookRequests.h"
#include "hook/HookSharedData.h"
#include "hook/ProcedureChain.h"
#include "hook/Subclass.h"

namespace {

// Set up or not, our procedures pass the window's messages on to the ones
// they replaced for as long as they are in the windows' chains.
CProcedureChain g_listViewChain(SubclassCallWndProc);
CProcedureChain g_parentChain(SubclassParentCallWndProc);

LRESULT CallNext(const CProcedureChain& chain, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC next = chain.Next(wnd);
    if (!next)
        return DefWindowProcW(wnd, msg, wParam, lParam);
    return CallWindowProcW(next, wnd, msg, wParam, lParam);
}

LRESULT CallShellListView(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallNext(g_listViewChain, wnd, msg, wParam, lParam);
}

LRESULT CallShellParent(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallNext(g_parentChain, wnd, msg, wParam, lParam);
}

// A request of the program: the record is taken out of the shared block first,
// since a notification to the program reuses that block while we work.
void HandleHookMessage()
{
    dervaneMsg_t request;
    memcpy(&request, &g_shared.message, sizeof request);
    request.payload.text[kHookPayloadSize - 1] = '\0';
    g_shared.lastResult = 0;
    if (!g_process.setUp)
        return;
    g_shared.lastResult = DispatchHookRequest(request);
}

LRESULT ListViewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == g_shared.hookMessageId && msg != 0) {
        HandleHookMessage();
        return 1;
    }
    if (msg == TeardownMessageId()) {
        // Detach asks for this before it removes the hook; once it returns,
        // the window no longer calls us.
        TearDownDesktop();
        return 1;
    }
    if (!g_process.setUp)
        return CallShellListView(wnd, msg, wParam, lParam);
    LRESULT answer = 0;
    if (FilterListViewMessage(wnd, msg, wParam, lParam, &answer))
        return answer;
    return CallShellListView(wnd, msg, wParam, lParam);
}

}  // namespace

bool ChainDesktopProcedures(HWND listView, HWND defView)
{
    // Once in a chain, this library's code may be called until the process
    // ends, whoever leaves the chain when.
    PinLibrary();
    g_process.shellListViewProc = g_listViewChain.Enter(listView);
    g_process.shellParentProc = defView ? g_parentChain.Enter(defView) : nullptr;
    return g_process.shellListViewProc != nullptr;
}

void UnchainDesktopProcedures(HWND listView, HWND defView)
{
    if (g_process.shellParentProc && !g_parentChain.Leave(defView))
        LogWarning("Another program's procedure is in front of the desktop's parent window: ours stays, passing on");
    g_process.shellParentProc = nullptr;
    if (g_process.shellListViewProc && !g_listViewChain.Leave(listView))
        LogWarning("Another program's procedure is in front of the desktop list view: ours stays, passing on");
    g_process.shellListViewProc = nullptr;
}

LRESULT CALLBACK SubclassCallWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallGuarded(
        "the desktop list view procedure", [&] { return ListViewProc(wnd, msg, wParam, lParam); },
        [&] { return CallShellListView(wnd, msg, wParam, lParam); });
}

LRESULT CALLBACK SubclassParentCallWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CallGuarded(
        "the desktop parent procedure",
        [&] {
            if (msg == WM_NOTIFY && g_process.setUp)
                ObserveListViewNotification(lParam);
            // The shell moves its desktop into or out of a "WorkerW" when a
            // program asks it to draw behind the icons, and tells nobody:
            // the move reaches this window as a change of its place.
            if (msg == WM_WINDOWPOSCHANGED && g_process.setUp && !g_process.movedNoticed && DesktopMoved()) {
                g_process.movedNoticed = true;
                PostNotice(HOOKNOTICE_DESKTOP_MOVED);
            }
        },
        [] {});
    return CallShellParent(wnd, msg, wParam, lParam);
}
