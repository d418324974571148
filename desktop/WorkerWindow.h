#pragma once
#include <windows.h>

#include "desktop/HostWindow.h"

// A "WorkerW" window, as the shell makes them to draw behind the desktop's
// icons: either top-level, covering the screen just above "Progman", or a
// child of "Progman". It may hold the "SHELLDLL_DefView", which it keeps the
// size of its client area; an empty one shows the desktop's colour.
class CWorkerWindow : public CHostWindow {
public:
    static constexpr const char* kClassName = "WorkerW";
    // Sent to the top-level window that keeps the workers' Z order (Progman)
    // when a top-level worker was moved in the Z order.
    static constexpr UINT WMAPP_RESTACK = WM_APP + 1;

    // parent null: top-level over the screen, telling stacker of Z order
    // changes; else a child covering the parent's client area. Hidden.
    int Create(HINSTANCE instance, HWND parent, HWND stacker);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND m_stacker = nullptr;
};
