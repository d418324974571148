#include "app/TrayApp.h"

#include "app/HandOff.h"
#include "app/TrayWnd.h"
#include "app/resource.h"
#include "hook/HookProtocol.h"
#include "pages/resource.h"

int CTrayApp::InitInstance()
{
    m_appMessageId = RegisterWindowMessageA(DERVANE_APP_MESSAGE_NAME);
    m_programFolder = GetModuleFolder();
    ReadCommandLine();

    const std::string caption = GetString(IDS_SHEET_CAPTION);
    if (HWND running = FindWindowA(nullptr, caption.c_str())) {
        HandOff(running);
        SetForegroundWindow(running);
        PostMessageA(running, WM_COMMAND, MAKEWPARAM(ID_TRAY_PROPERTIES, 0), 0);
        return 0;
    }

    auto window = std::make_unique<CTrayWnd>(m_appMessageId, m_programFolder);
    window->SetStartedFromFile(!GetArguments().empty());
    m_window = window.get();
    SetMainWindow(std::move(window));
    CFrameWindow::FrameArgs args;
    args.resourceId = IDR_MAINFRAME;
    args.className = "CTrayWnd";
    args.title = "Dervane";
    args.style = WS_OVERLAPPEDWINDOW;
    if (!m_window->LoadFrame(args))
        return 0;
    m_window->Show(SW_HIDE);
    UpdateWindow(m_window->GetHwnd());
    // The timer only hands the command line's layout file over, so without one
    // it is not started: its thread would stay for the rest of the run (about a
    // megabyte under Wine) with nothing to do.
    if (!m_layoutFileName.empty())
        m_handOffTimer = timeSetEvent(500, 200, OnHandOffTimer, reinterpret_cast<DWORD_PTR>(this),
                                      TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    return 1;
}

void CTrayApp::ExitInstance()
{
    if (const UINT timer = m_handOffTimer.exchange(0))
        timeKillEvent(timer);
    m_window = nullptr;
    m_programFolder.clear();
    CApplication::ExitInstance();
}

void CTrayApp::ReadCommandLine()
{
    m_layoutFileName.clear();
    m_layoutCode = 0;
    const std::string path = LayoutPathFromCommandLine(GetArguments().c_str());
    const int code = LayoutCodeOfFile(path);
    if (code == 0)
        return;
    m_layoutCode = code;
    m_layoutFileName = FileNameOfPath(path);
}

void CTrayApp::HandOff(HWND target) const
{
    if (m_layoutFileName.empty())
        return;
    if (!WriteHandOffFile(m_programFolder + "\\msg.dat", m_layoutCode, HOOKROUTE_HOOK, m_layoutFileName))
        return;
    SendMessageA(target, m_appMessageId, 0, 1);
}

// On the multimedia timer's own thread: waits for the main window to be ready,
// then hands the command line's layout file to this instance's sheet.
void CALLBACK CTrayApp::OnHandOffTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto* app = reinterpret_cast<CTrayApp*>(user);
    if (!app || id != app->m_handOffTimer.load() || !app->m_window || !app->m_window->IsReady())
        return;
    if (const UINT timer = app->m_handOffTimer.exchange(0))
        timeKillEvent(timer);
    const std::string caption = app->GetString(IDS_SHEET_CAPTION);
    if (HWND sheet = FindWindowA(nullptr, caption.c_str()))
        app->HandOff(sheet);
}
