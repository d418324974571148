#include "desktop/WorkerWindow.h"

int CWorkerWindow::Create(HINSTANCE instance, HWND parent, HWND stacker)
{
    m_stacker = stacker;
    RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent) {
        GetClientRect(parent, &rect);
        return CHostWindow::Create(0, kClassName, "", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, parent,
                                   instance);
    }
    return CHostWindow::Create(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect,
                               nullptr, instance);
}

LRESULT CWorkerWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (HWND child = GetWindow(Handle(), GW_CHILD))
            MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (HWND child = GetWindow(Handle(), GW_CHILD))
            SetFocus(child);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        // A worker raised (clicked, activated) goes back down with the desktop.
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (m_stacker && !(pos->flags & SWP_NOZORDER))
            SendMessageW(m_stacker, WMAPP_RESTACK, 0, 0);
        return CHostWindow::WndProc(message, wParam, lParam);
    }
    default: return CHostWindow::WndProc(message, wParam, lParam);
    }
}
