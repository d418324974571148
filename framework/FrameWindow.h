// CFrameWindow: a top-level window whose menu and icon come from one resource
// id. The application's main frame ends the message loop when it is destroyed.
#pragma once

#include "framework/Window.h"

class CFrameWindow : public CWindow {
public:
    struct FrameArgs {
        // Menu and icon resource; either may be missing.
        UINT resourceId = 0;
        const char* className = "DervaneFrame";
        const char* title = "";
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        HINSTANCE module = nullptr;  // nullptr: CWindow::GetModule()
    };

    int LoadFrame(const FrameArgs& args);

    HMENU GetMenu() const { return GetHwnd() ? ::GetMenu(GetHwnd()) : nullptr; }
    // Set by CApplication for its main window.
    void SetEndsMessageLoop(bool ends) { m_endsMessageLoop = ends; }
    bool EndsMessageLoop() const { return m_endsMessageLoop; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool m_endsMessageLoop = false;
};
