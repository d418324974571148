#include "desktop/ProgmanWindow.h"

int CProgmanWindow::Create(HINSTANCE instance, const CDesktopFolder* folder)
{
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!CHostWindow::Create(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, screen,
                             nullptr, instance)) {
        return 0;
    }
    RECT client = {};
    GetClientRect(Handle(), &client);
    if (!m_defView.Create(Handle(), client, instance, folder))
        return 0;
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    return 1;
}

void CProgmanWindow::FitToScreen(int width, int height)
{
    if (width <= 0 || height <= 0) {
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, width, height, SWP_NOACTIVATE);
}

LRESULT CProgmanWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (m_defView.Handle())
            MoveWindow(m_defView.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DISPLAYCHANGE:
        ++m_displayChanges;
        if (!m_followDisplay)
            return 0;
        FitToScreen(LOWORD(lParam), HIWORD(lParam));
        if (m_defView.Handle())
            SendMessageA(m_defView.Handle(), message, wParam, lParam);
        return 0;
    case WM_SETTINGCHANGE:
        if (m_defView.Handle())
            SendMessageA(m_defView.Handle(), message, wParam, lParam);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // The desktop lies below every other window.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOZORDER))
            pos->hwndInsertAfter = HWND_BOTTOM;
        return 0;
    }
    case WM_SETFOCUS:
        if (m_defView.Handle())
            SetFocus(m_defView.View().Handle());
        return 0;
    case WM_ERASEBKGND: return 1;  // the list view covers the whole window
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return CHostWindow::WndProc(message, wParam, lParam);
    }
}
