#include "desktop/ProgmanWindow.h"

#include "desktop/ServedMonitors.h"

using namespace DesktopHostProtocol;

namespace {
constexpr UINT_PTR kArrangeTimerId = 1;
}  // namespace

int CProgmanWindow::Create(HINSTANCE instance, const CDesktopFolder* folder, bool withListView)
{
    m_instance = instance;
    // As the shell's desktop: over every monitor.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    RECT screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (screen.right <= screen.left || screen.bottom <= screen.top)
        screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!CHostWindow::Create(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, screen,
                             nullptr, instance)) {
        return 0;
    }
    RECT client = {};
    GetClientRect(Handle(), &client);
    if (!m_defView.Create(Handle(), client, instance, withListView ? folder : nullptr))
        return 0;
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    return 1;
}

HWND CProgmanWindow::DefViewRoot() const
{
    return m_tree == kTreeWorkerW ? m_iconsWorker.Handle() : Handle();
}

int CProgmanWindow::MakeWorkers(DesktopTree tree)
{
    if (tree == kTreeWorkerW && !m_iconsWorker.Handle()) {
        if (!m_iconsWorker.Create(m_instance, nullptr, Handle()) ||
            !m_wallpaperWorker.Create(m_instance, nullptr, Handle())) {
            return 0;
        }
    }
    if (tree == kTreeWorkerWChild && !m_childWorker.Handle())
        return m_childWorker.Create(m_instance, Handle(), nullptr);
    return 1;
}

int CProgmanWindow::MoveDefView(DesktopTree tree)
{
    HWND defView = m_defView.Handle();
    if (!defView || tree > kTreeWorkerWChild || !MakeWorkers(tree))
        return 0;
    if (tree == m_tree)
        return 1;
    HWND parent = Handle();
    if (tree == kTreeWorkerW)
        parent = m_iconsWorker.Handle();
    else if (tree == kTreeWorkerWChild)
        parent = m_childWorker.Handle();
    // The worker shows before the DefView moves in, so that the icons are
    // never behind a window that covers them.
    if (tree == kTreeWorkerW) {
        ShowWindow(m_wallpaperWorker.Handle(), SW_SHOWNA);
        ShowWindow(m_iconsWorker.Handle(), SW_SHOWNA);
        Restack();
    } else if (tree == kTreeWorkerWChild) {
        ShowWindow(m_childWorker.Handle(), SW_SHOWNA);
    }
    const bool hadFocus = GetFocus() == m_defView.View().Handle();
    if (!SetParent(defView, parent))
        return 0;
    RECT client = {};
    GetClientRect(parent, &client);
    MoveWindow(defView, 0, 0, client.right, client.bottom, TRUE);
    // The windows it left, empty now, are hidden (the shell keeps them).
    if (m_tree == kTreeWorkerW) {
        ShowWindow(m_iconsWorker.Handle(), SW_HIDE);
        ShowWindow(m_wallpaperWorker.Handle(), SW_HIDE);
    } else if (m_tree == kTreeWorkerWChild) {
        ShowWindow(m_childWorker.Handle(), SW_HIDE);
    }
    m_tree = tree;
    if (hadFocus)
        SetFocus(m_defView.View().Handle());
    return 1;
}

void CProgmanWindow::Restack()
{
    HWND icons = m_iconsWorker.Handle();
    HWND wallpaper = m_wallpaperWorker.Handle();
    if (m_restacking || !icons || !wallpaper)
        return;
    if (GetWindow(Handle(), GW_HWNDPREV) == wallpaper && GetWindow(wallpaper, GW_HWNDPREV) == icons)
        return;
    m_restacking = true;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(icons, HWND_BOTTOM, 0, 0, 0, 0, flags);
    SetWindowPos(wallpaper, HWND_BOTTOM, 0, 0, 0, 0, flags);
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, flags);
    m_restacking = false;
}

void CProgmanWindow::FitToScreen(int width, int height)
{
    // Every monitor together: the served ones, else the real ones, else the
    // size the change announced.
    RECT all = {};
    if (!ServedBounds(&all)) {
        all.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
        all.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
        all.right = all.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        all.bottom = all.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    }
    if (all.right <= all.left || all.bottom <= all.top)
        all = {0, 0, width > 0 ? width : GetSystemMetrics(SM_CXSCREEN), height > 0 ? height : GetSystemMetrics(SM_CYSCREEN)};
    const int w = all.right - all.left, h = all.bottom - all.top;
    SetWindowPos(Handle(), HWND_BOTTOM, all.left, all.top, w, h, SWP_NOACTIVATE);
    for (HWND worker : {m_iconsWorker.Handle(), m_wallpaperWorker.Handle()}) {
        if (worker)
            SetWindowPos(worker, nullptr, all.left, all.top, w, h, SWP_NOACTIVATE | SWP_NOZORDER);
    }
}

// The primary monitor's column of cells, in the list view's coordinates.
void CProgmanWindow::ArrangeForScreen()
{
    HWND list = m_defView.View().Handle();
    if (!list)
        return;
    RECT primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RectRecord served = {};
    if (DervaneHostMonitors(&served, 1) > 0)
        primary = {served.left, served.top, served.right, served.bottom};
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&primary), 2);
    m_defView.View().ArrangeInColumns(primary);
    ++m_shellArranges;
}

LRESULT CProgmanWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        // The child that covers the client area: the DefView or its worker.
        for (HWND child : {m_childWorker.Handle(), m_tree == kTreeProgman ? m_defView.Handle() : nullptr}) {
            if (child)
                MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    case kMakeWorkerMessage:
        if (m_tree == kTreeProgman)
            MoveDefView(kTreeWorkerW);
        return 0;
    case CWorkerWindow::WMAPP_RESTACK:
        if (m_tree == kTreeWorkerW)
            Restack();
        return 0;
    case WM_DISPLAYCHANGE:
        ++m_displayChanges;
        if (m_arrangeAfterChange)
            SetTimer(Handle(), kArrangeTimerId, kArrangeDelayMs, nullptr);
        if (!m_followDisplay)
            return 0;
        FitToScreen(LOWORD(lParam), HIWORD(lParam));
        if (m_defView.Handle())
            SendMessageW(m_defView.Handle(), message, wParam, lParam);
        return 0;
    case WM_SETTINGCHANGE:
        if (m_defView.Handle())
            SendMessageW(m_defView.Handle(), message, wParam, lParam);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // The desktop lies below every other window.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOZORDER))
            pos->hwndInsertAfter = HWND_BOTTOM;
        return 0;
    }
    case WM_SETFOCUS:
        if (m_defView.View().Handle())
            SetFocus(m_defView.View().Handle());
        return 0;
    case WM_TIMER:
        if (wParam != kArrangeTimerId)
            return CHostWindow::WndProc(message, wParam, lParam);
        KillTimer(Handle(), kArrangeTimerId);
        ArrangeForScreen();
        return 0;
    case WM_ERASEBKGND: return 1;  // the list view covers the whole window
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return CHostWindow::WndProc(message, wParam, lParam);
    }
}
