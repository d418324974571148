// The baseline of bench_program: the least a Win32 tray program does. A
// hidden window, one notification icon, a message loop; WM_CLOSE removes
// the icon and ends it.
//
// Built a second time with MINIMAL_TRAY_SHEET as MinimalSheet.exe, which also
// keeps a hidden modeless property sheet of three empty pages, each made
// once: the least a tray program with a property sheet loads (the common
// controls library), to tell that library's own cost from Dervane's.
#include <windows.h>
#include <shellapi.h>
#ifdef MINIMAL_TRAY_SHEET
#include <commctrl.h>
#endif

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

#ifdef MINIMAL_TRAY_SHEET
INT_PTR CALLBACK PageProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

// An empty page template in the dialog font.
struct PageTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title, pointSize;
    wchar_t font[13];
};

void CreateHiddenSheet(HWND owner)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    static PageTemplate page = {};
    page.dialog.style = DS_SETFONT | WS_CHILD | WS_CAPTION;
    page.dialog.cx = 250;
    page.dialog.cy = 180;
    page.pointSize = 8;
    lstrcpyW(page.font, L"MS Shell Dlg");
    PROPSHEETPAGEA pages[3] = {};
    for (PROPSHEETPAGEA& p : pages) {
        p.dwSize = sizeof p;
        p.dwFlags = PSP_DLGINDIRECT;
        p.pResource = &page.dialog;
        p.pfnDlgProc = PageProc;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.pszCaption = "Minimal sheet";
    header.nPages = 3;
    header.ppsp = pages;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetA(&header));
    for (int i = 2; i >= 0; --i)
        SendMessageA(sheet, PSM_SETCURSEL, i, 0);
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MinimalTrayWnd";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd = CreateWindowA(wc.lpszClassName, "Minimal tray", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              instance, nullptr);
    if (!hwnd)
        return 1;
#ifdef MINIMAL_TRAY_SHEET
    CreateHiddenSheet(hwnd);
#endif
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
