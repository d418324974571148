// The code that runs inside other processes. It only reads window state and
// posts messages: nothing here blocks, locks, allocates, opens a file or
// throws, and every handle is checked, so that it can neither hang nor crash
// the program it is loaded into.
#include <windows.h>

#include <cstring>

#include "cbt/CbtShared.h"

// GNU ld sets the shared flag from the section attribute; the initialiser
// keeps the block out of .bss.
__attribute__((section("CBTDATA"), shared)) CbtSharedData g_cbtShared = {};

HINSTANCE g_cbtModule = nullptr;

namespace {
constexpr int kMenuDepth = 8;

// Posts window to the engine when it is a top-level window of another process
// than the engine's.
void Tell(UINT message, HWND window)
{
    HWND engine = g_cbtShared.engineWindow;
    if (!engine || !window)
        return;
    DWORD pid = 0;
    // A 64-bit hook runs the calls for 32-bit programs in the engine's own
    // process, so the window's process is asked rather than the current one.
    if (!GetWindowThreadProcessId(window, &pid) || pid == g_cbtShared.engineProcessId)
        return;
    // An engine that was ended without stopping leaves its handle behind,
    // which may name some other window by now.
    DWORD enginePid = 0;
    if (!GetWindowThreadProcessId(engine, &enginePid) || enginePid != g_cbtShared.engineProcessId)
        return;
    PostMessageW(engine, message, reinterpret_cast<WPARAM>(window), 0);
}

void CopyMenu(HMENU menu, int depth, CbtMenuRead& read)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub) {
            if (depth + 1 < kMenuDepth)
                CopyMenu(sub, depth + 1, read);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1) || id == 0)
            continue;  // a separator
        if (read.itemCount >= kCbtMenuItems) {
            read.truncated = 1;
            return;
        }
        CbtMenuItem& item = read.items[read.itemCount];
        item.id = id;
        item.state = GetMenuState(menu, i, MF_BYPOSITION);
        item.label[0] = L'\0';
        if (GetMenuStringW(menu, i, item.label, kCbtMenuLabelChars, MF_BYPOSITION) <= 0)
            item.label[0] = L'\0';
        item.label[kCbtMenuLabelChars - 1] = L'\0';
        read.itemCount++;
    }
}
}  // namespace

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && lParam) {
        const CBT_CREATEWNDW* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        const CREATESTRUCTW* cs = create->lpcs;
        // A window made hidden is told of when it is activated; one made
        // visible may never be. Most windows are made hidden, and telling of
        // each would cost every program that makes many.
        if (cs && (cs->style & WS_VISIBLE) && !(cs->style & WS_CHILD) && cs->hwndParent != HWND_MESSAGE)
            Tell(kCbtWindowCreated, reinterpret_cast<HWND>(wParam));
    } else if (code == HCBT_ACTIVATE) {
        // Wine now and then activates a null window.
        HWND window = reinterpret_cast<HWND>(wParam);
        if (window && IsWindow(window))
            Tell(kCbtWindowActivated, window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Set on a target's thread for one menu read: copies the window's menu bar
// into the shared block and tells the engine.
LRESULT CALLBACK CbtMenuReadProc(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    const UINT readMessage = g_cbtShared.menuReadMessage;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && readMessage && msg->message == readMessage) {
        CbtMenuRead& read = g_cbtShared.menu;
        const LONG request = static_cast<LONG>(msg->wParam);
        HWND window = msg->hwnd;
        msg->message = WM_NULL;
        if (request == read.request && window && window == read.window && IsWindow(window)) {
            read.itemCount = 0;
            read.truncated = 0;
            HMENU bar = GetMenu(window);
            if (bar && IsMenu(bar))
                CopyMenu(bar, 0, read);
            read.answered = request;
            HWND engine = g_cbtShared.engineWindow;
            if (engine)
                PostMessageW(engine, kCbtMenuRead, static_cast<WPARAM>(request), 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_cbtModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
