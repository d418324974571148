#include "app/TrayApp.h"

#include <cstring>

#include "app/HandOff.h"
#include "app/TrayWnd.h"
#include "app/resource.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProtocol.h"

namespace {

constexpr char kMainWindowClass[] = "CTrayWnd";
constexpr char kNeedsUtf8Text[] = "Dervane needs Windows 10 version 1903 or later.";

}  // namespace

int CTrayApp::InitInstance()
{
    // Every text of the program is UTF-8, which the manifest asks of the
    // system; Windows 10 before version 1903 ignores that and gives the ANSI
    // code page, in which names of other scripts would be lost. Nothing is
    // touched before this: no file, no registry value, no hook.
    if (GetACP() != CP_UTF8) {
        MessageBoxA(nullptr, kNeedsUtf8Text, "Dervane", MB_OK | MB_ICONSTOP);
        return 0;
    }
    m_appMessageId = RegisterWindowMessageA(DERVANE_APP_MESSAGE_NAME);
    m_programFolder = GetModuleFolder();
    ReadCommandLine();

    // The running instance is found by its main window: its sheet is made
    // only when the user first opens it.
    if (HWND running = FindWindowA(kMainWindowClass, nullptr)) {
        HandOff(running);
        // The sheet it shows may come to the front: this start was the user's.
        DWORD pid = 0;
        if (GetWindowThreadProcessId(running, &pid))
            AllowSetForegroundWindow(pid);
        PostMessageA(running, WM_COMMAND, MAKEWPARAM(ID_TRAY_PROPERTIES, 0), 0);
        return 0;
    }

    auto window = std::make_unique<CTrayWnd>(m_appMessageId, m_programFolder);
    window->SetStartedFromFile(!GetArguments().empty());
    m_window = window.get();
    SetMainWindow(std::move(window));
    CFrameWindow::FrameArgs args;
    args.resourceId = IDR_MAINFRAME;
    args.className = kMainWindowClass;
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
    if (app->m_window)
        app->HandOff(app->m_window->GetHwnd());
}

bool CTrayApp::IsExitSwitch(const std::string& arguments)
{
    std::string word = arguments;
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t'))
        word.pop_back();
    return _stricmp(word.c_str(), "/exit") == 0;
}

int CTrayApp::EndRunningInstance(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    // One instance runs at a time; a few rounds cover one that was starting
    // while the first was asked.
    for (int round = 0; round < 4; ++round) {
        HWND main = FindWindowA(kMainWindowClass, nullptr);
        if (!main)
            return 0;
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        ScopedHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (!PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0) && IsWindow(main))
            return 1;
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return 1;
            // Without a process handle the window's end is what can be seen.
            if (process ? WaitForSingleObject(process.Get(), timeoutMs - elapsed) == WAIT_OBJECT_0 : !IsWindow(main))
                break;
            if (!process)
                Sleep(50);
        }
    }
    return FindWindowA(kMainWindowClass, nullptr) ? 1 : 0;
}
