// The baseline of bench_program: the least a Win32 tray program does. A
// hidden window, one notification icon, a message loop; WM_CLOSE removes
// the icon and ends it.
#include <windows.h>
#include <shellapi.h>

namespace {

const UINT kIconId = 1;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CLOSE) {
        NOTIFYICONDATAA icon = {};
        icon.cbSize = sizeof icon;
        icon.hWnd = hwnd;
        icon.uID = kIconId;
        Shell_NotifyIconA(NIM_DELETE, &icon);
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MinimalTrayWnd";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd = CreateWindowA(wc.lpszClassName, "Minimal tray", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, instance, nullptr);
    if (!hwnd)
        return 1;
    NOTIFYICONDATAA icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = kIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_USER;
    icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(icon.szTip, "Minimal tray", sizeof icon.szTip);
    Shell_NotifyIconA(NIM_ADD, &icon);
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
