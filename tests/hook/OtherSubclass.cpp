// Another desktop tool's subclass of the desktop list view, for the tests:
// installed by a message hook of its own on the list view's thread, after
// Dervane's, it counts every message it passes on.
#include <windows.h>

#define OTHER_SUBCLASS_BUILD
#include "tests/hook/OtherSubclass.h"

namespace {

__attribute__((section("OTHERSUB"), shared)) struct {
    HWND listView;
    LONG installed;
    LONG messages;
    HHOOK hook;
} g_other = {nullptr, 0, 0, nullptr};

WNDPROC g_next = nullptr;  // in the list view's process

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    InterlockedIncrement(&g_other.messages);
    return CallWindowProcW(g_next, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND lv = g_other.listView;
    DWORD process = 0;
    if (!g_next && lv && GetWindowThreadProcessId(lv, &process) == GetCurrentThreadId()) {
        // A library whose procedure is in a chain stays loaded.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&CountingProc), &self);
        g_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(lv, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc)));
        if (g_next)
            InterlockedExchange(&g_other.installed, 1);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

HMODULE g_module = nullptr;

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

bool OTHER_Install(HWND listView)
{
    g_other.listView = listView;
    const DWORD thread = GetWindowThreadProcessId(listView, nullptr);
    g_other.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, g_module, thread);
    return g_other.hook && PostMessageW(listView, WM_NULL, 0, 0);
}

bool OTHER_Installed()
{
    return g_other.installed != 0;
}

long OTHER_Messages()
{
    return g_other.messages;
}

void OTHER_Unhook()
{
    if (g_other.hook)
        UnhookWindowsHookEx(g_other.hook);
    g_other.hook = nullptr;
}
