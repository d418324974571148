#include "desktop/HostWindow.h"

#include <string>

#include "common/Utf8.h"

CHostWindow::~CHostWindow()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

int CHostWindow::RegisterClass(const char* className, HINSTANCE instance, HBRUSH background)
{
    // Wide, as the shell's windows are: the host runs in the system's code
    // page, and its windows hold text of every script.
    const std::wstring name = Utf8ToWide(className);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Thunk;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name.c_str();
    return RegisterClassExW(&wc) != 0 ? 1 : 0;
}

int CHostWindow::Create(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect,
                        HWND parent, HINSTANCE instance)
{
    HWND hwnd = CreateWindowExW(exStyle, Utf8ToWide(className).c_str(), Utf8ToWide(title).c_str(), style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, nullptr, instance, this);
    return hwnd != nullptr ? 1 : 0;
}

LRESULT CHostWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CHostWindow::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CHostWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CHostWindow*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CHostWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = self->WndProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}
